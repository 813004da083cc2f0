// The device list: its columns, one row per found device, and the sort by a
// clicked column, which reorders the device table with the rows.
#include <memory>
#include <vector>

#include "ansi_lead_byte.h"
#include "device_rows.h"
#include "seekwell_dlg.h"

namespace {

// What one row carries through a sort.
struct DeviceSortItem {
    std::string key;
    DWORD_PTR savedItemData;
    DISCOVERY_DATA record;
    int position;  // the row's place before the sort: equal keys keep their order
};

}  // namespace

void CSeekwellDlg::InitDeviceColumns()
{
    deviceList.SetExtendedStyle(LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    for (int i = 0; i < columnCount && i < DEVICE_LIST_COLUMNS; ++i)
        deviceList.InsertColumn(i, kDeviceColumns[i].title, LVCFMT_LEFT, kDeviceColumns[i].width, i);
}

void CSeekwellDlg::AddDeviceRow(DISCOVERY_DATA record)
{
    const int row = deviceList.GetItemCount();
    const auto texts = DeviceRowTexts(record, row);
    const int inserted = deviceList.InsertItem(row, "");
    for (int column = COLUMN_NO; column < columnCount && column < DEVICE_LIST_COLUMNS; ++column)
        deviceList.SetItemText(inserted, column, texts[column].c_str());
}

void CSeekwellDlg::OnColumnClickList(NMLISTVIEW* column, LRESULT* result)
{
    BOOL ascending = sortAscending;
    if (column->iSubItem == 0) {
        allChecked = !allChecked;
    } else {
        sortAscending = !sortAscending;
        ascending = sortAscending;
    }
    SortDeviceList(column->iSubItem, ascending);
    *result = 0;
}

BOOL CSeekwellDlg::SortDeviceList(int column, BOOL ascending)
{
    const int rows = deviceList.GetItemCount();
    std::vector<std::unique_ptr<DeviceSortItem>> items;
    items.reserve(static_cast<std::size_t>(rows));
    for (int i = 0; i < rows; ++i) {
        auto item = std::make_unique<DeviceSortItem>();
        item->savedItemData = deviceList.GetItemData(i);
        item->position = i;
        const std::string cell = deviceList.GetItemText(i, column);
        // The table stands in step with the list; should it not, nothing is
        // reordered rather than rows and records mixed.
        if (!deviceTable.GetAt(static_cast<std::uint32_t>(i), &item->record))
            return TRUE;
        item->key = DeviceSortKey(column, cell, item->record);
        items.push_back(std::move(item));
    }
    for (int i = 0; i < rows; ++i) {
        if (column == COLUMN_CHECK_BOX)
            deviceList.SetCheck(i, allChecked != 0);
        deviceList.SetItemData(i, reinterpret_cast<DWORD_PTR>(items[static_cast<std::size_t>(i)].get()));
    }
    if (rows > 0)
        deviceList.SortItems(CompareSortKeys, static_cast<DWORD_PTR>(ascending));
    // The chosen device stays the chosen one: selectedRow follows its row,
    // as the panel and selectedMac still describe it.
    int chosenRow = selectedRow;
    for (int j = 0; j < rows; ++j) {
        const auto* item = reinterpret_cast<const DeviceSortItem*>(deviceList.GetItemData(j));
        deviceTable.SetAt(static_cast<std::uint32_t>(j), item->record);
        if (item->position == selectedRow)
            chosenRow = j;
        deviceList.SetItemData(j, item->savedItemData);
    }
    selectedRow = chosenRow;
    return TRUE;
}

int CALLBACK CSeekwellDlg::CompareSortKeys(LPARAM first, LPARAM second, LPARAM ascending)
{
    const auto* a = reinterpret_cast<const DeviceSortItem*>(first);
    const auto* b = reinterpret_cast<const DeviceSortItem*>(second);
    const int order = CompareMultibyte(a->key, b->key, IsAnsiLeadByte);
    if (order == 0)
        return a->position < b->position ? -1 : (a->position > b->position ? 1 : 0);
    return ascending ? order : -order;
}
