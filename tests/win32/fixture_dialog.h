// The tests' own dialog on template IDD_FIXTURE: it exchanges its values the
// way the program's dialog does, counts what the framework calls on it, and
// runs a queue of test steps inside its own modal loop.
#pragma once

#include <windows.h>

#include <deque>
#include <functional>

#include "controls.h"
#include "data_exchange.h"
#include "dialog.h"
#include "framework_test_resource.h"

class CFixtureDlg : public CDialog {
public:
    using Step = std::function<void(CFixtureDlg&)>;

    explicit CFixtureDlg(UINT templateId = IDD_FIXTURE, CWnd* parent = nullptr) : CDialog(templateId, parent) {}

    // Run one at a time, each from a message posted after whatever the step
    // before it posted, and never while a message box is open (whose own
    // loop would otherwise run the next step inside it).
    std::deque<Step> steps;
    // Runs after the base initialisation; its result is OnInitDialog's.
    std::function<BOOL(CFixtureDlg&)> onInit;

    // Exchanged in this order: IDC_FIRST, IDC_SECOND, the radio group of
    // IDC_RADIO_A, IDC_LIST, IDC_COMBO.
    long first = 0;
    long second = 0;
    int radio = -1;
    CListCtrl list;
    CComboBox combo;

    int exchangesIn = 0;   // UpdateData(TRUE)
    int exchangesOut = 0;  // UpdateData(FALSE)
    int destroyCalls = 0;  // the virtual DestroyWindow

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    BOOL DestroyWindow() override;
    MessageMap GetMessageMap() const override;

    void PostStep() const;

private:
    LRESULT OnStep();
    static void CALLBACK RetryStep(HWND hwnd, UINT, UINT_PTR timer, DWORD);
};
