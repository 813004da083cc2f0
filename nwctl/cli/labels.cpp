#include "cli/labels.h"

#include <cstdio>

#include "io/safe_text.h"
#include "text_field.h"

std::string DeviceLabel(const FoundDevice& device)
{
    // "at " and nothing reads as a slip of the program; say it.
    const std::string address = ReadTextField(device.record.ipAddress);
    return SafeText(ReadTextField(device.record.macAddress)) + " at " +
           (address.empty() ? std::string("no address") : SafeText(address)) + " (" +
           SafeText(ReadTextField(device.record.productName)) + ")";
}

std::string SecondsText(double seconds)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", seconds);
    return text;
}
