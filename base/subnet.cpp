#include "subnet.h"

#include "ipv4_text.h"

std::optional<int> MaskPrefix(std::uint32_t mask)
{
    int prefix = 0;
    while (prefix < 32 && (mask & (0x80000000u >> prefix)))
        ++prefix;
    // Every bit below the prefix must be zero.
    if (mask != PrefixMask(prefix))
        return std::nullopt;
    return prefix;
}

std::uint32_t PrefixMask(int prefix)
{
    return prefix == 0 ? 0 : ~std::uint32_t{0} << (32 - prefix);
}

bool IsHostAddress(std::uint32_t address)
{
    return address >> 24 != 0 && address >> 24 != 127 && address >> 28 < 0xE;
}

Subnet::Subnet(std::uint32_t address, int prefix) : address_(address), prefix_(prefix) {}

std::optional<Subnet> Subnet::WithMask(std::uint32_t address, std::uint32_t mask)
{
    const std::optional<int> prefix = MaskPrefix(mask);
    if (!prefix)
        return std::nullopt;
    return Subnet(address, *prefix);
}

bool Subnet::IsHost(std::uint32_t address) const
{
    return Contains(address) && address >= FirstHost() && address <= LastHost();
}

std::uint32_t Subnet::FirstHost() const
{
    return prefix_ >= 31 ? Network() : Network() + 1;
}

std::uint32_t Subnet::LastHost() const
{
    return prefix_ >= 31 ? Broadcast() : Broadcast() - 1;
}

std::string Subnet::Text() const
{
    return FormatIPv4(Network()) + "/" + std::to_string(prefix_);
}

std::optional<Subnet> DeviceSubnet(std::uint32_t address, std::uint32_t mask)
{
    const std::optional<Subnet> subnet = Subnet::WithMask(address, mask);
    if (!subnet || !subnet->ForDevices())
        return std::nullopt;
    return subnet;
}

std::string OutsideSubnetText(const Subnet& subnet)
{
    return " is outside the subnet " + subnet.Text() + " of ";
}
