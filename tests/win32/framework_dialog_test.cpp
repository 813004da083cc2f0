// The modal run of a dialog: how OK, Cancel, Enter, Escape and the close box
// end it, when the exchange runs, the one call of the virtual DestroyWindow,
// windows destroyed under the loop, the owner it disables, and the
// initialisation data that fills a dialog's lists when it opens.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "fixture_dialog.h"
#include "framework_test_resource.h"
#include "framework_test_support.h"

namespace {

constexpr char kEnterAnInteger[] = "Enter an integer.";

HWND Item(const CDialog& dialog, int id)
{
    return ::GetDlgItem(dialog.m_hWnd, id);
}

enum class Action { SendOk, SendCancel, PostEnterInEdit, PostEscapeInEdit, PostClose };

struct EndCase {
    const char* name;
    const char* text;  // typed into IDC_FIRST
    Action action;
    INT_PTR result;
    long first;  // the member afterwards; it starts at 1234
    int exchangesIn;
};

void Act(CFixtureDlg& dialog, Action action)
{
    const HWND edit = Item(dialog, IDC_FIRST);
    switch (action) {
        case Action::SendOk:
            dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED));
            break;
        case Action::SendCancel:
            dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED));
            break;
        case Action::PostEnterInEdit:
            ::SetFocus(edit);
            ::PostMessageA(edit, WM_KEYDOWN, VK_RETURN, 1);
            break;
        case Action::PostEscapeInEdit:
            ::SetFocus(edit);
            ::PostMessageA(edit, WM_KEYDOWN, VK_ESCAPE, 1);
            break;
        case Action::PostClose:
            dialog.PostMessage(WM_CLOSE);
            break;
    }
}

TEST(ModalDialogTest, OkExchangesAndEndsWhileCancelEndsWithoutExchange)
{
    const EndCase cases[] = {
        {"OK", "80 ", Action::SendOk, IDOK, 80, 1},
        {"Enter in an edit", " -5", Action::PostEnterInEdit, IDOK, -5, 1},
        {"Cancel", "x1", Action::SendCancel, IDCANCEL, 1234, 0},
        {"Escape in an edit", "x1", Action::PostEscapeInEdit, IDCANCEL, 1234, 0},
        {"close box", "x1", Action::PostClose, IDCANCEL, 1234, 0},
    };
    for (const EndCase& c : cases) {
        SCOPED_TRACE(c.name);
        MessageBoxWatcher watcher;
        CFixtureDlg dialog;
        dialog.first = 1234;
        dialog.steps.push_back([&c](CFixtureDlg& d) {
            ::SetWindowTextA(Item(d, IDC_FIRST), c.text);
            Act(d, c.action);
        });
        ModalGuard guard(dialog);
        EXPECT_EQ(dialog.DoModal(), c.result);
        EXPECT_FALSE(guard.Fired());
        EXPECT_EQ(dialog.first, c.first);
        EXPECT_EQ(dialog.exchangesIn, c.exchangesIn);
        EXPECT_EQ(dialog.destroyCalls, 1);
        EXPECT_EQ(dialog.m_hWnd, nullptr);
        EXPECT_TRUE(watcher.Boxes().empty());
    }
}

TEST(ModalDialogTest, OkWithAnUnreadableNumberKeepsTheDialogOpen)
{
    // No number, and a number with more after it.
    const struct {
        Action ok;
        const char* text;
    } cases[] = {
        {Action::SendOk, "x1"},
        {Action::PostEnterInEdit, "x1"},
        {Action::SendOk, "80x"},
        {Action::PostEnterInEdit, "80x"},
    };
    for (const auto& c : cases) {
        const Action ok = c.ok;
        const char* const text = c.text;
        SCOPED_TRACE(std::string(ok == Action::SendOk ? "OK" : "Enter") + " with \"" + text + "\"");
        MessageBoxWatcher watcher;
        CFixtureDlg dialog;
        MainWindowScope main(&dialog);
        HWND window = nullptr;
        bool openAfterBox = false;
        bool focusInEdit = false;
        dialog.steps.push_back([ok, text, &window](CFixtureDlg& d) {
            window = d.m_hWnd;
            ::SetWindowTextA(Item(d, IDC_FIRST), text);
            Act(d, ok);
        });
        dialog.steps.push_back([ok, &openAfterBox, &focusInEdit](CFixtureDlg& d) {
            openAfterBox = ::IsWindowVisible(d.m_hWnd) != FALSE;
            focusInEdit = ::GetFocus() == Item(d, IDC_FIRST);
            ::SetWindowTextA(Item(d, IDC_FIRST), "7");
            Act(d, ok);
        });
        ModalGuard guard(dialog);
        EXPECT_EQ(dialog.DoModal(), IDOK);
        EXPECT_FALSE(guard.Fired());
        EXPECT_TRUE(openAfterBox);
        EXPECT_TRUE(focusInEdit);
        EXPECT_EQ(dialog.first, 7);
        EXPECT_EQ(dialog.exchangesIn, 2);
        const std::vector<SeenBox> boxes = watcher.Boxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].caption, kTestProgramTitle);
        EXPECT_EQ(boxes[0].text, kEnterAnInteger);
        // Modal to the main window, which is this dialog.
        EXPECT_EQ(boxes[0].owner, window);
    }
}

TEST(ModalDialogTest, DestroyWindowIsCalledOnceWhenInitialisationDestroyedTheWindow)
{
    CFixtureDlg dialog;
    bool hadWindow = false;
    dialog.onInit = [&hadWindow](CFixtureDlg& d) {
        hadWindow = d.m_hWnd != nullptr;
        // As the program does when its start-up fails: the base destruction,
        // not the dialog's own override.
        d.CWnd::DestroyWindow();
        return TRUE;
    };
    ModalGuard guard(dialog);
    EXPECT_EQ(dialog.DoModal(), -1);
    EXPECT_FALSE(guard.Fired());
    EXPECT_TRUE(hadWindow);
    EXPECT_EQ(dialog.destroyCalls, 1);
    EXPECT_EQ(dialog.m_hWnd, nullptr);
}

TEST(ModalDialogTest, WindowDestroyedFromOutsideEndsTheModalRun)
{
    CFixtureDlg dialog;
    dialog.steps.push_back([](CFixtureDlg& d) { ::DestroyWindow(d.m_hWnd); });
    ModalGuard guard(dialog);
    EXPECT_EQ(dialog.DoModal(), -1);
    EXPECT_FALSE(guard.Fired());
    EXPECT_EQ(dialog.destroyCalls, 1);
    EXPECT_EQ(dialog.m_hWnd, nullptr);
}

// The window goes while the loop waits for a message: destroyed inside a
// message that another thread sends, which the loop handles without
// returning from its wait.
class CDestroyOnRequestDlg : public CFixtureDlg {
public:
    static constexpr UINT kDestroyRequest = WM_APP + 7;

    MessageMap GetMessageMap() const override
    {
        static constexpr MessageMapEntry entries[] = {
            MapMessage<&CDestroyOnRequestDlg::OnDestroyRequest>(kDestroyRequest),
        };
        return entries;
    }

private:
    LRESULT OnDestroyRequest()
    {
        ::DestroyWindow(m_hWnd);
        return 0;
    }
};

TEST(ModalDialogTest, WindowDestroyedInAMessageFromAnotherThreadEndsTheModalRun)
{
    CDestroyOnRequestDlg dialog;
    std::thread requester;
    dialog.onInit = [&requester](CFixtureDlg& d) {
        const HWND hwnd = d.m_hWnd;
        requester = std::thread([hwnd] {
            // Once the dialog shows, its loop is waiting for messages.
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
            while (!::IsWindowVisible(hwnd) && std::chrono::steady_clock::now() < deadline)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            DWORD_PTR result;
            ::SendMessageTimeoutA(hwnd, CDestroyOnRequestDlg::kDestroyRequest, 0, 0, SMTO_NORMAL, 10000, &result);
        });
        return TRUE;
    };
    ModalGuard guard(dialog, std::chrono::seconds(5));
    EXPECT_EQ(dialog.DoModal(), -1);
    requester.join();
    EXPECT_FALSE(guard.Fired()) << "the modal loop went on waiting after its window was destroyed";
    EXPECT_EQ(dialog.destroyCalls, 1);
}

TEST(ModalDialogTest, MissingTemplateEndsAtOnce)
{
    CFixtureDlg dialog(IDD_MISSING);
    ModalGuard guard(dialog);
    EXPECT_EQ(dialog.DoModal(), -1);
    EXPECT_FALSE(guard.Fired());
    EXPECT_EQ(dialog.destroyCalls, 1);
}

TEST(ModalDialogTest, OwnerIsDisabledDuringTheRunAndEnabledAfter)
{
    CFixtureDlg owner;
    ASSERT_TRUE(owner.Create(IDD_FIXTURE));
    owner.ShowWindow(SW_SHOW);
    ASSERT_TRUE(::IsWindowEnabled(owner.m_hWnd));

    struct Seen {
        HWND owner = nullptr;
        bool ownerEnabled = true;
    };
    // With a parent, and without one while the owner is the main window.
    for (const bool withParent : {true, false}) {
        SCOPED_TRACE(withParent ? "parent" : "main window");
        MainWindowScope main(withParent ? nullptr : &owner);
        CFixtureDlg dialog(IDD_FIXTURE, withParent ? &owner : nullptr);
        Seen seen;
        dialog.steps.push_back([&seen](CFixtureDlg& d) {
            seen.owner = ::GetWindow(d.m_hWnd, GW_OWNER);
            seen.ownerEnabled = ::IsWindowEnabled(seen.owner) != FALSE;
            d.EndDialog(IDCANCEL);
        });
        ModalGuard guard(dialog);
        EXPECT_EQ(dialog.DoModal(), IDCANCEL);
        EXPECT_EQ(seen.owner, owner.m_hWnd);
        EXPECT_FALSE(seen.ownerEnabled);
        EXPECT_TRUE(::IsWindowEnabled(owner.m_hWnd));
    }
}

struct InitDataCase {
    UINT templateId;
    std::vector<std::string> combo;
    std::vector<std::string> listBox;
};

std::vector<std::string> ComboItems(HWND combo)
{
    std::vector<std::string> items;
    const auto count = ::SendMessageA(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        char text[64] = {};
        ::SendMessageA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        items.emplace_back(text);
    }
    return items;
}

std::vector<std::string> ListBoxItems(HWND listBox)
{
    std::vector<std::string> items;
    const auto count = ::SendMessageA(listBox, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        char text[64] = {};
        ::SendMessageA(listBox, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
        items.emplace_back(text);
    }
    return items;
}

TEST(DialogInitDataTest, AddsWellFormedRecordsAndSkipsTheRest)
{
    const InitDataCase cases[] = {
        {IDD_FIXTURE, {"Alpha"}, {}},
        // Text without its NUL, another message, no text, no such control.
        {IDD_INIT_SKIPPED_RECORDS, {"Good"}, {"List"}},
        {IDD_INIT_LENGTH_PAST_END, {"First"}, {}},
        {IDD_INIT_LENGTH_WRAPS, {"First"}, {}},
        {IDD_INIT_HEADER_CUT, {"First"}, {}},
        {IDD_INIT_NO_END_MARK, {"First", "Second"}, {}},
        {IDD_INIT_AFTER_END_MARK, {"First"}, {}},
        {IDD_INIT_ONE_BYTE, {}, {}},
    };
    for (const InitDataCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "template " << c.templateId);
        CDialog dialog(c.templateId);
        ASSERT_TRUE(dialog.Create(c.templateId));
        EXPECT_EQ(ComboItems(Item(dialog, IDC_COMBO)), c.combo);
        EXPECT_EQ(ListBoxItems(Item(dialog, IDC_LISTBOX)), c.listBox);
    }
}

}  // namespace
