#include "arp_answer.h"

#include <algorithm>
#include <string>

#include "hex.h"

namespace {

constexpr std::uint16_t kEtherTypeArp = 0x0806;
constexpr std::uint16_t kEthernet = 1;
constexpr std::uint16_t kIPv4 = 0x0800;
constexpr std::uint16_t kRequest = 1;
constexpr std::uint16_t kReply = 2;

// Offsets in the frame: the Ethernet header, then the ARP part.
constexpr std::size_t kDestination = 0, kSource = 6, kEtherType = 12, kArp = 14;
constexpr std::size_t kHardwareType = kArp, kProtocolType = kArp + 2, kHardwareLength = kArp + 4,
                      kProtocolLength = kArp + 5, kOperation = kArp + 6, kSenderMac = kArp + 8,
                      kSenderAddress = kArp + 14, kTargetMac = kArp + 18, kTargetAddress = kArp + 24;

std::uint16_t Get16(const unsigned char* at)
{
    return static_cast<std::uint16_t>(at[0] << 8 | at[1]);
}

std::uint32_t Get32(const unsigned char* at)
{
    return static_cast<std::uint32_t>(at[0]) << 24 | static_cast<std::uint32_t>(at[1]) << 16 |
           static_cast<std::uint32_t>(at[2]) << 8 | at[3];
}

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

void PutMac(unsigned char* at, const HardwareAddress& mac)
{
    std::copy(mac.begin(), mac.end(), at);
}

bool IsHostMac(const HardwareAddress& mac)
{
    const bool zero = std::all_of(mac.begin(), mac.end(), [](unsigned char b) { return b == 0; });
    // The group bit marks broadcast and multicast addresses.
    return !zero && (mac[0] & 1) == 0;
}

}  // namespace

std::optional<ArpRequest> ReadArpRequest(const unsigned char* frame, std::size_t size)
{
    if (!frame || size < kArpFrameBytes || Get16(frame + kEtherType) != kEtherTypeArp ||
        Get16(frame + kHardwareType) != kEthernet || Get16(frame + kProtocolType) != kIPv4 ||
        frame[kHardwareLength] != 6 || frame[kProtocolLength] != 4 || Get16(frame + kOperation) != kRequest)
        return std::nullopt;
    ArpRequest request{};
    std::copy(frame + kDestination, frame + kDestination + 6, request.destination.begin());
    std::copy(frame + kSenderMac, frame + kSenderMac + 6, request.senderMac.begin());
    if (!IsHostMac(request.senderMac))
        return std::nullopt;
    request.senderAddress = Get32(frame + kSenderAddress);
    request.targetAddress = Get32(frame + kTargetAddress);
    return request;
}

bool HearsArpRequest(const HardwareAddress& mac, const ArpRequest& request)
{
    const bool broadcast =
        std::all_of(request.destination.begin(), request.destination.end(), [](unsigned char b) { return b == 0xFF; });
    return broadcast || request.destination == mac;
}

ArpReplyFrame MakeArpReply(const HardwareAddress& mac, const ArpRequest& request)
{
    ArpReplyFrame frame{};
    PutMac(&frame[kDestination], request.senderMac);
    PutMac(&frame[kSource], mac);
    Put16(&frame[kEtherType], kEtherTypeArp);
    Put16(&frame[kHardwareType], kEthernet);
    Put16(&frame[kProtocolType], kIPv4);
    frame[kHardwareLength] = 6;
    frame[kProtocolLength] = 4;
    Put16(&frame[kOperation], kReply);
    PutMac(&frame[kSenderMac], mac);
    Put32(&frame[kSenderAddress], request.targetAddress);
    PutMac(&frame[kTargetMac], request.senderMac);
    Put32(&frame[kTargetAddress], request.senderAddress);
    return frame;
}

std::optional<HardwareAddress> HardwareAddressOf(std::string_view macText)
{
    if (macText.size() != 17 || (macText[2] != ':' && macText[2] != '-'))
        return std::nullopt;
    std::string digits;
    for (std::size_t at = 0; at < macText.size(); ++at) {
        if (at % 3 == 2) {
            if (macText[at] != macText[2])
                return std::nullopt;
        } else {
            digits += macText[at];
        }
    }
    std::string bytes;
    if (!ParseHex(digits, bytes))
        return std::nullopt;
    HardwareAddress mac{};
    std::copy(bytes.begin(), bytes.end(), mac.begin());
    if (!IsHostMac(mac))
        return std::nullopt;
    return mac;
}
