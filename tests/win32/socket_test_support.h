// What the socket tests share: this host's address in the private test LAN,
// a socket that notes every read, and a fixture that sends from a socket of
// its own.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "framework_test_support.h"
#include "socket.h"

// This host's address in the private test LAN; outside it, nothing binds.
constexpr char kOwnAddress[] = "198.51.100.1";
constexpr int kRecordSize = 371;

inline UINT LocalPort(const CSocket& socket)
{
    sockaddr_in local = {};
    int length = sizeof local;
    if (::getsockname(socket.m_hSocket, reinterpret_cast<sockaddr*>(&local), &length) != 0)
        return 0;
    return ::ntohs(local.sin_port);
}

// Reads one datagram per notification, as the program's endpoint does, and
// notes what it got.
class CRecordingSocket : public CSocket {
public:
    struct Call {
        DWORD thread;
        int result;
        int error;  // WSAGetLastError after a failed read
        std::string data;
    };

    std::vector<Call> calls;
    bool closeOnReceive = false;
    bool throwOnReceive = false;

    void OnReceive(int) override
    {
        std::vector<char> buffer(kRecordSize);
        std::string address;
        UINT port = 0;
        const int result = ReceiveFrom(buffer.data(), kRecordSize, address, port);
        const int error = result == SOCKET_ERROR ? ::WSAGetLastError() : 0;
        calls.push_back({::GetCurrentThreadId(), result, error,
                         std::string(buffer.data(), result > 0 ? static_cast<std::size_t>(result) : 0)});
        if (closeOnReceive)
            Close();
        if (throwOnReceive)
            throw std::runtime_error("receive handler failed");
    }

    std::vector<std::string> Data() const
    {
        std::vector<std::string> data;
        for (const Call& call : calls)
            data.push_back(call.data);
        return data;
    }
};

class SocketTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sender.Create(0, SOCK_DGRAM, SOCKET_ALL_EVENTS, kOwnAddress))
            << "no address " << kOwnAddress << ": these tests run only inside the private test LAN";
    }

    void Send(const CSocket& to, const std::string& data)
    {
        EXPECT_EQ(sender.SendTo(data.data(), static_cast<int>(data.size()), LocalPort(to), kOwnAddress),
                  static_cast<int>(data.size()));
    }

    // A datagram to a socket of its own, read once everything sent before
    // it has been taken in: from then on no call for those can be pending.
    void SendMarkerAndWait()
    {
        CRecordingSocket marker;
        ASSERT_TRUE(marker.Create(0, SOCK_DGRAM, SOCKET_ALL_EVENTS, kOwnAddress));
        Send(marker, "marker");
        ASSERT_TRUE(PumpUntil([&] { return !marker.calls.empty(); }));
    }

    CSocket sender;
};
