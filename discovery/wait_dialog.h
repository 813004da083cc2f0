// CModalDlg: the "Please Wait..." box shown while a search runs. Neither
// Enter nor Escape can close it.
#pragma once

#include "dialog.h"

class CModalDlg : public CDialog {
public:
    CModalDlg() : CDialog(0) {}
    BOOL PreTranslateMessage(MSG* msg) override;
};
