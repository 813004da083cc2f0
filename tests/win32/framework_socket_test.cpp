// The framework's datagram sockets, between sockets of this process on its
// own address in the private test LAN: binding, one OnReceive per waiting
// datagram on the creating thread, datagrams too long or empty, closed
// sockets, and sends from a worker.

#include <winsock2.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "framework_test_support.h"
#include "socket.h"
#include "socket_test_support.h"
#include "thread.h"

namespace {

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

}  // namespace
