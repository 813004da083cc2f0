// watch: searches again and again while an installer cables, and says what
// changed: devices that appear, go, come back, change address or share one.
#include <chrono>
#include <cstdio>
#include <ctime>
#include <string>
#include <utility>
#include <vector>

#include "cli/args.h"
#include "cli/exit_codes.h"
#include "cli/messages.h"
#include "cli/standard_output.h"
#include "cli/stop_request.h"
#include "io/counted.h"
#include "io/prompt.h"
#include "io/safe_text.h"
#include "ipv4_text.h"
#include "net/session.h"
#include "rules/watch_rules.h"

namespace {

using Clock = std::chrono::steady_clock;

// On a terminal: the events scroll by above a block (a status line and the
// table of devices) that each pass redraws in place. The block's lines do
// not wrap, so that it always takes the lines it counts.
class LiveView {
public:
    explicit LiveView(std::string where) : where_(std::move(where)) {}

    bool Show(const std::vector<WatchEvent>& events, const Watch& watch, const char* doing)
    {
        std::string text = drawn_ > 0 ? "\x1b[" + std::to_string(drawn_) + "A\r\x1b[J" : "";
        for (const WatchEvent& event : events)
            text += WatchEventLine(event) + '\n';
        const std::string block = "watching " + where_ + ": " + doing + "; Ctrl-C ends\n" + WatchTable(watch);
        drawn_ = 0;
        for (const char c : block)
            drawn_ += c == '\n';
        return WriteOutput(text + "\x1b[?7l" + block + "\x1b[?7h");
    }

private:
    std::string where_;
    int drawn_ = 0;  // lines of the block on the screen
};

std::string Adapters(const Session& session)
{
    std::string names;
    for (const Adapter& adapter : session.SearchAdapters())
        names += (names.empty() ? "" : ", ") + SafeText(adapter.name) + " (" + FormatIPv4(adapter.address) + ")";
    return names;
}

std::string Doing(const Watch& watch, double interval)
{
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%g", interval);
    const std::size_t devices = watch.Devices().size();
    return "a search every " + std::string(seconds) + " s, " + std::to_string(watch.Passes()) + " done, " +
           Counted(devices, "device") + " seen";
}

}  // namespace

int RunWatch(const Invocation& invocation)
{
    std::string error;
    Session session;
    if (!CatchStopRequests(error) || !session.Open(invocation.adapter, error))
        return Fail(kExitNetwork, error);
    // A table needs a terminal to be redrawn on; elsewhere the events are
    // lines, as in a log.
    const OutputFormat format =
        invocation.format == OutputFormat::Table && !OutputDrawsInPlace() ? OutputFormat::Lines : invocation.format;
    Watch watch(invocation.defaultIp);
    LiveView live(Adapters(session));
    const int rounds = WatchRounds(invocation.intervalSeconds);
    const auto interval =
        std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(invocation.intervalSeconds));

    bool written = format != OutputFormat::Table || live.Show({}, watch, "first search");
    bool searched = true;
    while (written && !StopRequested()) {
        const Clock::time_point start = Clock::now();
        std::vector<FoundDevice> found;
        searched = session.Search(rounds, false, found, error);
        if (!searched)
            break;
        const std::vector<WatchEvent> events = watch.Pass(found, std::time(nullptr));
        if (format == OutputFormat::Table) {
            written = live.Show(events, watch, Doing(watch, invocation.intervalSeconds).c_str());
        } else {
            std::string text;
            for (const WatchEvent& event : events)
                text += (format == OutputFormat::Jsonl ? WatchEventJson(event) : WatchEventLine(event)) + '\n';
            // Out at once: a file being followed, or a program reading the
            // JSON Lines, sees each pass's events as they happen.
            written = WriteOutput(text);
        }
        // The wait wakes at once on Ctrl-C.
        for (Clock::time_point now = Clock::now(); now < start + interval && !StopRequested(); now = Clock::now())
            WaitForStopRequest(
                static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(start + interval - now).count()));
    }
    const std::time_t end = std::time(nullptr);
    written = written &&
              WriteOutput(format == OutputFormat::Jsonl ? WatchSummaryJson(watch, end) : WatchSummaryLine(watch, end));
    if (!searched)
        return Fail(kExitNetwork, error);
    // main says why the output could not be written.
    return written ? kExitOk : kExitNetwork;
}
