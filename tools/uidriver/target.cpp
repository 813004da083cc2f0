#include "target.h"

#include "controls.h"
#include "errors.h"
#include "messages.h"
#include "wait.h"

namespace {

struct CaptionSearch {
    const std::string* caption;
    HWND found;
};

BOOL CALLBACK MatchCaption(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<CaptionSearch*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != GetCurrentProcessId() && CaptionOf(window) == *search->caption) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

struct ProcessSearch {
    DWORD pid;
    std::vector<HWND>* windows;
};

BOOL CALLBACK CollectProcessWindows(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<ProcessSearch*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == search->pid) {
        search->windows->push_back(window);
    }
    return TRUE;
}

}  // namespace

Target::~Target()
{
    if (process_ != nullptr) {
        CloseHandle(process_);
    }
}

HWND Target::FindMainWindowNow()
{
    if (main_ != nullptr && IsWindow(main_) && CaptionOf(main_) == settings_.mainCaption) {
        return main_;
    }
    CaptionSearch search = {&settings_.mainCaption, nullptr};
    EnumWindows(MatchCaption, reinterpret_cast<LPARAM>(&search));
    if (search.found != nullptr) {
        Adopt(search.found);
    }
    return search.found;
}

HWND Target::MainWindow(DWORD timeoutMs)
{
    HWND found = nullptr;
    if (!WaitUntil(timeoutMs, [&] { return (found = FindMainWindowNow()) != nullptr; })) {
        throw DriverError("no window with the caption \"" + settings_.mainCaption + "\" appeared within " +
                          std::to_string(timeoutMs) + " ms");
    }
    return found;
}

void Target::Adopt(HWND window)
{
    main_ = window;
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == pid_ && process_ != nullptr) {
        return;
    }
    if (process_ != nullptr) {
        CloseHandle(process_);
    }
    pid_ = pid;
    // Without this handle the driver could still drive the window, but not
    // see the program end or read its executable.
    process_ = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
}

DWORD Target::ProcessId()
{
    if (!Running()) {
        MainWindow();
    }
    return pid_;
}

bool Target::Running() const
{
    if (process_ == nullptr) {
        return pid_ != 0 && IsWindow(main_);
    }
    return WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

std::string Target::ImagePath() const
{
    char path[MAX_PATH * 2] = "";
    DWORD size = sizeof path;
    if (process_ == nullptr || !QueryFullProcessImageNameA(process_, 0, path, &size)) {
        return "";
    }
    return path;
}

std::vector<HWND> Target::Windows(DWORD waitMs)
{
    std::vector<HWND> windows;
    if (!Running()) {
        if (waitMs > 0) {
            MainWindow(waitMs);
        } else {
            FindMainWindowNow();
        }
        if (!Running()) {
            return windows;
        }
    }
    ProcessSearch search = {pid_, &windows};
    EnumWindows(CollectProcessWindows, reinterpret_cast<LPARAM>(&search));
    return windows;
}
