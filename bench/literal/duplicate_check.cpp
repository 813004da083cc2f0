// The discovery benchmark's baseline: every listed record is read by its
// position for each search reply. The baseline's link takes this definition
// in place of the program's (bench/CMakeLists.txt).
#include "device_keys.h"
#include "seekwell_dlg.h"

bool CSeekwellDlg::IsDuplicate(DISCOVERY_DATA record)
{
    const int rows = deviceList.GetItemCount();
    for (int i = 0; i < rows; ++i) {
        DISCOVERY_DATA listed;
        if (deviceTable.GetAt(static_cast<std::uint32_t>(i), &listed) && RepeatsListedDevice(listed, record))
            return true;
    }
    return false;
}
