// The firmware tool, started for the ticked devices.
#include <optional>
#include <vector>

#include "ansi_lead_byte.h"
#include "device_rows.h"
#include "extension_command.h"
#include "message_box.h"
#include "seekwell_dlg.h"
#include "text_field.h"
#include "windows_host.h"

namespace {

// The tool's place beside this program's executable, wherever the program
// was started from.
std::optional<ExtensionToolPlace> ToolBesideProgram()
{
    std::vector<char> path(32768);  // the longest path Windows knows
    const DWORD length = ::GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0 || length >= path.size())
        return std::nullopt;
    return ExtensionToolBeside(std::string_view(path.data(), length), IsAnsiLeadByte);
}

}  // namespace

void CSeekwellDlg::OnClickRun()
{
    char userId[TEXT_FIELD_MAX_TEXT + 1] = {};
    char password[TEXT_FIELD_MAX_TEXT + 1] = {};
    userIdEdit.GetWindowText(userId, sizeof userId);
    passwordEdit.GetWindowText(password, sizeof password);

    std::vector<std::string> items;
    const int rows = deviceList.GetItemCount();
    for (int row = 0; row < rows; ++row) {
        if (!deviceList.GetCheck(row))
            continue;
        DISCOVERY_DATA record = {};
        // The table stands in step with the list; a row it cannot give a
        // record for is left out rather than sent with another's values.
        if (!deviceTable.GetAt(static_cast<std::uint32_t>(row), &record))
            continue;
        items.push_back(ExtensionDeviceItem(deviceList.GetItemText(row, COLUMN_IP_ADDRESS), record));
    }
    const std::string commandLine = ExtensionToolCommandLine(userId, password, items, IsAnsiLeadByte);

    // Started in the program's folder, where its command line's own name
    // for it leads; it is on its own once started.
    const auto tool = ToolBesideProgram();
    if (!tool) {
        AfxMessageBox(ExtensionToolFailureText(EXTENSION_TOOL_FILE, false).c_str(), MB_OK);
        return;
    }
    if (StartProgram(tool->application, commandLine, tool->folder.c_str(), 0))
        return;
    const DWORD error = ::GetLastError();
    const bool missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    AfxMessageBox(ExtensionToolFailureText(tool->application, missing).c_str(), MB_OK);
}
