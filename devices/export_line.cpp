#include "export_line.h"

namespace {

// A line feed not already led by a carriage return gets one.
std::string WithCrLf(const std::string& text)
{
    std::string written;
    written.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))
            written += '\r';
        written += text[i];
    }
    return written;
}

}  // namespace

std::string ExportLine(const std::string& productName, const std::string& macAddress, const std::string& ipAddress)
{
    std::string line = "[";
    line += WithCrLf(productName);
    line += "] ";
    line += WithCrLf(macAddress);
    line += '\t';
    line += WithCrLf(ipAddress);
    line += "\r\n";
    return line;
}
