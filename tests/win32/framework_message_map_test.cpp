// The message map of a dialog: entries tried in order, commands and
// notifications matched by control id and code, results returned the way
// the dialog manager expects them, unmatched messages left to the default
// dialog handling, and a throwing handler kept inside the dialog procedure.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "dialog.h"
#include "framework_test_resource.h"
#include "framework_test_support.h"

namespace {

constexpr UINT WM_TEST_TWICE = WM_APP + 1;  // two entries match it
constexpr UINT WM_TEST_THROW = WM_APP + 2;
constexpr UINT WM_TEST_UNMAPPED = WM_APP + 3;

class CMapDlg : public CDialog {
public:
    CMapDlg() : CDialog(IDD_FIXTURE) {}

    std::vector<const char*> calls;
    NMLISTVIEW columnClick = {};
    std::vector<NMLISTVIEW> itemChanges;
    UINT sysCommand = 0;
    LPARAM sysCommandParam = 0;
    int paints = 0;
    HCURSOR dragIcon = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW

    MessageMap GetMessageMap() const override
    {
        static constexpr MessageMapEntry entries[] = {
            MapMessage<&CMapDlg::OnTwiceFirst>(WM_TEST_TWICE),
            MapMessage<&CMapDlg::OnTwiceSecond>(WM_TEST_TWICE),
            MapCommand<&CMapDlg::OnClickButton>(BN_CLICKED, IDC_BUTTON),
            MapCommand<&CMapDlg::OnChangeFirst>(EN_CHANGE, IDC_FIRST),
            MapNotify<&CMapDlg::OnColumnClickList>(LVN_COLUMNCLICK, IDC_LIST),
            MapNotify<&CMapDlg::OnItemChangedList>(LVN_ITEMCHANGED, IDC_LIST),
            MapSysCommand<&CMapDlg::OnSysCommand>(),
            MapPaint<&CMapDlg::OnPaint>(),
            MapQueryDragIcon<&CMapDlg::OnQueryDragIcon>(),
            MapMessage<&CMapDlg::OnThrow>(WM_TEST_THROW),
        };
        return entries;
    }

private:
    LRESULT OnTwiceFirst()
    {
        calls.push_back("twice-first");
        return 11;
    }
    LRESULT OnTwiceSecond()
    {
        calls.push_back("twice-second");
        return 22;
    }
    void OnClickButton() { calls.push_back("click-button"); }
    void OnChangeFirst() { calls.push_back("change-first"); }
    void OnColumnClickList(NMLISTVIEW* info, LRESULT* result)
    {
        calls.push_back("column-click");
        columnClick = *info;
        *result = 42;
    }
    void OnItemChangedList(NMLISTVIEW* info, LRESULT*)
    {
        calls.push_back("item-changed");
        itemChanges.push_back(*info);
    }
    void OnSysCommand(UINT id, LPARAM param)
    {
        sysCommand = id;
        sysCommandParam = param;
    }
    void OnPaint()
    {
        PAINTSTRUCT paint;
        ::BeginPaint(m_hWnd, &paint);
        ::EndPaint(m_hWnd, &paint);
        ++paints;
    }
    HCURSOR OnQueryDragIcon() { return dragIcon; }
    LRESULT OnThrow()
    {
        calls.push_back("throw");
        throw std::runtime_error("handler failed");
    }
};

class MessageMapTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dialog.Create(IDD_FIXTURE));
        dialog.ShowWindow(SW_SHOW);
    }

    HWND Item(int id) const { return ::GetDlgItem(dialog.m_hWnd, id); }
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        return ::SendMessageA(dialog.m_hWnd, message, wParam, lParam);
    }

    CMapDlg dialog;
};

TEST_F(MessageMapTest, FirstOfTwoMatchingEntriesHandlesTheMessage)
{
    EXPECT_EQ(Send(WM_TEST_TWICE), 11);
    EXPECT_EQ(dialog.calls, std::vector<const char*>{"twice-first"});
}

struct CommandCase {
    int id;
    UINT code;
    const char* handler;  // null: no entry matches
};

TEST_F(MessageMapTest, CommandsMatchByControlIdAndCode)
{
    const CommandCase cases[] = {
        {IDC_BUTTON, BN_CLICKED, "click-button"}, {IDC_BUTTON, BN_DOUBLECLICKED, nullptr},
        {IDC_FIRST, EN_CHANGE, "change-first"},   {IDC_FIRST, EN_UPDATE, nullptr},
        {IDC_FIRST, BN_CLICKED, nullptr},         {IDC_SECOND, EN_CHANGE, nullptr},
    };
    for (const CommandCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "id " << c.id << " code " << c.code);
        dialog.calls.clear();
        Send(WM_COMMAND, MAKEWPARAM(c.id, c.code), reinterpret_cast<LPARAM>(Item(c.id)));
        if (c.handler)
            EXPECT_EQ(dialog.calls, std::vector<const char*>{c.handler});
        else
            EXPECT_TRUE(dialog.calls.empty());
    }
}

TEST_F(MessageMapTest, ControlsReachTheirCommandHandlers)
{
    ::SendMessageA(Item(IDC_BUTTON), BM_CLICK, 0, 0);
    ::SetWindowTextA(Item(IDC_FIRST), "changed");
    ::SetWindowTextA(Item(IDC_SECOND), "not mapped");
    EXPECT_EQ(dialog.calls, (std::vector<const char*>{"click-button", "change-first"}));
}

struct NotifyCase {
    UINT_PTR idFrom;
    UINT code;
    bool handled;
};

TEST_F(MessageMapTest, NotificationsMatchByControlIdAndCodeAndSetTheResult)
{
    const NotifyCase cases[] = {
        {IDC_LIST, LVN_COLUMNCLICK, true},
        {IDC_COMBO, LVN_COLUMNCLICK, false},
        {IDC_LIST, NM_CLICK, false},
    };
    for (const NotifyCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "id " << c.idFrom << " code " << static_cast<int>(c.code));
        dialog.calls.clear();
        NMLISTVIEW info = {};
        info.hdr.hwndFrom = Item(IDC_LIST);
        info.hdr.idFrom = c.idFrom;
        info.hdr.code = c.code;
        info.iItem = 5;
        info.iSubItem = 3;
        const LRESULT result = Send(WM_NOTIFY, c.idFrom, reinterpret_cast<LPARAM>(&info));
        if (c.handled) {
            EXPECT_EQ(dialog.calls, std::vector<const char*>{"column-click"});
            EXPECT_EQ(dialog.columnClick.iItem, 5);
            EXPECT_EQ(dialog.columnClick.iSubItem, 3);
            // A dialog returns a notification's result through DWLP_MSGRESULT.
            EXPECT_EQ(result, 42);
            EXPECT_EQ(::GetWindowLongPtrA(dialog.m_hWnd, DWLP_MSGRESULT), 42);
        } else {
            EXPECT_TRUE(dialog.calls.empty());
            EXPECT_EQ(result, 0);
        }
    }
}

TEST_F(MessageMapTest, ListNotificationArrivesWithItsStructure)
{
    const HWND list = Item(IDC_LIST);
    LVCOLUMNA column = {};
    column.mask = LVCF_WIDTH;
    column.cx = 100;
    ASSERT_EQ(::SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column)), 0);
    LVITEMA item = {};
    item.mask = LVIF_TEXT;
    item.pszText = const_cast<char*>("row");
    for (item.iItem = 0; item.iItem < 3; ++item.iItem)
        ASSERT_EQ(::SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)), item.iItem);
    dialog.itemChanges.clear();

    LVITEMA state = {};
    state.stateMask = LVIS_SELECTED;
    state.state = LVIS_SELECTED;
    ASSERT_TRUE(::SendMessageA(list, LVM_SETITEMSTATE, 2, reinterpret_cast<LPARAM>(&state)));

    ASSERT_FALSE(dialog.itemChanges.empty());
    const NMLISTVIEW& change = dialog.itemChanges.back();
    EXPECT_EQ(change.hdr.hwndFrom, list);
    EXPECT_EQ(change.hdr.idFrom, static_cast<UINT_PTR>(IDC_LIST));
    EXPECT_EQ(change.iItem, 2);
    EXPECT_TRUE(change.uChanged & LVIF_STATE);
    EXPECT_TRUE(change.uNewState & LVIS_SELECTED);
    EXPECT_FALSE(change.uOldState & LVIS_SELECTED);
}

TEST_F(MessageMapTest, SystemCommandAndPaintReachTheirHandlers)
{
    Send(WM_SYSCOMMAND, 0x0010, 0x00BEEF);
    EXPECT_EQ(dialog.sysCommand, 0x0010u);
    EXPECT_EQ(dialog.sysCommandParam, 0x00BEEF);

    ASSERT_TRUE(::InvalidateRect(dialog.m_hWnd, nullptr, TRUE));
    ASSERT_TRUE(::UpdateWindow(dialog.m_hWnd));
    EXPECT_EQ(dialog.paints, 1);
    RECT pending;
    EXPECT_FALSE(::GetUpdateRect(dialog.m_hWnd, &pending, FALSE)) << "the paint handler validated the window";
}

TEST_F(MessageMapTest, DragIconIsReturnedDirectly)
{
    ASSERT_NE(dialog.dragIcon, nullptr);
    // Through DWLP_MSGRESULT the caller would see TRUE instead of the handle.
    EXPECT_EQ(Send(WM_QUERYDRAGICON), reinterpret_cast<LRESULT>(dialog.dragIcon));
}

TEST_F(MessageMapTest, UnmatchedMessagesGetTheDefaultDialogHandling)
{
    Send(DM_SETDEFID, IDC_BUTTON);
    EXPECT_EQ(Send(DM_GETDEFID), MAKELRESULT(IDC_BUTTON, DC_HASDEFID));

    Send(WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Renamed"));
    char caption[32] = {};
    ::GetWindowTextA(dialog.m_hWnd, caption, sizeof caption);
    EXPECT_STREQ(caption, "Renamed");

    EXPECT_EQ(Send(WM_TEST_UNMAPPED, 1, 2), 0);
    EXPECT_TRUE(dialog.calls.empty());
}

TEST_F(MessageMapTest, ThrowingHandlerDoesNotUnwindThroughTheDialogProcedure)
{
    EXPECT_EQ(Send(WM_TEST_THROW), 0);
    EXPECT_EQ(dialog.calls, std::vector<const char*>{"throw"});
    // The dialog goes on working.
    ASSERT_TRUE(::IsWindow(dialog.m_hWnd));
    EXPECT_EQ(Send(WM_TEST_TWICE), 11);
}

}  // namespace
