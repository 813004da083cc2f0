// Whether a search reply repeats a listed device: asked of the index of
// (MAC, IP) keys kept beside the table.
#include "device_keys.h"
#include "seekwell_dlg.h"

bool CSeekwellDlg::IsDuplicate(DISCOVERY_DATA record)
{
    return deviceKeys->Contains(record);
}
