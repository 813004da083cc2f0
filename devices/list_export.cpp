// The list, as shown, written to "SearchIPList.txt" in the current folder.
#include "device_rows.h"
#include "export_line.h"
#include "message_box.h"
#include "resource.h"
#include "seekwell_dlg.h"

namespace {

constexpr char kExportFile[] = "SearchIPList.txt";

}  // namespace

void CSeekwellDlg::OnClickSaveList()
{
    const HANDLE file =
        ::CreateFileA(kExportFile, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        AfxMessageBox("Failed. \"SearchIPList.txt\" could not be written.", MB_OK);
        return;
    }
    bool written = true;
    const int rows = deviceList.GetItemCount();
    for (int i = 0; i < rows && written; ++i) {
        const std::string line =
            ExportLine(deviceList.GetItemText(i, COLUMN_PRODUCT_NAME), deviceList.GetItemText(i, COLUMN_MAC_ADDRESS),
                       deviceList.GetItemText(i, COLUMN_IP_ADDRESS));
        DWORD done = 0;
        written =
            ::WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &done, nullptr) && done == line.size();
    }
    if (!::CloseHandle(file) || !written)
        AfxMessageBox("Failed. \"SearchIPList.txt\" could not be written.", MB_OK);
}
