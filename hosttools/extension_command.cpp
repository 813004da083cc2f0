#include "extension_command.h"

#include "text_field.h"

namespace {

void AppendSwitch(std::string& line, std::string_view name, std::string_view value)
{
    line.append(" -").append(name).append(" ").append(value);
}

std::string_view AsReadFromBox(std::string_view boxText)
{
    return boxText.substr(0, TEXT_FIELD_MAX_TEXT);
}

}  // namespace

std::string ExtensionDeviceItem(std::string_view listedAddress, const DISCOVERY_DATA& record)
{
    std::string item(listedAddress);
    item.append("&").append(std::to_string(record.webPort)).append("&");
    item.append(ReadTextField(record.firmwareVersion));
    return item;
}

std::string ExtensionToolCommandLine(std::string_view userId, std::string_view password,
                                     const std::vector<std::string>& deviceItems)
{
    std::string line = EXTENSION_TOOL_PATH;
    if (!AsReadFromBox(userId).empty())
        AppendSwitch(line, "u", AsReadFromBox(userId));
    if (!AsReadFromBox(password).empty())
        AppendSwitch(line, "p", AsReadFromBox(password));
    for (const std::string& item : deviceItems)
        AppendSwitch(line, "i", item);
    return line;
}
