// The list written to "SearchIPList.txt".
#include "seekwell_dlg.h"

void CSeekwellDlg::OnClickSaveList() {}
