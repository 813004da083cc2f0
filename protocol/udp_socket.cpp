#include "udp_socket.h"

#include "discovery_data.h"

void CUDPSocket::OnReceive(int errorCode)
{
    ::SendMessageA(ownerWindow, WM_UDP_RECEIVE, 0, 0);
    CSocket::OnReceive(errorCode);
}

bool BroadcastRecord(CSocket& socket, const DISCOVERY_DATA& record)
{
    // Whether broadcasts were allowed shows in the send's result.
    const BOOL allow = TRUE;
    socket.SetSockOpt(SO_BROADCAST, &allow, sizeof allow);
    return socket.SendTo(&record, sizeof record, DISCOVERY_DEVICE_PORT, DISCOVERY_BROADCAST_ADDRESS) ==
           static_cast<int>(sizeof record);
}
