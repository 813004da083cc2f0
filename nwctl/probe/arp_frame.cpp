#include "probe/arp_frame.h"

#include <algorithm>

#include "arp_layout.h"

ArpFrame MakeArpProbe(const MacAddress& sender, std::uint32_t target)
{
    ArpFrame frame{};
    arp::PutEthernetIPv4(frame.data(), arp::kRequest);
    std::copy(sender.begin(), sender.end(), frame.begin() + arp::kSenderMac);
    // Sender address and target MAC stay zero.
    arp::Put32(&frame[arp::kTargetAddress], target);
    return frame;
}

std::optional<ArpHolder> ArpFrameHolder(const unsigned char* bytes, std::size_t size)
{
    if (!bytes || size < kArpFrameBytes || !arp::IsEthernetIPv4(bytes))
        return std::nullopt;
    const std::uint16_t operation = arp::Get16(bytes + arp::kOperation);
    if (operation != arp::kRequest && operation != arp::kReply)
        return std::nullopt;
    // A sender MAC no host can have, or no sender address (another host's
    // probe), says nobody holds anything.
    if (!arp::IsHostMac(bytes + arp::kSenderMac))
        return std::nullopt;
    ArpHolder holder{arp::Get32(bytes + arp::kSenderAddress), {}};
    if (holder.address == 0)
        return std::nullopt;
    std::copy(bytes + arp::kSenderMac, bytes + arp::kSenderMac + 6, holder.mac.begin());
    return holder;
}
