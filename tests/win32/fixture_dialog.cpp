#include "fixture_dialog.h"

#include "framework_test_support.h"

namespace {
constexpr UINT kStepMessage = WM_APP + 100;
constexpr UINT_PTR kRetryTimer = 1;
constexpr UINT kRetryMilliseconds = 10;
}  // namespace

BOOL CFixtureDlg::OnInitDialog()
{
    BOOL result = CDialog::OnInitDialog();
    if (!steps.empty())
        PostStep();
    if (onInit)
        result = onInit(*this);
    return result;
}

void CFixtureDlg::DoDataExchange(CDataExchange* dx)
{
    ++(dx->m_bSaveAndValidate ? exchangesIn : exchangesOut);
    DDX_Text(dx, IDC_FIRST, first);
    DDX_Text(dx, IDC_SECOND, second);
    DDX_Radio(dx, IDC_RADIO_A, radio);
    DDX_Control(dx, IDC_LIST, list);
    DDX_Control(dx, IDC_COMBO, combo);
}

BOOL CFixtureDlg::DestroyWindow()
{
    ++destroyCalls;
    return CDialog::DestroyWindow();
}

MessageMap CFixtureDlg::GetMessageMap() const
{
    static constexpr MessageMapEntry entries[] = {
        MapMessage<&CFixtureDlg::OnStep>(kStepMessage),
    };
    return entries;
}

void CFixtureDlg::PostStep() const
{
    PostMessage(kStepMessage);
}

LRESULT CFixtureDlg::OnStep()
{
    if (steps.empty())
        return 0;
    if (MessageBoxOpen()) {
        ::SetTimer(m_hWnd, kRetryTimer, kRetryMilliseconds, &CFixtureDlg::RetryStep);
        return 0;
    }
    const Step step = std::move(steps.front());
    steps.pop_front();
    step(*this);
    // A step may have ended the dialog or destroyed its window.
    if (m_hWnd && !steps.empty())
        PostStep();
    return 0;
}

void CALLBACK CFixtureDlg::RetryStep(HWND hwnd, UINT, UINT_PTR timer, DWORD)
{
    ::KillTimer(hwnd, timer);
    ::PostMessageA(hwnd, kStepMessage, 0, 0);
}
