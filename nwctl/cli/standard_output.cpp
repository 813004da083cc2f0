#include "cli/standard_output.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "cli/exit_codes.h"
#include "cli/messages.h"

namespace {

// The errno of the first failed write; 0 when none failed or the stream
// did not say why (a write that failed inside a print leaves no reason
// once later calls have run).
int firstFailure = 0;

}  // namespace

bool FlushOutput()
{
    errno = 0;
    if (std::fflush(stdout) != 0 && firstFailure == 0)
        firstFailure = errno;
    return !std::ferror(stdout);
}

bool WriteOutput(std::string_view text)
{
    // A text longer than the buffer is written in part at once, where the
    // reason is known; later calls may not know it any more.
    errno = 0;
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() && firstFailure == 0)
        firstFailure = errno;
    return FlushOutput();
}

int FinishOutput(int status)
{
    bool written = FlushOutput();
    // Closing reports what a file system keeps until the close (as over
    // NFS). A standard output closed before nwctl started, with nothing
    // written to it, is no failure.
    errno = 0;
    if (std::fclose(stdout) != 0 && errno != EBADF) {
        written = false;
        if (firstFailure == 0)
            firstFailure = errno;
    }
    if (written)
        return status;
    return Fail(kExitNetwork, std::string("cannot write standard output: ") +
                                  (firstFailure ? std::strerror(firstFailure) : "a write to it failed"));
}
