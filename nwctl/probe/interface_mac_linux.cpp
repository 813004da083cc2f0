#include "probe/interface_mac.h"

#include <unistd.h>
#include <net/if.h>
#include <sys/ioctl.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstring>

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
