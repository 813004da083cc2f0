// Dialog data exchange (numbers as text, the radio group index, control
// binding) and the framework's message boxes, whose caption, icon and
// buttons are read from the box itself by a watcher thread.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fixture_dialog.h"
#include "framework_resource.h"
#include "framework_test_resource.h"
#include "framework_test_support.h"
#include "message_box.h"

namespace {

constexpr char kEnterAnInteger[] = "Enter an integer.";

class DataExchangeTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dialog.Create(IDD_FIXTURE));
        dialog.ShowWindow(SW_SHOW);
    }

    HWND Item(int id) const { return ::GetDlgItem(dialog.m_hWnd, id); }
    void SetText(int id, const std::string& text) { ::SetWindowTextA(Item(id), text.c_str()); }
    bool Checked(int id) const { return ::SendMessageA(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    void Check(int id, bool on) { ::SendMessageA(Item(id), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0); }

    CFixtureDlg dialog;
};

struct TextCase {
    std::string firstText;
    std::string secondText;
    int stopsAt;  // the control the exchange stops at, 0 when it goes through
    long first;   // the members afterwards; both start at 1234
    long second;
};

TEST_F(DataExchangeTest, NumbersAreReadUntilOneCannotBe)
{
    const std::string blanks62(62, ' ');
    const TextCase cases[] = {
        {" -5", "+7", 0, -5, 7},
        {"\t12 ", " 0\t", 0, 12, 0},
        {"2147483647", "-2147483648", 0, 2147483647, -2147483647L - 1},
        {"99999999999", "-99999999999", 0, 2147483647, -2147483647L - 1},
        // All of the text takes part, however long.
        {blanks62 + " 5", "1" + blanks62 + " ", 0, 5, 1},
        {"5" + blanks62 + "x", "1", IDC_FIRST, 1234, 1234},
        // Nothing may follow the number.
        {"80x", "55", IDC_FIRST, 1234, 1234},
        {"\t12 34", "0", IDC_FIRST, 1234, 1234},
        {"9", "8080 x", IDC_SECOND, 9, 1234},
        {"", "55", IDC_FIRST, 1234, 1234},
        {"x1", "55", IDC_FIRST, 1234, 1234},
        {"-", "55", IDC_FIRST, 1234, 1234},
        {"- 5", "55", IDC_FIRST, 1234, 1234},
        {"9", "abc", IDC_SECOND, 9, 1234},
    };
    for (const TextCase& c : cases) {
        SCOPED_TRACE(testing::Message() << '"' << c.firstText << "\" \"" << c.secondText << '"');
        dialog.first = 1234;
        dialog.second = 1234;
        dialog.radio = 1;
        SetText(IDC_FIRST, c.firstText);
        SetText(IDC_SECOND, c.secondText);
        Check(IDC_RADIO_A, true);
        Check(IDC_RADIO_B, false);
        ::SetFocus(Item(IDC_THIRD));

        std::vector<SeenBox> boxes;
        BOOL exchanged;
        {
            MessageBoxWatcher watcher;
            exchanged = dialog.UpdateData(TRUE);
            boxes = watcher.Boxes();
        }

        EXPECT_EQ(exchanged, c.stopsAt == 0);
        EXPECT_EQ(dialog.first, c.first);
        EXPECT_EQ(dialog.second, c.second);
        if (c.stopsAt == 0) {
            EXPECT_TRUE(boxes.empty());
            EXPECT_EQ(dialog.radio, 0);
            continue;
        }
        // The radio group comes after the stop: its member keeps its value.
        EXPECT_EQ(dialog.radio, 1);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, kEnterAnInteger);
        EXPECT_EQ(boxes[0].caption, kTestProgramTitle);
        EXPECT_EQ(boxes[0].buttons, std::vector<int>{IDOK});
        EXPECT_EQ(::GetFocus(), Item(c.stopsAt));
        DWORD start = 1;
        DWORD end = 0;
        ::SendMessageA(Item(c.stopsAt), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        EXPECT_EQ(start, 0u);
        EXPECT_EQ(end, static_cast<DWORD>(::GetWindowTextLengthA(Item(c.stopsAt))));
    }
}

TEST_F(DataExchangeTest, NumbersAreWrittenAsDecimalText)
{
    dialog.first = -5;
    dialog.second = -2147483647L - 1;
    ASSERT_TRUE(dialog.UpdateData(FALSE));
    EXPECT_EQ(ControlText(dialog.m_hWnd, IDC_FIRST), "-5");
    EXPECT_EQ(ControlText(dialog.m_hWnd, IDC_SECOND), "-2147483648");
}

const int kGroup[] = {IDC_RADIO_A, IDC_RADIO_B, IDC_INSIDE_CHECK, IDC_RADIO_C, IDC_RADIO_NEXT_GROUP};

struct RadioWriteCase {
    int value;
    int checked;  // the one radio button of the group checked afterwards, 0 for none
};

TEST_F(DataExchangeTest, RadioIndexChecksItsButtonOnly)
{
    const RadioWriteCase cases[] = {
        {0, IDC_RADIO_A}, {1, IDC_RADIO_B}, {2, IDC_RADIO_C}, {-1, 0}, {3, 0},
    };
    for (const RadioWriteCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "index " << c.value);
        for (const int id : kGroup)
            Check(id, true);
        dialog.radio = c.value;
        ASSERT_TRUE(dialog.UpdateData(FALSE));
        EXPECT_EQ(Checked(IDC_RADIO_A), c.checked == IDC_RADIO_A);
        EXPECT_EQ(Checked(IDC_RADIO_B), c.checked == IDC_RADIO_B);
        EXPECT_EQ(Checked(IDC_RADIO_C), c.checked == IDC_RADIO_C);
        // Not radio buttons of the group: left as they were.
        EXPECT_TRUE(Checked(IDC_INSIDE_CHECK));
        EXPECT_TRUE(Checked(IDC_RADIO_NEXT_GROUP));
    }
}

struct RadioReadCase {
    std::vector<int> checked;
    int value;
};

TEST_F(DataExchangeTest, RadioIndexCountsOnlyTheGroupsRadioButtons)
{
    const RadioReadCase cases[] = {
        {{}, -1},
        {{IDC_RADIO_A}, 0},
        {{IDC_RADIO_B}, 1},
        {{IDC_RADIO_C}, 2},
        {{IDC_INSIDE_CHECK, IDC_RADIO_C}, 2},
        {{IDC_INSIDE_CHECK}, -1},
        {{IDC_RADIO_NEXT_GROUP}, -1},
        {{IDC_RADIO_B, IDC_RADIO_NEXT_GROUP}, 1},
    };
    for (const RadioReadCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "case with " << c.checked.size() << " checked, index " << c.value);
        for (const int id : kGroup)
            Check(id, false);
        for (const int id : c.checked)
            Check(id, true);
        SetText(IDC_FIRST, "1");
        SetText(IDC_SECOND, "2");
        dialog.radio = 99;
        ASSERT_TRUE(dialog.UpdateData(TRUE));
        EXPECT_EQ(dialog.radio, c.value);
    }
}

TEST_F(DataExchangeTest, ControlsAreBoundOnceAndStayBound)
{
    EXPECT_EQ(dialog.list.m_hWnd, Item(IDC_LIST));
    EXPECT_EQ(dialog.combo.m_hWnd, Item(IDC_COMBO));
    // The combo filled by the initialisation data is reached through its member.
    EXPECT_EQ(dialog.combo.GetCount(), 1);

    SetText(IDC_FIRST, "1");
    SetText(IDC_SECOND, "2");
    ASSERT_TRUE(dialog.UpdateData(TRUE));
    ASSERT_TRUE(dialog.UpdateData(FALSE));
    EXPECT_EQ(dialog.list.m_hWnd, Item(IDC_LIST));

    // A member bound already is not bound again.
    CFixtureDlg other;
    other.combo.Attach(Item(IDC_COMBO));
    ASSERT_TRUE(other.Create(IDD_FIXTURE));
    EXPECT_EQ(other.combo.m_hWnd, Item(IDC_COMBO));
    EXPECT_EQ(other.list.m_hWnd, ::GetDlgItem(other.m_hWnd, IDC_LIST));
}

struct BoxCase {
    const char* name;
    UINT type;
    LPCSTR icon;  // IDI_... the box shows, null for none
    std::vector<int> buttons;
    int press;
};

TEST(MessageBoxTest, CaptionIsTheProgramsNameAndDefaultIconsFollowTheButtons)
{
    const BoxCase cases[] = {
        {"OK", MB_OK, IDI_EXCLAMATION, {IDOK}, IDOK},
        {"OK/Cancel", MB_OKCANCEL, IDI_EXCLAMATION, {IDOK, IDCANCEL}, IDCANCEL},
        {"Yes/No", MB_YESNO, IDI_QUESTION, {IDYES, IDNO}, IDNO},
        {"Yes/No/Cancel", MB_YESNOCANCEL, IDI_QUESTION, {IDCANCEL, IDYES, IDNO}, IDYES},
        {"OK with its own icon", MB_OK | MB_ICONHAND, IDI_HAND, {IDOK}, IDOK},
        {"Yes/No with its own icon", MB_YESNO | MB_ICONASTERISK, IDI_ASTERISK, {IDYES, IDNO}, IDYES},
        {"OK/Cancel with the question icon", MB_OKCANCEL | MB_ICONQUESTION, IDI_QUESTION, {IDOK, IDCANCEL}, IDOK},
        {"Retry/Cancel", MB_RETRYCANCEL, nullptr, {IDCANCEL, IDRETRY}, IDRETRY},
        {"Abort/Retry/Ignore", MB_ABORTRETRYIGNORE, nullptr, {IDABORT, IDRETRY, IDIGNORE}, IDIGNORE},
    };
    for (const BoxCase& c : cases) {
        SCOPED_TRACE(c.name);
        int answer;
        std::vector<SeenBox> boxes;
        {
            MessageBoxWatcher watcher(c.press);
            answer = AfxMessageBox(c.name, c.type);
            boxes = watcher.Boxes();
        }
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].caption, kTestProgramTitle);
        EXPECT_EQ(boxes[0].text, c.name);
        EXPECT_EQ(boxes[0].icon, c.icon ? ::LoadIconA(nullptr, c.icon) : nullptr);
        EXPECT_EQ(boxes[0].buttons, c.buttons);
        EXPECT_EQ(boxes[0].owner, nullptr);
        EXPECT_EQ(answer, c.press);
    }
}

TEST(MessageBoxTest, TextFromTheStringTableAndModalToTheMainWindow)
{
    CFixtureDlg main;
    ASSERT_TRUE(main.Create(IDD_FIXTURE));
    main.ShowWindow(SW_SHOW);
    MainWindowScope scope(&main);
    std::vector<SeenBox> boxes;
    {
        MessageBoxWatcher watcher;
        EXPECT_EQ(AfxMessageBox(AFX_IDP_PARSE_INT), IDOK);
        boxes = watcher.Boxes();
    }
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, kEnterAnInteger);
    EXPECT_EQ(boxes[0].caption, kTestProgramTitle);
    EXPECT_EQ(boxes[0].owner, main.m_hWnd);
    EXPECT_TRUE(::IsWindowEnabled(main.m_hWnd));
}

}  // namespace
