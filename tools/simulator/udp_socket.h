// The UDP socket of the simulator and of the one-shot sender (POSIX).
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

struct ReceivedDatagram {
    std::vector<unsigned char> data;
    std::uint32_t peerAddress = 0;  // host byte order
    std::uint16_t peerPort = 0;
    std::string localAddress;   // the datagram's destination address
    std::string interfaceName;  // where it came in
    // When the kernel took it in (CLOCK_REALTIME), however long it then
    // waited to be read; zero when the kernel gave no time.
    timespec arrived{};
};

struct DatagramToSend {
    std::uint32_t address;  // host byte order
    std::uint16_t port;
    const unsigned char* data;
    std::size_t length;
};

class UdpSocket {
public:
    UdpSocket() = default;
    UdpSocket(const UdpSocket&) = delete;
    UdpSocket& operator=(const UdpSocket&) = delete;
    ~UdpSocket();

    // A datagram socket that may broadcast and share its port, bound to
    // `address` (dotted) and `port`; reports where it arrived on receive.
    bool Open(const std::string& address, std::uint16_t port, std::string& error);

    // Asks for buffers of these sizes, beyond the system's default cap when
    // allowed; false only when not even the capped size could be set.
    bool SetBuffers(int sendBytes, int receiveBytes, std::string& error);

    int Fd() const { return fd_; }
    std::uint16_t LocalPort() const;

    // One waiting datagram without blocking: 1 got one, 0 none waiting, -1
    // failed (error set).
    int Receive(ReceivedDatagram& datagram, std::string& error);

    // Sends each datagram, in batches; the errno of each (0: sent).
    std::vector<int> SendAll(const std::vector<DatagramToSend>& datagrams);

private:
    int fd_ = -1;
};

// Dotted text of an address in host byte order, and back.
std::string AddressText(std::uint32_t address);
bool ParseAddress(const std::string& text, std::uint32_t& address);
