#pragma once

#include "dialog.h"
#include "resource.h"

// The about box: its template says everything; OK, Escape and the close box
// end it.
class CAboutDlg : public CDialog {
public:
    CAboutDlg() : CDialog(IDD_ABOUTBOX) {}
};
