#include "arp_answer.h"

#include <algorithm>
#include <string>

#include "arp_layout.h"
#include "hex.h"

namespace {

// Offsets in the frame: the Ethernet header, then the ARP part.
constexpr std::size_t kDestination = 0, kSource = 6, kEtherType = 12, kArp = 14;

void PutMac(unsigned char* at, const HardwareAddress& mac)
{
    std::copy(mac.begin(), mac.end(), at);
}

}  // namespace

std::optional<ArpRequest> ReadArpRequest(const unsigned char* frame, std::size_t size)
{
    if (!frame || size < kArpFrameBytes || arp::Get16(frame + kEtherType) != arp::kEtherType ||
        !arp::IsEthernetIPv4(frame + kArp) || arp::Get16(frame + kArp + arp::kOperation) != arp::kRequest ||
        !arp::IsHostMac(frame + kArp + arp::kSenderMac))
        return std::nullopt;
    ArpRequest request{};
    std::copy(frame + kDestination, frame + kDestination + 6, request.destination.begin());
    std::copy(frame + kArp + arp::kSenderMac, frame + kArp + arp::kSenderMac + 6, request.senderMac.begin());
    request.senderAddress = arp::Get32(frame + kArp + arp::kSenderAddress);
    request.targetAddress = arp::Get32(frame + kArp + arp::kTargetAddress);
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
    arp::Put16(&frame[kEtherType], arp::kEtherType);
    unsigned char* const part = &frame[kArp];
    arp::PutEthernetIPv4(part, arp::kReply);
    PutMac(part + arp::kSenderMac, mac);
    arp::Put32(part + arp::kSenderAddress, request.targetAddress);
    PutMac(part + arp::kTargetMac, request.senderMac);
    arp::Put32(part + arp::kTargetAddress, request.senderAddress);
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
    if (!arp::IsHostMac(mac.data()))
        return std::nullopt;
    return mac;
}
