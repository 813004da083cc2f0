#include "device_file.h"

#include "device_settings.h"

namespace {

std::string_view Trim(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    const std::size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

}  // namespace

bool ParseDeviceFile(std::string_view text, std::vector<SimDevice>& devices, std::string& error)
{
    std::vector<SimDevice> parsed;
    std::size_t lineNumber = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t newline = text.find('\n', start);
        std::string_view line = text.substr(start, newline == std::string_view::npos ? text.npos : newline - start);
        start = newline == std::string_view::npos ? text.size() : newline + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        line = Trim(line);
        const std::string where = "line " + std::to_string(lineNumber) + ": ";

        if (line.empty() || line.front() == '#' || line.front() == ';')
            continue;
        if (line.front() == '[') {
            if (line != "[device]") {
                error = where + "unknown section " + std::string(line) + " (only [device])";
                return false;
            }
            parsed.push_back(MakePatternedDevice(devices.size() + parsed.size()));
            continue;
        }
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) {
            error = where + "expected key = value, [device], or a comment";
            return false;
        }
        const std::string_view key = Trim(line.substr(0, equals));
        if (key.empty()) {
            error = where + "no key before '='";
            return false;
        }
        if (parsed.empty()) {
            error = where + "key before the first [device] section";
            return false;
        }
        std::string settingError;
        if (!ApplyDeviceSetting(parsed.back(), key, Trim(line.substr(equals + 1)), settingError)) {
            error = where + settingError;
            return false;
        }
    }
    devices.insert(devices.end(), parsed.begin(), parsed.end());
    return true;
}
