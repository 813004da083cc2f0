// The search's wait box: while the main dialog's modal loop runs, Enter and
// Escape meant for the modeless box are consumed by its PreTranslateMessage
// and cannot close it, while every other message reaches it; and the box
// centres itself over a visible owner, or over the work area otherwise.

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>

#include "dialog.h"
#include "fixture_dialog.h"
#include "framework_test_resource.h"
#include "framework_test_support.h"
#include "wait_dialog.h"

namespace {

struct KeyCase {
    const char* name;
    WPARAM key;
    bool toText;  // to the box's static text instead of the box
};

TEST(WaitBoxTest, EnterAndEscapeDoNotCloseItDuringAnotherDialogsModalRun)
{
    const KeyCase cases[] = {
        {"Enter", VK_RETURN, false},
        {"Escape", VK_ESCAPE, false},
        {"Enter at its text", VK_RETURN, true},
        {"Escape at its text", VK_ESCAPE, true},
    };
    for (const KeyCase& c : cases) {
        SCOPED_TRACE(c.name);
        CFixtureDlg main;
        MainWindowScope scope(&main);
        CModalDlg waitBox;
        // The same box without the override: the keys must reach it, or the
        // check above proves nothing.
        CDialog plainBox(IDD_WAIT_BOX);
        bool waitBoxShown = false;
        bool plainBoxShown = true;
        main.steps.push_back([&](CFixtureDlg& d) {
            ASSERT_TRUE(waitBox.Create(IDD_WAIT_BOX, &d));
            ASSERT_TRUE(plainBox.Create(IDD_WAIT_BOX, &d));
            waitBox.ShowWindow(SW_SHOW);
            plainBox.ShowWindow(SW_SHOW);
            for (CDialog* box : {static_cast<CDialog*>(&waitBox), &plainBox}) {
                const HWND target = c.toText ? ::GetDlgItem(box->m_hWnd, IDC_WAIT_TEXT) : box->m_hWnd;
                ::PostMessageA(target, WM_KEYDOWN, c.key, 1);
            }
        });
        main.steps.push_back([&](CFixtureDlg& d) {
            waitBoxShown = ::IsWindowVisible(waitBox.m_hWnd) != FALSE;
            plainBoxShown = ::IsWindowVisible(plainBox.m_hWnd) != FALSE;
            d.EndDialog(IDCANCEL);
        });
        ModalGuard guard(main);
        EXPECT_EQ(main.DoModal(), IDCANCEL) << "the main dialog's run ended by itself";
        EXPECT_TRUE(waitBoxShown);
        EXPECT_FALSE(plainBoxShown);
    }
}

TEST(WaitBoxTest, OtherKeysStillReachIt)
{
    CFixtureDlg main;
    MainWindowScope scope(&main);
    CModalDlg waitBox;
    bool waitBoxShown = true;
    main.steps.push_back([&](CFixtureDlg& d) {
        ASSERT_TRUE(waitBox.Create(IDD_WAIT_BOX, &d));
        waitBox.ShowWindow(SW_SHOW);
        // VK_CANCEL closes a dialog the way Escape does.
        ::PostMessageA(waitBox.m_hWnd, WM_KEYDOWN, VK_CANCEL, 1);
    });
    main.steps.push_back([&](CFixtureDlg& d) {
        waitBoxShown = ::IsWindowVisible(waitBox.m_hWnd) != FALSE;
        d.EndDialog(IDCANCEL);
    });
    ModalGuard guard(main);
    EXPECT_EQ(main.DoModal(), IDCANCEL);
    EXPECT_FALSE(waitBoxShown);
}

// Ends the fixture's modal run from a timer of the wait box.
CFixtureDlg* timerTarget = nullptr;

void CALLBACK EndRunFromTimer(HWND hwnd, UINT, UINT_PTR timer, DWORD)
{
    ::KillTimer(hwnd, timer);
    if (timerTarget)
        timerTarget->EndDialog(IDOK);
}

TEST(WaitBoxTest, MessagesThatOnlyCarryTheKeysNumbersStillReachIt)
{
    // A timer whose id happens to be Enter's or Escape's number is no key:
    // swallowing it would stop whatever the box's owner timed.
    for (const UINT_PTR id : {UINT_PTR{VK_RETURN}, UINT_PTR{VK_ESCAPE}}) {
        SCOPED_TRACE(id);
        CFixtureDlg main;
        MainWindowScope scope(&main);
        CModalDlg waitBox;
        timerTarget = &main;
        main.steps.push_back([&](CFixtureDlg& d) {
            ASSERT_TRUE(waitBox.Create(IDD_WAIT_BOX, &d));
            waitBox.ShowWindow(SW_SHOW);
            ASSERT_NE(::SetTimer(waitBox.m_hWnd, id, 1, EndRunFromTimer), 0u);
        });
        ModalGuard guard(main, std::chrono::seconds(5));
        EXPECT_EQ(main.DoModal(), IDOK) << "the box's timer ended the run";
        timerTarget = nullptr;
    }
}

POINT Centre(const RECT& rect)
{
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

RECT WindowRect(HWND hwnd)
{
    RECT rect = {};
    ::GetWindowRect(hwnd, &rect);
    return rect;
}

RECT WorkArea()
{
    RECT work = {};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    return work;
}

enum class OwnerState { Visible, Hidden, Minimised, None };

struct CentreCase {
    const char* name;
    OwnerState owner;
    bool overWorkArea;  // else over the owner
};

TEST(WaitBoxTest, CentresOverAVisibleOwnerOrTheWorkArea)
{
    const CentreCase cases[] = {
        {"visible owner", OwnerState::Visible, false},
        {"hidden owner", OwnerState::Hidden, true},
        {"minimised owner", OwnerState::Minimised, true},
        {"no owner", OwnerState::None, true},
    };
    const RECT work = WorkArea();
    ASSERT_GT(work.right - work.left, 600);
    for (const CentreCase& c : cases) {
        SCOPED_TRACE(c.name);
        CFixtureDlg owner;
        ASSERT_TRUE(owner.Create(IDD_FIXTURE));
        ::SetWindowPos(owner.m_hWnd, nullptr, work.left + 40, work.top + 30, 520, 400, SWP_NOZORDER | SWP_NOACTIVATE);
        if (c.owner == OwnerState::Visible || c.owner == OwnerState::Minimised)
            owner.ShowWindow(SW_SHOWNOACTIVATE);
        if (c.owner == OwnerState::Minimised) {
            owner.ShowWindow(SW_MINIMIZE);
            ASSERT_TRUE(owner.IsIconic());
        }
        CModalDlg waitBox;
        ASSERT_TRUE(waitBox.Create(IDD_WAIT_BOX, c.owner == OwnerState::None ? nullptr : &owner));
        const RECT ownerRect = WindowRect(owner.m_hWnd);

        waitBox.CenterWindow();

        const RECT box = WindowRect(waitBox.m_hWnd);
        const POINT expected = Centre(c.overWorkArea ? work : ownerRect);
        EXPECT_LE(std::abs(Centre(box).x - expected.x), 1);
        EXPECT_LE(std::abs(Centre(box).y - expected.y), 1);
    }
}

TEST(WaitBoxTest, StaysOnTheWorkAreaWhenTheOwnerReachesPastIt)
{
    const RECT work = WorkArea();
    CFixtureDlg owner;
    ASSERT_TRUE(owner.Create(IDD_FIXTURE));
    // Mostly beyond the bottom right corner: centred over it, the box would
    // leave the screen.
    ::SetWindowPos(owner.m_hWnd, nullptr, work.right - 60, work.bottom - 40, 520, 400, SWP_NOZORDER | SWP_NOACTIVATE);
    owner.ShowWindow(SW_SHOWNOACTIVATE);
    CModalDlg waitBox;
    ASSERT_TRUE(waitBox.Create(IDD_WAIT_BOX, &owner));

    waitBox.CenterWindow();

    const RECT box = WindowRect(waitBox.m_hWnd);
    EXPECT_EQ(box.right, work.right);
    EXPECT_EQ(box.bottom, work.bottom);
}

}  // namespace
