#include "udp_socket.h"

#include "discovery_data.h"

void CUDPSocket::OnReceive(int errorCode)
{
    ::SendMessageA(ownerWindow, WM_UDP_RECEIVE, 0, 0);
    CSocket::OnReceive(errorCode);
}

void BroadcastRecord(CSocket& socket, const DISCOVERY_DATA& record)
{
    const BOOL allow = TRUE;
    socket.SetSockOpt(SO_BROADCAST, &allow, sizeof allow);
    socket.SendTo(&record, sizeof record, DISCOVERY_DEVICE_PORT, DISCOVERY_BROADCAST_ADDRESS);
}
