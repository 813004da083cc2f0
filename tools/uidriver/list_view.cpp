#include "list_view.h"

#include <algorithm>

#include "controls.h"
#include "errors.h"
#include "messages.h"

namespace {

// The block holds one structure at its start and a text buffer after it.
constexpr size_t kStructSize = 256;
constexpr size_t kTextSize = 4096;

static_assert(sizeof(LVITEMA) <= kStructSize && sizeof(LVCOLUMNA) <= kStructSize &&
              sizeof(LVHITTESTINFO) <= kStructSize && sizeof(HDHITTESTINFO) <= kStructSize);

constexpr UINT kCheckImage = 2;  // state image 1 is the empty box, 2 the ticked one

}  // namespace

ListView::ListView(HWND list) : list_(list), memory_(list, kStructSize + kTextSize)
{
    if (ClassOf(list) != WC_LISTVIEWA) {
        throw DriverError(ControlName(list) + " is a " + ClassOf(list) + ", not a list view");
    }
}

HWND ListView::Header() const
{
    return reinterpret_cast<HWND>(Send(list_, LVM_GETHEADER));
}

int ListView::RowCount() const
{
    return static_cast<int>(Send(list_, LVM_GETITEMCOUNT));
}

int ListView::ColumnCount() const
{
    HWND header = Header();
    return header == nullptr ? 0 : static_cast<int>(Send(header, HDM_GETITEMCOUNT));
}

std::vector<std::string> ListView::ColumnTitles() const
{
    std::vector<std::string> titles;
    int count = ColumnCount();
    for (int column = 0; column < count; ++column) {
        LVCOLUMNA request = {};
        request.mask = LVCF_TEXT;
        request.pszText = reinterpret_cast<char*>(memory_.At(kStructSize));
        request.cchTextMax = static_cast<int>(kTextSize);
        memory_.Write(0, &request, sizeof request);
        memory_.Write(kStructSize, "", 1);
        if (!Send(list_, LVM_GETCOLUMNA, column, memory_.At(0))) {
            throw DriverError("the title of column " + std::to_string(column) + " of " + ControlName(list_) +
                              " cannot be read");
        }
        char text[kTextSize];
        memory_.Read(kStructSize, text, sizeof text);
        text[kTextSize - 1] = '\0';
        titles.emplace_back(text);
    }
    return titles;
}

std::string ListView::CellText(int row, int column) const
{
    LVITEMA request = {};
    request.iSubItem = column;
    request.pszText = reinterpret_cast<char*>(memory_.At(kStructSize));
    request.cchTextMax = static_cast<int>(kTextSize);
    memory_.Write(0, &request, sizeof request);
    auto length = static_cast<size_t>(Send(list_, LVM_GETITEMTEXTA, row, memory_.At(0)));
    std::string text(std::min(length, kTextSize - 1), '\0');
    memory_.Read(kStructSize, text.data(), text.size());
    return text;
}

std::optional<bool> ListView::Checked(int row) const
{
    UINT image =
        (static_cast<UINT>(Send(list_, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK)) & LVIS_STATEIMAGEMASK) >> 12;
    if (image == 0) {
        return std::nullopt;
    }
    return image == kCheckImage;
}

Json ListView::Row(int row, int columns) const
{
    Json cells = Json::Array();
    for (int column = 0; column < columns; ++column) {
        cells.Push(CellText(row, column));
    }
    LVITEMA request = {};
    request.mask = LVIF_PARAM;
    request.iItem = row;
    memory_.Write(0, &request, sizeof request);
    Send(list_, LVM_GETITEMA, 0, memory_.At(0));
    memory_.Read(0, &request, sizeof request);
    auto state = static_cast<UINT>(Send(list_, LVM_GETITEMSTATE, row, LVIS_SELECTED | LVIS_FOCUSED));
    std::optional<bool> checked = Checked(row);
    return Json::Object()
        .Set("index", row)
        .Set("cells", cells)
        .Set("checked", checked ? Json(*checked) : Json())
        .Set("selected", (state & LVIS_SELECTED) != 0)
        .Set("focused", (state & LVIS_FOCUSED) != 0)
        .Set("data", static_cast<long long>(request.lParam));
}

void ListView::RequireRow(int row) const
{
    int count = RowCount();
    if (row < 0 || row >= count) {
        throw DriverError(
            ControlName(list_) + " has no row " + std::to_string(row) + "; it has " + std::to_string(count) + " rows",
            Json::Object().Set("rows", count));
    }
}

RECT ListView::ItemRect(int row, int code) const
{
    RECT rect = {code, 0, 0, 0};
    memory_.Write(0, &rect, sizeof rect);
    if (!Send(list_, LVM_GETITEMRECT, row, memory_.At(0))) {
        throw DriverError("row " + std::to_string(row) + " of " + ControlName(list_) + " has no rectangle");
    }
    memory_.Read(0, &rect, sizeof rect);
    return rect;
}

RECT ListView::SubItemRect(int row, int column) const
{
    RECT rect = {LVIR_BOUNDS, column, 0, 0};
    memory_.Write(0, &rect, sizeof rect);
    if (!Send(list_, LVM_GETSUBITEMRECT, row, memory_.At(0))) {
        throw DriverError("cell (" + std::to_string(row) + ", " + std::to_string(column) + ") of " +
                          ControlName(list_) + " has no rectangle");
    }
    memory_.Read(0, &rect, sizeof rect);
    return rect;
}

RECT ListView::HeaderItemRect(int column) const
{
    HWND header = Header();
    if (header == nullptr || column < 0 || column >= ColumnCount()) {
        throw DriverError(ControlName(list_) + " has no column " + std::to_string(column) + "; it has " +
                          std::to_string(ColumnCount()));
    }
    RECT rect = {};
    memory_.Write(0, &rect, sizeof rect);
    if (!Send(header, HDM_GETITEMRECT, column, memory_.At(0))) {
        throw DriverError("the header of column " + std::to_string(column) + " has no rectangle");
    }
    memory_.Read(0, &rect, sizeof rect);
    return rect;
}

LVHITTESTINFO ListView::HitTest(POINT point) const
{
    LVHITTESTINFO info = {};
    info.pt = point;
    memory_.Write(0, &info, sizeof info);
    Send(list_, LVM_SUBITEMHITTEST, 0, memory_.At(0));
    memory_.Read(0, &info, sizeof info);
    return info;
}

POINT ListView::FindPoint(int row, int column, LONG left, LONG right, LONG y, bool onCheckBox) const
{
    RECT client = {};
    GetClientRect(list_, &client);
    left = std::max(left, client.left);
    right = std::min(right, client.right);
    if (y < client.top || y >= client.bottom || left >= right) {
        throw DriverError("cell (" + std::to_string(row) + ", " + std::to_string(column) + ") of " +
                          ControlName(list_) + " is not in view");
    }
    // Middle first, then outward.
    std::vector<LONG> candidates;
    LONG middle = (left + right) / 2;
    for (LONG offset = 0; middle - offset >= left || middle + offset < right; ++offset) {
        if (middle - offset >= left) {
            candidates.push_back(middle - offset);
        }
        if (offset > 0 && middle + offset < right) {
            candidates.push_back(middle + offset);
        }
    }
    std::vector<LONG> hits;
    for (LONG x : candidates) {
        LVHITTESTINFO info = HitTest(POINT{x, y});
        bool onBox = (info.flags & LVHT_ONITEMSTATEICON) != 0;
        bool onItem = (info.flags & (LVHT_ONITEMICON | LVHT_ONITEMLABEL)) != 0;
        if (info.iItem != row) {
            continue;
        }
        if (!onCheckBox && onItem && !onBox && info.iSubItem == column) {
            return POINT{x, y};
        }
        if (onCheckBox && onBox) {
            hits.push_back(x);
        }
    }
    if (hits.empty()) {
        throw DriverError(std::string(onCheckBox ? "no check box" : "no point") + " of cell (" + std::to_string(row) +
                          ", " + std::to_string(column) + ") of " + ControlName(list_) + " can be hit");
    }
    // The middle of the check box, not its edge.
    std::sort(hits.begin(), hits.end());
    return POINT{hits[hits.size() / 2], y};
}

POINT ListView::CellPoint(int row, int column) const
{
    RequireRow(row);
    if (column < 0 || column >= ColumnCount()) {
        throw DriverError(ControlName(list_) + " has no column " + std::to_string(column) + "; it has " +
                          std::to_string(ColumnCount()));
    }
    Send(list_, LVM_ENSUREVISIBLE, row, FALSE);
    RECT bounds = ItemRect(row, LVIR_BOUNDS);
    LONG y = (bounds.top + bounds.bottom) / 2;
    if (column > 0) {
        RECT cell = SubItemRect(row, column);
        return FindPoint(row, column, cell.left, cell.right, y, false);
    }
    // The first column's rectangle is the whole row's; its own span is its
    // header item's.
    RECT title = HeaderItemRect(0);
    MapWindowPoints(Header(), list_, reinterpret_cast<POINT*>(&title), 2);
    return FindPoint(row, 0, title.left, title.right, y, false);
}

POINT ListView::CheckBoxPoint(int row) const
{
    RequireRow(row);
    if (!Checked(row)) {
        throw DriverError("row " + std::to_string(row) + " of " + ControlName(list_) + " has no check box");
    }
    Send(list_, LVM_ENSUREVISIBLE, row, FALSE);
    RECT bounds = ItemRect(row, LVIR_BOUNDS);
    RECT label = ItemRect(row, LVIR_LABEL);
    return FindPoint(row, 0, bounds.left, label.right, (bounds.top + bounds.bottom) / 2, true);
}

POINT ListView::EmptyPoint() const
{
    RECT client = {};
    GetClientRect(list_, &client);
    LONG top = client.top;
    HWND header = Header();
    if (header != nullptr && IsWindowVisible(header)) {
        RECT headerRect = {};
        GetWindowRect(header, &headerRect);
        MapWindowPoints(nullptr, list_, reinterpret_cast<POINT*>(&headerRect), 2);
        top = std::max(top, headerRect.bottom);
    }
    int rows = RowCount();
    if (rows > 0) {
        Send(list_, LVM_ENSUREVISIBLE, rows - 1, FALSE);
        top = std::max(top, ItemRect(rows - 1, LVIR_BOUNDS).bottom);
    }
    LONG x = (client.left + client.right) / 2;
    for (LONG y = top + 2; y < client.bottom; y += 2) {
        if (HitTest(POINT{x, y}).iItem == -1) {
            return POINT{x, y};
        }
    }
    throw DriverError(ControlName(list_) + " shows no empty area below its last row", Json::Object().Set("rows", rows));
}

POINT ListView::HeaderPoint(int column) const
{
    RECT rect = HeaderItemRect(column);
    POINT point = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    HDHITTESTINFO info = {};
    info.pt = point;
    memory_.Write(0, &info, sizeof info);
    Send(Header(), HDM_HITTEST, 0, memory_.At(0));
    memory_.Read(0, &info, sizeof info);
    if (info.iItem != column || (info.flags & HHT_ONHEADER) == 0) {
        throw DriverError("the title of column " + std::to_string(column) + " of " + ControlName(list_) +
                          " is not in view");
    }
    return point;
}
