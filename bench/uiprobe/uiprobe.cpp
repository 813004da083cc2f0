// Watches a dialog program from outside while it works: how many rows its
// list holds, how long it takes to answer a message, and how long its list
// goes undrawn. It asks the list for its row count with SendMessageTimeout
// back to back, as the system's own "not responding" check asks a window; an
// answer that is late by N ms means the window did not respond for N ms. The
// list is undrawn while its drawing is switched off (WM_SETREDRAW clears its
// WS_VISIBLE style) or while part of it waits to be painted.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>

namespace {

double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to, const LARGE_INTEGER& frequency)
{
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

int Usage()
{
    std::fputs(
        "usage: uiprobe CAPTION LIST_ID SECONDS\n"
        "Finds the window with CAPTION (waiting up to 60 s), then for SECONDS seconds asks its list\n"
        "control LIST_ID for its row count, one question after another. Writes, flushed:\n"
        "  rows COUNT AT_MS         whenever the count changes\n"
        "  late LATENCY_MS AT_MS    whenever an answer took longer than 50 ms\n"
        "  undrawn SPAN_MS AT_MS    whenever the list stayed undrawn longer than 100 ms\n"
        "  done QUESTIONS MAX_LATENCY_MS MAX_UNDRAWN_MS\n"
        "AT_MS counts from the first question, asked once the window is visible. A question\n"
        "unanswered after 10 s counts as 10 s late. Exits 1 when the window is not found or goes.\n",
        stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 4)
        return Usage();
    const int listId = std::atoi(argv[2]);
    const double seconds = std::atof(argv[3]);

    HWND window = nullptr;
    for (int i = 0; i < 600 && !window; ++i) {
        window = ::FindWindowA(nullptr, argv[1]);
        if (!window)
            ::Sleep(100);
    }
    const HWND list = window ? ::GetDlgItem(window, listId) : nullptr;
    if (!list) {
        std::fprintf(stderr, "uiprobe: no window \"%s\" with control %d\n", argv[1], listId);
        return 1;
    }
    // The window shows once it has initialised; only then does it owe answers.
    while (!::IsWindowVisible(window) && ::IsWindow(window))
        ::Sleep(5);

    LARGE_INTEGER frequency, start, before, after;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&start);
    long questions = 0;
    double worst = 0;
    double undrawnSince = -1;  // ms, or -1 while the list is drawn
    double worstUndrawn = 0;
    DWORD_PTR rows = static_cast<DWORD_PTR>(-1);
    for (;;) {
        ::QueryPerformanceCounter(&before);
        if (Milliseconds(start, before, frequency) > seconds * 1000)
            break;
        DWORD_PTR count = 0;
        const LRESULT answered = ::SendMessageTimeoutA(list, LVM_GETITEMCOUNT, 0, 0, SMTO_NORMAL, 10000, &count);
        ::QueryPerformanceCounter(&after);
        ++questions;
        const double latency = Milliseconds(before, after, frequency);
        if (latency > worst)
            worst = latency;
        if (!answered && !::IsWindow(list)) {
            std::fprintf(stderr, "uiprobe: the window is gone\n");
            return 1;
        }
        if (latency > 50) {
            std::printf("late %.1f %.1f\n", latency, Milliseconds(start, before, frequency));
            std::fflush(stdout);
        }
        const double at = Milliseconds(start, after, frequency);
        const bool drawingOff = (::GetWindowLongA(list, GWL_STYLE) & WS_VISIBLE) == 0;
        const bool undrawn = drawingOff || ::GetUpdateRect(list, nullptr, FALSE);
        if (undrawn && undrawnSince < 0) {
            undrawnSince = at;
        } else if (!undrawn && undrawnSince >= 0) {
            const double span = at - undrawnSince;
            if (span > worstUndrawn)
                worstUndrawn = span;
            if (span > 100) {
                std::printf("undrawn %.1f %.1f\n", span, undrawnSince);
                std::fflush(stdout);
            }
            undrawnSince = -1;
        }
        if (answered && count != rows) {
            rows = count;
            std::printf("rows %lu %.1f\n", static_cast<unsigned long>(rows), Milliseconds(start, after, frequency));
            std::fflush(stdout);
        }
        // A breath between questions, so that asking does not become the load.
        ::Sleep(1);
    }
    std::printf("done %ld %.1f %.1f\n", questions, worst, worstUndrawn);
    std::fflush(stdout);
    return 0;
}
