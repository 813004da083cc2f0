// Save, Reboot and Factory Reset.
#include "seekwell_dlg.h"

void CSeekwellDlg::OnClickSave() {}
void CSeekwellDlg::OnClickReboot() {}
void CSeekwellDlg::OnClickFactoryReset() {}
