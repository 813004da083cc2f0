#include "controls.h"

#include <vector>

int CListCtrl::InsertColumn(int index, const char* heading, int format, int width, int subItem)
{
    LVCOLUMNA column = {};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = format;
    column.cx = width;
    column.pszText = const_cast<char*>(heading);
    column.iSubItem = subItem;
    return static_cast<int>(SendMessage(LVM_INSERTCOLUMNA, index, reinterpret_cast<LPARAM>(&column)));
}

int CListCtrl::InsertItem(int index, const char* text)
{
    LVITEMA item = {};
    item.mask = LVIF_TEXT;
    item.iItem = index;
    item.pszText = const_cast<char*>(text);
    return static_cast<int>(SendMessage(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

BOOL CListCtrl::SetItemText(int item, int subItem, const char* text)
{
    LVITEMA cell = {};
    cell.iSubItem = subItem;
    cell.pszText = const_cast<char*>(text);
    return static_cast<BOOL>(SendMessage(LVM_SETITEMTEXTA, item, reinterpret_cast<LPARAM>(&cell)));
}

std::string CListCtrl::GetItemText(int item, int subItem) const
{
    // The list reports how much it copied; a full buffer may mean more.
    std::vector<char> text(256);
    for (;;) {
        LVITEMA cell = {};
        cell.iSubItem = subItem;
        cell.pszText = text.data();
        cell.cchTextMax = static_cast<int>(text.size());
        const auto copied =
            static_cast<std::size_t>(SendMessage(LVM_GETITEMTEXTA, item, reinterpret_cast<LPARAM>(&cell)));
        if (copied + 1 < text.size())
            return std::string(text.data(), copied);
        text.resize(text.size() * 2);
    }
}

DWORD_PTR CListCtrl::GetItemData(int item) const
{
    LVITEMA entry = {};
    entry.mask = LVIF_PARAM;
    entry.iItem = item;
    if (!SendMessage(LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&entry)))
        return 0;
    return static_cast<DWORD_PTR>(entry.lParam);
}

BOOL CListCtrl::SetItemData(int item, DWORD_PTR data)
{
    LVITEMA entry = {};
    entry.mask = LVIF_PARAM;
    entry.iItem = item;
    entry.lParam = static_cast<LPARAM>(data);
    return static_cast<BOOL>(SendMessage(LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&entry)));
}

BOOL CListCtrl::GetCheck(int item) const
{
    // State image 2 is the ticked box, 1 the empty one.
    const auto state = static_cast<UINT>(SendMessage(LVM_GETITEMSTATE, item, LVIS_STATEIMAGEMASK));
    return (state >> 12) == 2;
}

BOOL CListCtrl::SetCheck(int item, BOOL check)
{
    LVITEMA entry = {};
    entry.stateMask = LVIS_STATEIMAGEMASK;
    entry.state = INDEXTOSTATEIMAGEMASK(check ? 2 : 1);
    return static_cast<BOOL>(SendMessage(LVM_SETITEMSTATE, item, reinterpret_cast<LPARAM>(&entry)));
}
