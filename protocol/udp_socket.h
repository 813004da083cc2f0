// The two UDP endpoints of the main dialog: the receive endpoint tells its
// owner window about each waiting datagram with WM_UDP_RECEIVE, sent
// synchronously on the thread that made it; the send endpoint only sends.
#pragma once

#include <windows.h>

#include "socket.h"

// A datagram is waiting on the receive endpoint; both parameters are 0.
constexpr UINT WM_UDP_RECEIVE = WM_USER + 1;

class CUDPSocket : public CSocket {
public:
    ~CUDPSocket() override = default;
    void SetOwnerWindow(HWND owner) { ownerWindow = owner; }
    void OnReceive(int errorCode) override;

private:
    HWND ownerWindow = nullptr;
};

class CUDPSendSocket : public CSocket {
public:
    ~CUDPSendSocket() override = default;
    void SetOwnerWindow(HWND owner) { ownerWindow = owner; }

private:
    HWND ownerWindow = nullptr;  // kept like the receive endpoint's; nothing is read here
};

// Allows broadcasts on `socket` and sends the 371 bytes of `record` to
// 255.255.255.255, port 40013; true when the whole datagram went out.
struct DISCOVERY_DATA;
bool BroadcastRecord(CSocket& socket, const DISCOVERY_DATA& record);
