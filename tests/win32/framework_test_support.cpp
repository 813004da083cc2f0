#include "framework_test_support.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "dialog.h"
#include "socket.h"
#include "win_app.h"

namespace {

// The application object that the framework finds. The tests run from
// GoogleTest's main, so the framework's own start-up never runs: the
// environment below does what it would.
CWinApp g_testApp;

class FrameworkEnvironment : public testing::Environment {
public:
    void SetUp() override
    {
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
        ASSERT_TRUE(::InitCommonControlsEx(&controls));
        ASSERT_TRUE(AfxSocketInit());
    }
};

[[maybe_unused]] testing::Environment* const g_environment =
    testing::AddGlobalTestEnvironment(new FrameworkEnvironment);

constexpr auto kSendTimeout = std::chrono::milliseconds(2000);

// A message sent to a window of the watched thread, which may be busy:
// never wait for it without a limit.
LRESULT SendWithLimit(HWND hwnd, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
{
    DWORD_PTR result = 0;
    if (!::SendMessageTimeoutA(hwnd, message, wParam, lParam, SMTO_NORMAL, static_cast<UINT>(kSendTimeout.count()),
                               &result))
        return 0;
    return static_cast<LRESULT>(result);
}

std::string TextOf(HWND hwnd)
{
    std::array<char, 1024> text = {};
    const auto length =
        static_cast<std::size_t>(SendWithLimit(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data())));
    return std::string(text.data(), std::min(length, text.size() - 1));
}

std::string ClassOf(HWND hwnd)
{
    std::array<char, 64> name = {};
    const int length = ::GetClassNameA(hwnd, name.data(), static_cast<int>(name.size()));
    return std::string(name.data(), length > 0 ? static_cast<std::size_t>(length) : 0);
}

// A standard dialog of the thread that none of the framework's classes made:
// under the tests, only a message box is that.
bool IsMessageBox(HWND hwnd)
{
    return ClassOf(hwnd) == "#32770" && CDialog::FromHandle(hwnd) == nullptr && ::IsWindowVisible(hwnd);
}

BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM found)
{
    reinterpret_cast<std::vector<HWND>*>(found)->push_back(hwnd);
    return TRUE;
}

std::vector<HWND> ThreadWindows(DWORD thread)
{
    std::vector<HWND> windows;
    ::EnumThreadWindows(thread, CollectWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

}  // namespace

bool MessageBoxOpen()
{
    const std::vector<HWND> windows = ThreadWindows(::GetCurrentThreadId());
    return std::any_of(windows.begin(), windows.end(), IsMessageBox);
}

bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        if (done())
            return true;
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(std::min<long long>(left.count(), 50)),
                                    QS_ALLINPUT);
    }
}

MessageBoxWatcher::MessageBoxWatcher(int press, DWORD thread)
    : m_press(press), m_thread(thread), m_worker([this] { Run(); })
{
}

MessageBoxWatcher::~MessageBoxWatcher()
{
    m_stop = true;
    m_worker.join();
}

std::vector<SeenBox> MessageBoxWatcher::Boxes() const
{
    std::lock_guard lock(m_mutex);
    return m_boxes;
}

void MessageBoxWatcher::Run()
{
    while (!m_stop) {
        for (HWND hwnd : ThreadWindows(m_thread)) {
            if (std::find(m_handled.begin(), m_handled.end(), hwnd) == m_handled.end() && IsMessageBox(hwnd) &&
                Handle(hwnd))
                m_handled.push_back(hwnd);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

bool MessageBoxWatcher::Handle(HWND box)
{
    SeenBox seen;
    seen.caption = TextOf(box);
    seen.owner = ::GetWindow(box, GW_OWNER);
    std::vector<HWND> children;
    ::EnumChildWindows(box, CollectWindow, reinterpret_cast<LPARAM>(&children));
    // The box's statics: one shows the icon, the other the text. Which ids
    // they have differs between Windows and Wine, so go by style.
    for (HWND child : children) {
        if (ClassOf(child) != "Static")
            continue;
        if ((::GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
            if (::IsWindowVisible(child))
                seen.icon = reinterpret_cast<HICON>(SendWithLimit(child, STM_GETICON));
        } else if (seen.text.empty()) {
            seen.text = TextOf(child);
        }
    }
    for (int id = IDOK; id <= IDCONTINUE; ++id) {
        const HWND button = ::GetDlgItem(box, id);
        if (button && ::IsWindowVisible(button))
            seen.buttons.push_back(id);
    }
    // A box seen while it is still being laid out has no buttons yet.
    if (seen.buttons.empty())
        return false;
    const bool hasPress = std::find(seen.buttons.begin(), seen.buttons.end(), m_press) != seen.buttons.end();
    seen.pressed = hasPress ? m_press : seen.buttons.front();
    const HWND pressButton = ::GetDlgItem(box, seen.pressed);
    {
        std::lock_guard lock(m_mutex);
        m_boxes.push_back(seen);
    }
    ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(seen.pressed, BN_CLICKED), reinterpret_cast<LPARAM>(pressButton));
    return true;
}

MainWindowScope::MainWindowScope(CWnd* window) : m_previous(AfxGetApp()->m_pMainWnd)
{
    AfxGetApp()->m_pMainWnd = window;
}

MainWindowScope::~MainWindowScope()
{
    AfxGetApp()->m_pMainWnd = m_previous;
}

namespace {
ModalGuard* g_activeGuard = nullptr;
}

ModalGuard::ModalGuard(CDialog& dialog, std::chrono::milliseconds limit)
    : m_dialog(dialog), m_timer(::SetTimer(nullptr, 0, static_cast<UINT>(limit.count()), &ModalGuard::OnTimer))
{
    g_activeGuard = this;
}

ModalGuard::~ModalGuard()
{
    if (m_timer)
        ::KillTimer(nullptr, m_timer);
    g_activeGuard = nullptr;
}

void CALLBACK ModalGuard::OnTimer(HWND, UINT, UINT_PTR timer, DWORD)
{
    ::KillTimer(nullptr, timer);
    ModalGuard* guard = g_activeGuard;
    if (!guard || guard->m_timer != timer)
        return;
    guard->m_timer = 0;
    guard->m_fired = true;
    // With its window gone, the dispatch of this very timer message is what
    // wakes a modal loop that missed the end.
    if (guard->m_dialog.m_hWnd)
        guard->m_dialog.EndDialog(kModalTimedOut);
}

std::string ControlText(HWND dialog, int id)
{
    std::array<char, 256> text = {};
    const int length = ::GetDlgItemTextA(dialog, id, text.data(), static_cast<int>(text.size()));
    return std::string(text.data(), length > 0 ? static_cast<std::size_t>(length) : 0);
}
