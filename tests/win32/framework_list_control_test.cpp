// The list control of a dialog: texts of any length read back whole, item
// data, check boxes, and sorting through a comparison callback.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fixture_dialog.h"
#include "framework_test_resource.h"

namespace {

class ListControlTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dialog.Create(IDD_FIXTURE));
        ASSERT_NE(list().m_hWnd, nullptr);
        ASSERT_EQ(list().InsertColumn(0, "Name", LVCFMT_LEFT, 120, 0), 0);
        ASSERT_EQ(list().InsertColumn(1, "Value", LVCFMT_LEFT, 120, 1), 1);
    }

    CListCtrl& list() { return dialog.list; }

    void AddRows(const std::vector<std::string>& names)
    {
        for (const std::string& name : names) {
            const int row = list().GetItemCount();
            ASSERT_EQ(list().InsertItem(row, name.c_str()), row);
        }
    }

    std::vector<std::string> Names()
    {
        std::vector<std::string> names;
        for (int i = 0; i < list().GetItemCount(); ++i)
            names.push_back(list().GetItemText(i, 0));
        return names;
    }

    CFixtureDlg dialog;
};

// A text whose every position shows: a cut or a shifted copy is seen.
std::string Pattern(std::size_t length, int seed)
{
    std::string text(length, ' ');
    for (std::size_t i = 0; i < length; ++i)
        text[i] = static_cast<char>('A' + (i * 7 + static_cast<std::size_t>(seed)) % 26);
    return text;
}

TEST_F(ListControlTest, TextsOfAnyLengthAreReadWhole)
{
    const std::size_t lengths[] = {0, 1, 254, 255, 256, 257, 511, 512, 513, 1000, 5000};
    int row = 0;
    for (const std::size_t length : lengths) {
        const std::string name = Pattern(length, row);
        const std::string value = Pattern(length + 3, row + 1);
        AddRows({name});
        ASSERT_TRUE(list().SetItemText(row, 1, value.c_str()));
        ++row;
    }
    row = 0;
    for (const std::size_t length : lengths) {
        SCOPED_TRACE(testing::Message() << "length " << length);
        EXPECT_EQ(list().GetItemText(row, 0), Pattern(length, row));
        EXPECT_EQ(list().GetItemText(row, 1), Pattern(length + 3, row + 1));
        ++row;
    }
    EXPECT_EQ(list().GetItemText(row, 0), "") << "past the last row";
}

TEST_F(ListControlTest, ItemDataIsKeptPerRow)
{
    const DWORD_PTR values[] = {0, 1, 0x7FFFFFFF, 0xFFFFFFFF, reinterpret_cast<DWORD_PTR>(this)};
    for (std::size_t i = 0; i < std::size(values); ++i)
        AddRows({"row"});
    for (std::size_t i = 0; i < std::size(values); ++i)
        ASSERT_TRUE(list().SetItemData(static_cast<int>(i), values[i]));
    for (std::size_t i = 0; i < std::size(values); ++i)
        EXPECT_EQ(list().GetItemData(static_cast<int>(i)), values[i]);
    EXPECT_FALSE(list().SetItemData(99, 5));
    EXPECT_EQ(list().GetItemData(99), 0u);
}

TEST_F(ListControlTest, CheckBoxesAreSetAndReadPerRow)
{
    list().SetExtendedStyle(LVS_EX_CHECKBOXES);
    AddRows({"a", "b", "c"});
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(list().GetCheck(i)) << "row " << i;

    EXPECT_TRUE(list().SetCheck(1));
    EXPECT_FALSE(list().GetCheck(0));
    EXPECT_TRUE(list().GetCheck(1));
    EXPECT_FALSE(list().GetCheck(2));

    EXPECT_TRUE(list().SetCheck(2, TRUE));
    EXPECT_TRUE(list().SetCheck(1, FALSE));
    EXPECT_FALSE(list().GetCheck(1));
    EXPECT_TRUE(list().GetCheck(2));
}

int CALLBACK CompareByData(LPARAM first, LPARAM second, LPARAM direction)
{
    return first < second ? -static_cast<int>(direction) : first > second ? static_cast<int>(direction) : 0;
}

struct SortCase {
    LPARAM direction;
    std::vector<std::string> names;
    std::vector<DWORD_PTR> data;
};

TEST_F(ListControlTest, SortOrdersRowsByTheCallbackWithItsData)
{
    const SortCase cases[] = {
        {1, {"ten", "twenty", "thirty"}, {10, 20, 30}},
        {-1, {"thirty", "twenty", "ten"}, {30, 20, 10}},
    };
    for (const SortCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "direction " << c.direction);
        ASSERT_TRUE(list().DeleteAllItems());
        AddRows({"thirty", "ten", "twenty"});
        ASSERT_TRUE(list().SetItemData(0, 30));
        ASSERT_TRUE(list().SetItemData(1, 10));
        ASSERT_TRUE(list().SetItemData(2, 20));

        ASSERT_TRUE(list().SortItems(CompareByData, static_cast<DWORD_PTR>(c.direction)));

        EXPECT_EQ(Names(), c.names);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(list().GetItemData(i), c.data[static_cast<std::size_t>(i)]);
    }
}

}  // namespace
