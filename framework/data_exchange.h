// Dialog data exchange: moves values between a dialog's controls and its
// members, in the order DoDataExchange lists them. A value that cannot be
// read stops the exchange at its control: the operator is told, the focus
// goes there, and the members after it keep what they held.
#pragma once

#include <windows.h>

class CDialog;
class CWnd;

class CDataExchange {
public:
    CDataExchange(CDialog* dialog, BOOL saveAndValidate) : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dialog) {}

    bool Failed() const { return m_failed; }
    // Stops the exchange at `control` after a message told the operator why.
    void Fail(HWND control);

    const BOOL m_bSaveAndValidate;  // true: controls to members
    CDialog* const m_pDlgWnd;

private:
    bool m_failed = false;
};

// The member becomes the object of the control; no value moves.
void DDX_Control(CDataExchange* dx, int id, CWnd& control);
// A whole number as decimal text: written with "%ld"; read from a text that
// holds that number alone, blanks around it allowed.
void DDX_Text(CDataExchange* dx, int id, long& value);
// The index of the checked button of the radio group that starts at
// `firstId`, -1 when none is checked.
void DDX_Radio(CDataExchange* dx, int firstId, int& value);
