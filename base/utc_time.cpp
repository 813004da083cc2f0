#include "utc_time.h"

#include <cstdio>

namespace {

constexpr const char* kUnknown = "unknown-time";

// False when the system cannot break `time` down or the text is empty.
bool Format(std::time_t time, const char* format, std::string& text)
{
    std::tm utc{};
#ifdef _WIN32
    const bool brokenDown = gmtime_s(&utc, &time) == 0;
#else
    const bool brokenDown = gmtime_r(&time, &utc) != nullptr;
#endif
    char buffer[64] = {};
    if (!brokenDown || std::strftime(buffer, sizeof buffer, format, &utc) == 0)
        return false;
    text = buffer;
    return true;
}

}  // namespace

std::string FormatUtc(std::time_t time, const char* format)
{
    std::string text;
    return Format(time, format, text) ? text : kUnknown;
}

std::string UtcTimestamp(std::time_t time)
{
    return FormatUtc(time, "%Y-%m-%dT%H:%M:%SZ");
}

std::string UtcTimestampMicroseconds(std::time_t seconds, long microseconds)
{
    std::string text;
    if (!Format(seconds, "%Y-%m-%dT%H:%M:%S", text))
        return kUnknown;
    char fraction[16];
    std::snprintf(fraction, sizeof fraction, ".%06ldZ", microseconds);
    return text + fraction;
}
