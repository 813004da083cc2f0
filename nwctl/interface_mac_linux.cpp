#include "interface_mac.h"

#include <unistd.h>
#include <net/if.h>
#include <sys/ioctl.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstring>

#include "adapters.h"

bool InterfaceMac(unsigned index, MacAddress& mac, std::string& error)
{
    char name[IF_NAMESIZE] = {};
    if (!if_indextoname(index, name)) {
        error = "cannot name interface " + std::to_string(index) + ": " + std::strerror(errno);
        return false;
    }
    const int socket = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (socket < 0) {
        error = std::string("cannot open a socket: ") + std::strerror(errno);
        return false;
    }
    ifreq request{};
    std::memcpy(request.ifr_name, name, sizeof request.ifr_name);
    const bool read = ioctl(socket, SIOCGIFHWADDR, &request) == 0;
    if (!read)
        error = std::string("cannot read the MAC of ") + name + ": " + std::strerror(errno);
    close(socket);
    if (read)
        std::memcpy(mac.data(), request.ifr_hwaddr.sa_data, mac.size());
    return read;
}

std::map<std::uint32_t, MacAddress> OwnAddressMacs()
{
    std::map<std::uint32_t, MacAddress> own;
    std::vector<Adapter> adapters;
    std::string error;
    if (!ListAdapters(adapters, error))
        return own;
    for (const Adapter& adapter : adapters) {
        MacAddress mac;
        if (!adapter.loopback && adapter.index != 0 && InterfaceMac(adapter.index, mac, error))
            own.emplace(adapter.address, mac);
    }
    return own;
}
