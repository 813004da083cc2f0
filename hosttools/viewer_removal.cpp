// Removal of the web-viewer components from the operator's computer.
#include "seekwell_dlg.h"

void CSeekwellDlg::OnClickUninstall() {}
