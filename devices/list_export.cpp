// The list, as shown, written to "SearchIPList.txt" in the current folder.
#include "device_links.h"
#include "message_box.h"
#include "resource.h"
#include "seekwell_dlg.h"

namespace {

constexpr char kExportFile[] = "SearchIPList.txt";

// Product name, MAC address and IP address columns of the list.
constexpr int kProductColumn = 4;
constexpr int kMacColumn = 2;
constexpr int kIpColumn = 3;

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
            ExportLine(deviceList.GetItemText(i, kProductColumn), deviceList.GetItemText(i, kMacColumn),
                       deviceList.GetItemText(i, kIpColumn));
        DWORD done = 0;
        written =
            ::WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &done, nullptr) && done == line.size();
    }
    if (!::CloseHandle(file) || !written)
        AfxMessageBox("Failed. \"SearchIPList.txt\" could not be written.", MB_OK);
}
