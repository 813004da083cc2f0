#include "probe/arp_frame.h"

#include <algorithm>

namespace {

constexpr std::uint16_t kEthernet = 1;
constexpr std::uint16_t kIPv4 = 0x0800;
constexpr std::uint16_t kRequest = 1;
constexpr std::uint16_t kReply = 2;

// Offsets of the fields in an Ethernet/IPv4 ARP frame (the target MAC at
// 18 stays zero in a probe and says nothing in an answer).
constexpr std::size_t kHardwareType = 0, kProtocolType = 2, kHardwareLength = 4, kProtocolLength = 5, kOperation = 6,
                      kSenderMac = 8, kSenderAddress = 14, kTargetAddress = 24;

void Put16(unsigned char* at, std::uint16_t value)
{
    at[0] = static_cast<unsigned char>(value >> 8);
    at[1] = static_cast<unsigned char>(value);
}

void Put32(unsigned char* at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<unsigned char>(value >> (24 - 8 * i));
}

std::uint16_t Get16(const unsigned char* at)
{
    return static_cast<std::uint16_t>(at[0] << 8 | at[1]);
}

std::uint32_t Get32(const unsigned char* at)
{
    return static_cast<std::uint32_t>(at[0]) << 24 | static_cast<std::uint32_t>(at[1]) << 16 |
           static_cast<std::uint32_t>(at[2]) << 8 | at[3];
}

}  // namespace

ArpFrame MakeArpProbe(const MacAddress& sender, std::uint32_t target)
{
    ArpFrame frame{};
    Put16(&frame[kHardwareType], kEthernet);
    Put16(&frame[kProtocolType], kIPv4);
    frame[kHardwareLength] = 6;
    frame[kProtocolLength] = 4;
    Put16(&frame[kOperation], kRequest);
    std::copy(sender.begin(), sender.end(), frame.begin() + kSenderMac);
    // Sender address and target MAC stay zero.
    Put32(&frame[kTargetAddress], target);
    return frame;
}

std::optional<ArpHolder> ArpFrameHolder(const unsigned char* bytes, std::size_t size)
{
    if (!bytes || size < kArpFrameBytes || Get16(bytes + kHardwareType) != kEthernet ||
        Get16(bytes + kProtocolType) != kIPv4 || bytes[kHardwareLength] != 6 || bytes[kProtocolLength] != 4)
        return std::nullopt;
    const std::uint16_t operation = Get16(bytes + kOperation);
    if (operation != kRequest && operation != kReply)
        return std::nullopt;
    ArpHolder holder{Get32(bytes + kSenderAddress), {}};
    std::copy(bytes + kSenderMac, bytes + kSenderMac + 6, holder.mac.begin());
    const bool zero = std::all_of(holder.mac.begin(), holder.mac.end(), [](unsigned char b) { return b == 0; });
    // The group bit: broadcast and multicast MACs, which no host answers from.
    const bool group = (holder.mac[0] & 1) != 0;
    if (holder.address == 0 || zero || group)
        return std::nullopt;
    return holder;
}
