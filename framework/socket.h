// Windows Sockets for a GUI thread: a CSocket's events arrive as window
// messages on the thread that created it (through a hidden window of that
// thread), and the datagram ones as one OnReceive call per waiting datagram.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <string>

// Every notification a socket can ask for (63).
constexpr long SOCKET_ALL_EVENTS = FD_READ | FD_WRITE | FD_OOB | FD_ACCEPT | FD_CONNECT | FD_CLOSE;

// Starts Windows Sockets 1.1 for the program; false when it is not there.
BOOL AfxSocketInit(WSADATA* data = nullptr);

class CSocket {
public:
    CSocket() = default;
    virtual ~CSocket();
    CSocket(const CSocket&) = delete;
    CSocket& operator=(const CSocket&) = delete;

    // Makes an IPv4 socket of `type`, asks for the notifications in `events`
    // and binds it to `port` on `address` (dotted text), or on every local
    // address when there is none. False, and nothing open, when it cannot.
    BOOL Create(UINT port = 0, int type = SOCK_STREAM, long events = SOCKET_ALL_EVENTS, const char* address = nullptr);
    void Close();

    BOOL SetSockOpt(int option, const void* value, int length, int level = SOL_SOCKET);
    BOOL IOCtl(long command, u_long* argument) { return ::ioctlsocket(m_hSocket, command, argument) == 0; }
    int SendTo(const void* buffer, int length, UINT port, const char* address, int flags = 0);
    // The next datagram, or SOCKET_ERROR; one longer than `length` is an
    // error and is lost.
    int ReceiveFrom(void* buffer, int length, std::string& address, UINT& port, int flags = 0);

    virtual void OnReceive(int errorCode);

    SOCKET m_hSocket = INVALID_SOCKET;
};
