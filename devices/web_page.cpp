// A double click opens the chosen device's web page in the program that
// opens ".htm" files.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>

#include "device_rows.h"
#include "message_box.h"
#include "seekwell_dlg.h"
#include "web_address.h"

namespace {

// The program associated with ".htm" files, found through an empty scratch
// page made for the question alone: in a folder of its own under the
// temporary folder, so that no file of the operator's is ever replaced or
// deleted.
std::string FindDefaultBrowser()
{
    char browser[MAX_PATH] = {};
    char temp[MAX_PATH];
    const DWORD length = ::GetTempPathA(sizeof temp, temp);
    if (length == 0 || length >= sizeof temp)
        return {};
    char folder[MAX_PATH];
    // The folder is new, or this call leaves it alone.
    const int written =
        std::snprintf(folder, sizeof folder, "%sNodewright-%lu-%lu", temp, ::GetCurrentProcessId(), ::GetTickCount());
    if (written <= 0 || written >= static_cast<int>(sizeof folder) || !::CreateDirectoryA(folder, nullptr))
        return {};
    const std::string page = std::string(folder) + "\\dummy.htm";
    const HANDLE file =
        ::CreateFileA(page.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        ::CloseHandle(file);
        // Nothing found: no program is named, whatever the buffer holds.
        if (reinterpret_cast<INT_PTR>(::FindExecutableA(page.c_str(), nullptr, browser)) <= 32)
            browser[0] = '\0';
        ::DeleteFileA(page.c_str());
    }
    ::RemoveDirectoryA(folder);
    return browser;
}

}  // namespace

void CSeekwellDlg::OnDblClickList(NMITEMACTIVATE* item, LRESULT* result)
{
    *result = 0;
    DISCOVERY_DATA record;
    // Without a chosen device there is no page to open.
    if (selectedRow < 0 || !deviceTable.GetAt(static_cast<std::uint32_t>(selectedRow), &record))
        return;
    if (item->iSubItem == COLUMN_CHECK_BOX)
        return;
    // The device's text goes on the browser's command line: only a plain
    // address may.
    const std::optional<std::string> address = DeviceWebAddress(record, panelHttpsEnabled, panelWebPort);
    if (!address) {
        AfxMessageBox("The web page was not opened: the device's IP address is not a valid IPv4 address.", MB_OK);
        return;
    }
    const std::string browser = FindDefaultBrowser();
    if (browser.empty()) {
        AfxMessageBox("The web page was not opened: no program to open \".htm\" files was found.", MB_OK);
        return;
    }
    ::ShellExecuteA(nullptr, "open", browser.c_str(), address->c_str(), nullptr, SW_SHOWNORMAL);
}
