// Reading and aiming at a list view of the target. The list view's
// messages carry pointers, which the system does not carry across
// processes, so their structures live in a RemoteMemory block.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <optional>
#include <string>
#include <vector>

#include "json.h"
#include "remote_memory.h"

class ListView {
public:
    // Throws DriverError when the control is not a list view.
    explicit ListView(HWND list);

    HWND Handle() const { return list_; }
    HWND Header() const;
    int RowCount() const;
    int ColumnCount() const;
    std::vector<std::string> ColumnTitles() const;
    std::string CellText(int row, int column) const;
    // nullopt when the row has no check box.
    std::optional<bool> Checked(int row) const;
    // {"index", "cells", "checked", "selected", "focused", "data"}.
    Json Row(int row, int columns) const;
    // Throws DriverError naming the row count when the row does not exist.
    void RequireRow(int row) const;

    // Points in the list's client area where a click lands on what is
    // named, checked by the list's own hit test; the row is scrolled into
    // view first, as a user would. Throw DriverError when there is none.
    POINT CellPoint(int row, int column) const;
    POINT CheckBoxPoint(int row) const;
    POINT EmptyPoint() const;
    // A point in the header's client area on the column's title.
    POINT HeaderPoint(int column) const;

private:
    RECT ItemRect(int row, int code) const;
    RECT SubItemRect(int row, int column) const;
    RECT HeaderItemRect(int column) const;
    LVHITTESTINFO HitTest(POINT point) const;
    // Points on a line across [left, right) at height y, middle first, where
    // the hit test gives the row and column and the wanted flags.
    POINT FindPoint(int row, int column, LONG left, LONG right, LONG y, bool onCheckBox) const;

    HWND list_;
    mutable RemoteMemory memory_;
};
