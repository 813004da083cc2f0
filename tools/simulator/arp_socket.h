// The packet sockets through which the simulated devices hear ARP requests
// and answer them, one on each interface nwsim serves on (Linux).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

struct ArpInterface {
    unsigned index;
    std::string name;
};

// The interfaces on which datagrams for `bindAddress` (dotted) arrive:
// for 0.0.0.0 every interface that is up, does ARP, holds an
// IPv4 address and is not stacked on another one (a macvlan hears whatever
// its lower interface hears, and a reply from each would leave twice);
// otherwise the one that holds the address. False with `error` when they
// cannot be listed.
bool ServedInterfaces(const std::string& bindAddress, std::vector<ArpInterface>& interfaces, std::string& error);

class ArpSockets {
public:
    ArpSockets() = default;
    ArpSockets(const ArpSockets&) = delete;
    ArpSockets& operator=(const ArpSockets&) = delete;
    ~ArpSockets();

    // A socket on each interface that the kernel hands only the ARP requests
    // arriving there. False with `error` on the first that fails, and
    // `noRight` set when that was for want of the raw packet right; then
    // none stays open.
    bool Open(const std::vector<ArpInterface>& interfaces, std::string& error, bool& noRight);

    std::size_t Count() const { return sockets_.size(); }
    int Fd(std::size_t socket) const { return sockets_[socket].fd; }
    const std::string& Name(std::size_t socket) const { return sockets_[socket].name; }

    // One waiting frame from `socket`, without blocking: 1 got one, 0 none
    // waiting, -1 failed (error set).
    int Receive(std::size_t socket, std::vector<unsigned char>& frame, std::string& error);

    // Sends a whole Ethernet frame out of the socket's interface: 0, or the
    // errno of the failure.
    int Send(std::size_t socket, const unsigned char* frame, std::size_t size);

private:
    void CloseAll();

    struct Socket {
        int fd;
        std::string name;
    };
    std::vector<Socket> sockets_;
};
