// The program's receive endpoint, between sockets of this process on its own
// address in the private test LAN: WM_UDP_RECEIVE is sent to the owner inside
// the notification, and the send endpoint tells the owner nothing.

#include <winsock2.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "socket_test_support.h"
#include "udp_socket.h"

namespace {

// The receive endpoint with a note of whether its notification is running.
class CProbeUDPSocket : public CUDPSocket {
public:
    bool inReceive = false;

    void OnReceive(int errorCode) override
    {
        inReceive = true;
        CUDPSocket::OnReceive(errorCode);
        inReceive = false;
    }
};

// The endpoints' owner: a window that notes each WM_UDP_RECEIVE and reads
// one datagram from the receive endpoint, as the main dialog does.
struct OwnerLog {
    struct Message {
        WPARAM wParam;
        LPARAM lParam;
        DWORD thread;
        bool insideNotification;
        std::string data;
    };
    CProbeUDPSocket* endpoint = nullptr;
    std::vector<Message> messages;
};

LRESULT CALLBACK OwnerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* log = reinterpret_cast<OwnerLog*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (message != WM_UDP_RECEIVE || !log)
        return ::DefWindowProcA(hwnd, message, wParam, lParam);
    char record[kRecordSize];
    std::string address;
    UINT port = 0;
    const int length = log->endpoint->ReceiveFrom(record, kRecordSize, address, port);
    log->messages.push_back({wParam, lParam, ::GetCurrentThreadId(), log->endpoint->inReceive,
                             std::string(record, length > 0 ? static_cast<std::size_t>(length) : 0)});
    return 0;
}

TEST_F(SocketTest, ReceiveEndpointSendsItsMessageToTheOwnerInsideTheNotification)
{
    WNDCLASSA ownerClass = {};
    ownerClass.lpfnWndProc = OwnerProc;
    ownerClass.hInstance = ::GetModuleHandleA(nullptr);
    ownerClass.lpszClassName = "FrameworkTestEndpointOwner";
    ASSERT_TRUE(::RegisterClassA(&ownerClass) || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS);
    const HWND owner = ::CreateWindowA(ownerClass.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                       ownerClass.hInstance, nullptr);
    ASSERT_NE(owner, nullptr);
    OwnerLog log;
    CProbeUDPSocket endpoint;
    log.endpoint = &endpoint;
    ::SetWindowLongPtrA(owner, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&log));
    endpoint.SetOwnerWindow(owner);
    ASSERT_TRUE(endpoint.Create(0, SOCK_DGRAM, SOCKET_ALL_EVENTS, kOwnAddress));
    // The send endpoint has the same owner and never reads: what reaches it
    // tells the owner nothing.
    CUDPSendSocket sendEndpoint;
    sendEndpoint.SetOwnerWindow(owner);
    ASSERT_TRUE(sendEndpoint.Create(0, SOCK_DGRAM, SOCKET_ALL_EVENTS, kOwnAddress));

    Send(sendEndpoint, "ignored");
    Send(endpoint, "reply one");
    Send(endpoint, "reply two");
    ASSERT_TRUE(PumpUntil([&] { return log.messages.size() >= 2; }));
    SendMarkerAndWait();

    ASSERT_EQ(log.messages.size(), 2u);
    EXPECT_EQ(log.messages[0].data, "reply one");
    EXPECT_EQ(log.messages[1].data, "reply two");
    for (const auto& message : log.messages) {
        EXPECT_EQ(message.wParam, 0u);
        EXPECT_EQ(message.lParam, 0);
        EXPECT_EQ(message.thread, ::GetCurrentThreadId());
        EXPECT_TRUE(message.insideNotification);
    }
    endpoint.Close();
    ::DestroyWindow(owner);
}

}  // namespace
