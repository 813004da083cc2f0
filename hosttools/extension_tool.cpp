// The firmware tool, started for the ticked devices.
#include <vector>

#include "extension_command.h"
#include "seekwell_dlg.h"
#include "text_field.h"

namespace {

// The list's column that shows the device's IP address.
constexpr int IP_ADDRESS_COLUMN = 3;

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
        items.push_back(ExtensionDeviceItem(deviceList.GetItemText(row, IP_ADDRESS_COLUMN), record));
    }

    // The tool is on its own once started: whether it could start is not
    // shown, as nothing would follow from it here.
    ::WinExec(ExtensionToolCommandLine(userId, password, items).c_str(), SW_SHOW);
}
