// What the framework tests share: the UI thread's message pump with a time
// limit, a watcher that reads and closes the message boxes of the UI thread,
// the application object's main window for a scope, and a guard that ends a
// modal run that would otherwise hang.
#pragma once

#include <windows.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class CDialog;
class CWnd;

// The executable's file name without its extension: the message boxes' caption.
inline constexpr char kTestProgramTitle[] = "framework_test";

// Dispatches the calling thread's messages until `done` holds or `limit`
// passes; true when `done` held.
bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::seconds(10));

// Whether a message box of the calling thread is open.
bool MessageBoxOpen();

// One message box as the watcher saw it before pressing a button.
struct SeenBox {
    std::string caption;
    std::string text;
    HICON icon = nullptr;  // what the box's icon control shows; null for none
    HWND owner = nullptr;
    std::vector<int> buttons;  // ids of the visible buttons, IDOK to IDCONTINUE
    int pressed = 0;
};

// Watches the message boxes of one thread (by default the calling one) while
// it lives: reads each box that appears and presses `press` in it (or, when
// the box has no such button, its first one). A test that expects no box
// keeps one too, so that a stray box fails the test instead of hanging it.
class MessageBoxWatcher {
public:
    explicit MessageBoxWatcher(int press = IDOK, DWORD thread = ::GetCurrentThreadId());
    ~MessageBoxWatcher();
    MessageBoxWatcher(const MessageBoxWatcher&) = delete;
    MessageBoxWatcher& operator=(const MessageBoxWatcher&) = delete;

    std::vector<SeenBox> Boxes() const;

private:
    void Run();
    bool Handle(HWND box);

    const int m_press;
    const DWORD m_thread;
    std::atomic<bool> m_stop{false};
    mutable std::mutex m_mutex;
    std::vector<SeenBox> m_boxes;
    std::vector<HWND> m_handled;
    std::thread m_worker;
};

// Makes `window` the application's main window for a scope.
class MainWindowScope {
public:
    explicit MainWindowScope(CWnd* window);
    ~MainWindowScope();
    MainWindowScope(const MainWindowScope&) = delete;
    MainWindowScope& operator=(const MainWindowScope&) = delete;

private:
    CWnd* m_previous;
};

// Ends the modal run of `dialog` with kModalTimedOut if it still runs when
// `limit` has passed, and notes that it had to. Its timer belongs to the
// thread, not to the dialog, so it also fires after the window is gone.
class ModalGuard {
public:
    static constexpr int kModalTimedOut = 0x7A11;

    ModalGuard(CDialog& dialog, std::chrono::milliseconds limit = std::chrono::seconds(15));
    ~ModalGuard();
    ModalGuard(const ModalGuard&) = delete;
    ModalGuard& operator=(const ModalGuard&) = delete;

    bool Fired() const { return m_fired; }

private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD);

    CDialog& m_dialog;
    UINT_PTR m_timer;
    bool m_fired = false;
};

// The text of a dialog control, read on the calling thread.
std::string ControlText(HWND dialog, int id);
