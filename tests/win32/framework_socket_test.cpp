// The framework's datagram sockets and the program's receive endpoint,
// between sockets of this process on its own address in the private test
// LAN: binding, one OnReceive per waiting datagram on the creating thread,
// datagrams too long or empty, closed sockets, sends from a worker, and
// WM_UDP_RECEIVE sent to the owner inside the notification.

#include <winsock2.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "framework_test_support.h"
#include "socket.h"
#include "thread.h"
#include "udp_socket.h"

namespace {

// This host's address in the private test LAN; outside it, nothing binds.
constexpr char kOwnAddress[] = "198.51.100.1";
constexpr int kRecordSize = 371;

UINT LocalPort(const CSocket& socket)
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

struct BindCase {
    const char* first;  // address text, null for every local address
    const char* second;
};

TEST_F(SocketTest, SecondSocketOnTheSamePortFailsAndStaysUnopened)
{
    const BindCase cases[] = {{nullptr, nullptr}, {kOwnAddress, kOwnAddress}};
    for (const BindCase& c : cases) {
        SCOPED_TRACE(c.first ? c.first : "any address");
        CSocket first;
        ASSERT_TRUE(first.Create(0, SOCK_DGRAM, SOCKET_ALL_EVENTS, c.first));
        const UINT port = LocalPort(first);
        ASSERT_NE(port, 0u);

        CSocket second;
        EXPECT_FALSE(second.Create(port, SOCK_DGRAM, SOCKET_ALL_EVENTS, c.second));
        EXPECT_EQ(second.m_hSocket, INVALID_SOCKET);
        // The failure leaves nothing behind: the object can be made afresh.
        EXPECT_TRUE(second.Create(0, SOCK_DGRAM, SOCKET_ALL_EVENTS, c.second));
    }
}

TEST_F(SocketTest, AddressThatCannotBeBoundFails)
{
    for (const char* address : {"198.51.100.300", "not an address", "198.51.100.1.1", "255.255.255.255"}) {
        SCOPED_TRACE(address);
        CSocket socket;
        EXPECT_FALSE(socket.Create(0, SOCK_DGRAM, SOCKET_ALL_EVENTS, address));
        EXPECT_EQ(socket.m_hSocket, INVALID_SOCKET);
    }
}

TEST_F(SocketTest, OneReceivePerDatagramInArrivalOrderOnTheCreatingThread)
{
    CRecordingSocket receiver;
    ASSERT_TRUE(receiver.Create(0, SOCK_DGRAM, SOCKET_ALL_EVENTS, kOwnAddress));
    for (const char* data : {"one", "two", "three"})
        Send(receiver, data);

    ASSERT_TRUE(PumpUntil([&] { return receiver.calls.size() >= 3; }));
    SendMarkerAndWait();

    EXPECT_EQ(receiver.Data(), (std::vector<std::string>{"one", "two", "three"}));
    for (const auto& call : receiver.calls)
        EXPECT_EQ(call.thread, ::GetCurrentThreadId());
}

TEST_F(SocketTest, DatagramLongerThanTheBufferIsAnErrorAndLost)
{
    CRecordingSocket receiver;
    ASSERT_TRUE(receiver.Create(0, SOCK_DGRAM, SOCKET_ALL_EVENTS, kOwnAddress));
    const std::string tooLong(kRecordSize + 29, 'L');
    const std::string fits(kRecordSize, 'S');
    Send(receiver, tooLong);
    Send(receiver, fits);

    ASSERT_TRUE(PumpUntil([&] { return receiver.calls.size() >= 2; }));
    SendMarkerAndWait();

    ASSERT_EQ(receiver.calls.size(), 2u);
    EXPECT_EQ(receiver.calls[0].result, SOCKET_ERROR);
    EXPECT_EQ(receiver.calls[0].error, WSAEMSGSIZE);
    EXPECT_EQ(receiver.calls[1].result, kRecordSize);
    EXPECT_EQ(receiver.calls[1].data, fits);
}

TEST_F(SocketTest, EmptyDatagramIsReadAsZeroBytesAndDoesNotBlockTheNext)
{
    CRecordingSocket receiver;
    ASSERT_TRUE(receiver.Create(0, SOCK_DGRAM, SOCKET_ALL_EVENTS, kOwnAddress));
    Send(receiver, "");
    Send(receiver, "after");

    ASSERT_TRUE(PumpUntil([&] { return receiver.calls.size() >= 2; }));
    SendMarkerAndWait();

    ASSERT_EQ(receiver.calls.size(), 2u);
    EXPECT_EQ(receiver.calls[0].result, 0);
    EXPECT_EQ(receiver.calls[1].data, "after");
}

TEST_F(SocketTest, SocketClosedInItsNotificationGetsNoFurtherCalls)
{
    CRecordingSocket receiver;
    ASSERT_TRUE(receiver.Create(0, SOCK_DGRAM, SOCKET_ALL_EVENTS, kOwnAddress));
    receiver.closeOnReceive = true;
    Send(receiver, "first");
    Send(receiver, "second");

    ASSERT_TRUE(PumpUntil([&] { return !receiver.calls.empty(); }));
    SendMarkerAndWait();

    EXPECT_EQ(receiver.Data(), std::vector<std::string>{"first"});
    EXPECT_EQ(receiver.m_hSocket, INVALID_SOCKET);
}

TEST_F(SocketTest, SocketDeletedWithItsNotificationQueuedIsNotCalled)
{
    auto receiver = std::make_unique<CRecordingSocket>();
    ASSERT_TRUE(receiver->Create(0, SOCK_DGRAM, SOCKET_ALL_EVENTS, kOwnAddress));
    Send(*receiver, "waiting");
    // Readable means the notification is on its way to this thread's queue;
    // nothing has dispatched it yet.
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(receiver->m_hSocket, &readable);
    timeval limit = {5, 0};
    ASSERT_EQ(::select(0, &readable, nullptr, nullptr, &limit), 1);
    receiver.reset();

    // A call into the deleted object would crash or corrupt the heap here.
    SendMarkerAndWait();
}

TEST_F(SocketTest, ThrowingNotificationDoesNotStopLaterOnes)
{
    CRecordingSocket receiver;
    ASSERT_TRUE(receiver.Create(0, SOCK_DGRAM, SOCKET_ALL_EVENTS, kOwnAddress));
    receiver.throwOnReceive = true;
    Send(receiver, "first");
    Send(receiver, "second");

    ASSERT_TRUE(PumpUntil([&] { return receiver.calls.size() >= 2; }));
    EXPECT_EQ(receiver.Data(), (std::vector<std::string>{"first", "second"}));
}

TEST_F(SocketTest, SocketMadeOnAWorkerGetsItsNotificationsOnThatWorker)
{
    struct Shared {
        HANDLE ready = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
        UINT port = 0;
        DWORD thread = 0;
        std::vector<CRecordingSocket::Call> calls;
        bool received = false;
    } shared;
    ASSERT_NE(shared.ready, nullptr);

    CWinThread* worker = AfxBeginThread(
        [](LPVOID param) -> UINT {
            auto& shared = *static_cast<Shared*>(param);
            shared.thread = ::GetCurrentThreadId();
            CRecordingSocket socket;
            if (socket.Create(0, SOCK_DGRAM, SOCKET_ALL_EVENTS, kOwnAddress))
                shared.port = LocalPort(socket);
            ::SetEvent(shared.ready);
            if (shared.port == 0)
                return 1;
            shared.received = PumpUntil([&] { return !socket.calls.empty(); });
            shared.calls = socket.calls;
            return 0;
        },
        &shared, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    ASSERT_NE(worker, nullptr);
    worker->m_bAutoDelete = FALSE;
    worker->ResumeThread();

    ASSERT_EQ(::WaitForSingleObject(shared.ready, 10000), WAIT_OBJECT_0);
    ASSERT_NE(shared.port, 0u);
    const std::string data = "to the worker";
    EXPECT_EQ(sender.SendTo(data.data(), static_cast<int>(data.size()), shared.port, kOwnAddress),
              static_cast<int>(data.size()));
    EXPECT_EQ(::WaitForSingleObject(worker->m_hThread, 15000), WAIT_OBJECT_0);
    delete worker;
    ::CloseHandle(shared.ready);

    EXPECT_TRUE(shared.received);
    ASSERT_EQ(shared.calls.size(), 1u);
    EXPECT_EQ(shared.calls[0].thread, shared.thread);
    EXPECT_NE(shared.calls[0].thread, ::GetCurrentThreadId());
    EXPECT_EQ(shared.calls[0].data, data);
}

TEST_F(SocketTest, WorkerSendsThroughASocketMadeOnTheUIThread)
{
    CRecordingSocket receiver;
    ASSERT_TRUE(receiver.Create(0, SOCK_DGRAM, SOCKET_ALL_EVENTS, kOwnAddress));

    struct Job {
        CSocket* socket;
        UINT port;
        std::vector<int> results;
    } job{&sender, LocalPort(receiver), {}};
    CWinThread* worker = AfxBeginThread(
        [](LPVOID param) -> UINT {
            auto& job = *static_cast<Job*>(param);
            const std::string record(kRecordSize, 'W');
            for (int i = 0; i < 3; ++i)
                job.results.push_back(job.socket->SendTo(record.data(), kRecordSize, job.port, kOwnAddress));
            return 0;
        },
        &job, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    ASSERT_NE(worker, nullptr);
    worker->m_bAutoDelete = FALSE;
    worker->ResumeThread();

    // The UI thread keeps dispatching while the worker sends.
    EXPECT_TRUE(PumpUntil([&] { return receiver.calls.size() >= 3; }));
    EXPECT_EQ(::WaitForSingleObject(worker->m_hThread, 10000), WAIT_OBJECT_0);
    delete worker;

    EXPECT_EQ(job.results, (std::vector<int>{kRecordSize, kRecordSize, kRecordSize}));
    ASSERT_EQ(receiver.calls.size(), 3u);
    for (const auto& call : receiver.calls)
        EXPECT_EQ(call.data, std::string(kRecordSize, 'W'));
}

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
