// How far a long run has got, for an operator at a terminal: a count on
// standard error once the run has taken a second, at most ten times a
// second, replaced by the next and ended with a line break.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>

class Progress {
public:
    // `what` names the work: "applying" gives "applying: 12 of 50". The
    // last count shown stays, with the last `done` given.
    Progress(std::string what, std::size_t total);
    ~Progress();
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    void Show(std::size_t done);
    // For work whose size is known only once it runs.
    void Show(std::size_t done, std::size_t total);

    // Blanks the count on the terminal, if one shows, so that the next text
    // starts a clean line instead of running into it; the next Show draws
    // it again. Everything nwctl prints while a count may show goes through
    // this (messages.h).
    static void EraseShown();

private:
    using Clock = std::chrono::steady_clock;
    void Draw();

    std::string what_;
    std::size_t total_;
    std::size_t done_ = 0;
    bool terminal_;
    bool shown_ = false;
    // The characters of the count on the screen, 0 when erased.
    std::size_t drawn_ = 0;
    Clock::time_point start_ = Clock::now();
    Clock::time_point shownAt_{};
    // The one count on the terminal: one run of work at a time.
    static Progress* current_;
};
