// A Winsock probe for the private test LAN: sends one UDP datagram the way
// the program does, so a test can see where Wine's sockets really lead.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

int Usage()
{
    std::fputs(
        "usage: probe send ADDRESS PORT TEXT          send TEXT to ADDRESS:PORT\n"
        "       probe broadcast PORT TEXT [LOCAL]     send TEXT to 255.255.255.255:PORT,\n"
        "                                             from LOCAL's address when given\n"
        "Prints one line saying what was sent; exits 1 when the socket calls fail.\n",
        stderr);
    return 2;
}

bool ParsePort(const char* text, unsigned short* port)
{
    char* end = nullptr;
    const unsigned long value = std::strtoul(text, &end, 10);
    if (*text == '\0' || *end != '\0' || value == 0 || value > 65535)
        return false;
    *port = static_cast<unsigned short>(value);
    return true;
}

int Fail(const char* what)
{
    std::fprintf(stderr, "probe: %s failed: error %d\n", what, WSAGetLastError());
    return 1;
}

int Send(const char* address, unsigned short port, const char* text, const char* local, bool broadcast)
{
    const SOCKET s = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    if (s == INVALID_SOCKET)
        return Fail("socket");
    if (broadcast) {
        const BOOL on = TRUE;
        if (setsockopt(s, SOL_SOCKET, SO_BROADCAST, reinterpret_cast<const char*>(&on), sizeof on) != 0)
            return Fail("setsockopt(SO_BROADCAST)");
    }
    if (local) {
        sockaddr_in from = {};
        from.sin_family = AF_INET;
        from.sin_addr.s_addr = inet_addr(local);
        if (bind(s, reinterpret_cast<const sockaddr*>(&from), sizeof from) != 0)
            return Fail("bind");
    }
    sockaddr_in to = {};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr.s_addr = inet_addr(address);
    const int length = static_cast<int>(std::strlen(text));
    if (sendto(s, text, length, 0, reinterpret_cast<const sockaddr*>(&to), sizeof to) != length)
        return Fail("sendto");
    closesocket(s);
    std::printf("sent %d bytes to %s:%u\n", length, address, port);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    WSADATA data;
    if (WSAStartup(MAKEWORD(1, 1), &data) != 0) {
        std::fputs("probe: WSAStartup failed\n", stderr);
        return 1;
    }
    unsigned short port = 0;
    int status;
    if (argc == 5 && std::strcmp(argv[1], "send") == 0 && ParsePort(argv[3], &port))
        status = Send(argv[2], port, argv[4], nullptr, false);
    else if ((argc == 4 || argc == 5) && std::strcmp(argv[1], "broadcast") == 0 && ParsePort(argv[2], &port))
        status = Send("255.255.255.255", port, argv[3], argc == 5 ? argv[4] : nullptr, true);
    else
        status = Usage();
    WSACleanup();
    return status;
}
