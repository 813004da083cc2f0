// Prints the device record's layout as the compiler lays it out, one field a
// line ("NAME OFFSET WIDTH KIND"), then "size SIZE", for record_layout_test.py
// to hold against the scripts' description of the record. A renamed member
// stops this from compiling, a moved or resized one prints its new place, and
// one added without a line here leaves bytes that the printed fields miss.
#include <cstddef>
#include <cstdio>
#include <type_traits>

#include "discovery_data.h"

namespace {

// The scripts' kinds: "n" number, "t" text (char array), "b" bytes.
template <typename Member>
constexpr const char* KindOf()
{
    if constexpr (std::is_array_v<Member>) {
        return std::is_same_v<std::remove_extent_t<Member>, char> ? "t" : "b";
    } else {
        static_assert(std::is_integral_v<Member>, "a record member is a number or an array");
        return "n";
    }
}

void Print(const char* name, std::size_t offset, std::size_t width, const char* kind)
{
    std::printf("%s %zu %zu %s\n", name, offset, width, kind);
}

}  // namespace

#define NW_PRINT_FIELD(member)                                                       \
    Print(#member, offsetof(DISCOVERY_DATA, member), sizeof(DISCOVERY_DATA::member), \
          KindOf<decltype(DISCOVERY_DATA::member)>())

int main()
{
    NW_PRINT_FIELD(command);
    NW_PRINT_FIELD(result);
    NW_PRINT_FIELD(userId);
    NW_PRINT_FIELD(passwordDigest);
    NW_PRINT_FIELD(macAddress);
    NW_PRINT_FIELD(productName);
    NW_PRINT_FIELD(manufacturer);
    NW_PRINT_FIELD(deviceName);
    NW_PRINT_FIELD(firmwareVersion);
    NW_PRINT_FIELD(dhcp);
    NW_PRINT_FIELD(ipAddress);
    NW_PRINT_FIELD(subnetMask);
    NW_PRINT_FIELD(gateway);
    NW_PRINT_FIELD(dns);
    NW_PRINT_FIELD(webPort);
    NW_PRINT_FIELD(controlPort);
    NW_PRINT_FIELD(videoPort);
    NW_PRINT_FIELD(audioReceivePort);
    NW_PRINT_FIELD(audioTransmitPort);
    NW_PRINT_FIELD(httpsEnabled);
    std::printf("size %zu\n", sizeof(DISCOVERY_DATA));
    return 0;
}
