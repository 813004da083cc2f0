#include "cli/progress.h"

#include <cstdio>
#include <utility>

#include "io/prompt.h"

Progress* Progress::current_ = nullptr;

Progress::Progress(std::string what, std::size_t total)
    : what_(std::move(what)), total_(total), terminal_(ErrorIsTerminal())
{
    current_ = this;
}

Progress::~Progress()
{
    if (current_ == this)
        current_ = nullptr;
    if (shown_) {
        Draw();
        std::fputc('\n', stderr);
    }
}

void Progress::Show(std::size_t done)
{
    done_ = done;
    const Clock::time_point now = Clock::now();
    if (!terminal_ || now - start_ < std::chrono::seconds(1) ||
        (drawn_ > 0 && now - shownAt_ < std::chrono::milliseconds(100)))
        return;
    shown_ = true;
    shownAt_ = now;
    Draw();
}

void Progress::Show(std::size_t done, std::size_t total)
{
    total_ = total;
    Show(done);
}

void Progress::Draw()
{
    const int width = std::fprintf(stderr, "\r%s: %zu of %zu", what_.c_str(), done_, total_);
    drawn_ = width > 1 ? static_cast<std::size_t>(width - 1) : 0;
}

// Blanks rather than an escape sequence, which not every console takes.
void Progress::EraseShown()
{
    if (!current_ || current_->drawn_ == 0)
        return;
    std::fprintf(stderr, "\r%*s\r", static_cast<int>(current_->drawn_), "");
    current_->drawn_ = 0;
}
