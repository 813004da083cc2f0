// The controls the program uses, each a CWnd with the messages it is sent.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "wnd.h"

class CEdit : public CWnd {};

class CComboBox : public CWnd {
public:
    int AddString(const char* text)
    {
        return static_cast<int>(SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
    }
    int GetCount() const { return static_cast<int>(SendMessage(CB_GETCOUNT)); }
    int GetCurSel() const { return static_cast<int>(SendMessage(CB_GETCURSEL)); }
    int SetCurSel(int index) { return static_cast<int>(SendMessage(CB_SETCURSEL, index)); }
    DWORD_PTR GetItemData(int index) const { return static_cast<DWORD_PTR>(SendMessage(CB_GETITEMDATA, index)); }
    int SetItemData(int index, DWORD_PTR data) { return static_cast<int>(SendMessage(CB_SETITEMDATA, index, data)); }
};

class CListCtrl : public CWnd {
public:
    DWORD SetExtendedStyle(DWORD style)
    {
        return static_cast<DWORD>(SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, style));
    }
    int InsertColumn(int index, const char* heading, int format, int width, int subItem);
    int GetItemCount() const { return static_cast<int>(SendMessage(LVM_GETITEMCOUNT)); }
    int InsertItem(int index, const char* text);
    BOOL SetItemText(int item, int subItem, const char* text);
    std::string GetItemText(int item, int subItem) const;
    DWORD_PTR GetItemData(int item) const;
    BOOL SetItemData(int item, DWORD_PTR data);
    BOOL GetCheck(int item) const;
    BOOL SetCheck(int item, BOOL check = TRUE);
    BOOL SortItems(PFNLVCOMPARE compare, DWORD_PTR data)
    {
        return static_cast<BOOL>(SendMessage(LVM_SORTITEMS, data, reinterpret_cast<LPARAM>(compare)));
    }
    BOOL DeleteAllItems() { return static_cast<BOOL>(SendMessage(LVM_DELETEALLITEMS)); }
    void SetRedraw(BOOL redraw) { SendMessage(WM_SETREDRAW, redraw); }
};
