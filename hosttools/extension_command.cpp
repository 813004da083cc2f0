#include "extension_command.h"

#include "text_field.h"

namespace {

void AppendSwitch(std::string& line, std::string_view name, std::string_view value, bool (*isLeadByte)(unsigned char))
{
    line.append(" -").append(name).append(" ").append(CommandLineArgument(value, isLeadByte));
}

std::string_view AsReadFromBox(std::string_view boxText)
{
    return boxText.substr(0, TEXT_FIELD_MAX_TEXT);
}

bool NeedsQuotes(std::string_view text, bool (*isLeadByte)(unsigned char))
{
    if (text.empty())
        return true;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (isLeadByte(static_cast<unsigned char>(c)))
            ++i;
        else if (c == ' ' || c == '\t' || c == '"')
            return true;
    }
    return false;
}

}  // namespace

std::string ExtensionDeviceItem(std::string_view listedAddress, const DISCOVERY_DATA& record)
{
    std::string item(listedAddress);
    item.append("&").append(std::to_string(record.webPort)).append("&");
    item.append(ReadTextField(record.firmwareVersion));
    return item;
}

std::string CommandLineArgument(std::string_view text, bool (*isLeadByte)(unsigned char))
{
    const bool quoted = NeedsQuotes(text, isLeadByte);
    std::string arg;
    if (quoted)
        arg += '"';
    std::size_t backslashes = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\\' && quoted) {
            ++backslashes;
            continue;
        }
        // Backslashes count double only before a quote, escaped or closing.
        arg.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
        backslashes = 0;
        if (!isLeadByte(static_cast<unsigned char>(c))) {
            arg += c;
        } else if (i + 1 < text.size()) {
            arg += c;
            arg += text[++i];
        } else {
            arg += '?';
        }
    }
    if (quoted)
        arg.append(2 * backslashes, '\\').append(1, '"');
    return arg;
}

std::string ExtensionToolCommandLine(std::string_view userId, std::string_view password,
                                     const std::vector<std::string>& deviceItems, bool (*isLeadByte)(unsigned char))
{
    std::string line = EXTENSION_TOOL_PATH;
    if (!AsReadFromBox(userId).empty())
        AppendSwitch(line, "u", AsReadFromBox(userId), isLeadByte);
    if (!AsReadFromBox(password).empty())
        AppendSwitch(line, "p", AsReadFromBox(password), isLeadByte);
    for (const std::string& item : deviceItems)
        AppendSwitch(line, "i", item, isLeadByte);
    return line;
}

std::optional<ExtensionToolPlace> ExtensionToolBeside(std::string_view modulePath, bool (*isLeadByte)(unsigned char))
{
    std::size_t folderEnd = 0;
    for (std::size_t i = 0; i < modulePath.size(); ++i) {
        const char c = modulePath[i];
        if (isLeadByte(static_cast<unsigned char>(c)))
            ++i;
        else if (c == '\\' || c == '/')
            folderEnd = i + 1;
    }
    if (folderEnd == 0)
        return std::nullopt;
    std::string folder(modulePath.substr(0, folderEnd));
    std::string application = folder + EXTENSION_TOOL_FILE;
    return ExtensionToolPlace{std::move(folder), std::move(application)};
}

std::string ExtensionToolFailureText(std::string_view application, bool missing)
{
    std::string text = missing ? "The firmware tool was not found:\n" : "The firmware tool could not be started:\n";
    return text.append(application);
}
