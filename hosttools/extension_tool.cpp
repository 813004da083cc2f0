// The firmware tool, started for the ticked devices.
#include "seekwell_dlg.h"

void CSeekwellDlg::OnClickRun() {}
