#include "progress.h"

#include <cstdio>
#include <utility>

#include "prompt.h"

Progress::Progress(std::string what, std::size_t total)
    : what_(std::move(what)), total_(total), terminal_(ErrorIsTerminal())
{
}

Progress::~Progress()
{
    if (shown_)
        std::fprintf(stderr, "\r%s: %zu of %zu\n", what_.c_str(), done_, total_);
}

void Progress::Show(std::size_t done)
{
    done_ = done;
    const Clock::time_point now = Clock::now();
    if (!terminal_ || now - start_ < std::chrono::seconds(1) ||
        (shown_ && now - shownAt_ < std::chrono::milliseconds(100)))
        return;
    shown_ = true;
    shownAt_ = now;
    std::fprintf(stderr, "\r%s: %zu of %zu", what_.c_str(), done, total_);
}
