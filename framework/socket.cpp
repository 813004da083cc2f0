#include "socket.h"

#include <cstdlib>
#include <unordered_map>

#include "win_app.h"

namespace {

constexpr UINT WM_SOCKET_NOTIFY = WM_APP + 1;
constexpr char kNotifyWindowClass[] = "NodewrightSocketNotify";

// Each thread's sockets, and the hidden window that their events reach.
struct ThreadSockets {
    HWND window = nullptr;
    std::unordered_map<SOCKET, CSocket*> sockets;
};
thread_local ThreadSockets t_sockets;

LRESULT CALLBACK NotifyWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_SOCKET_NOTIFY)
        return ::DefWindowProcA(hwnd, message, wParam, lParam);
    // A socket closed since the event was posted is gone from the table.
    const auto found = t_sockets.sockets.find(static_cast<SOCKET>(wParam));
    if (found != t_sockets.sockets.end() && WSAGETSELECTEVENT(lParam) == FD_READ) {
        try {
            found->second->OnReceive(WSAGETSELECTERROR(lParam));
        } catch (...) {
            AfxReportUnexpectedException();
        }
    }
    return 0;
}

HWND NotifyWindow()
{
    if (t_sockets.window)
        return t_sockets.window;
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = NotifyWindowProc;
    windowClass.hInstance = AfxGetInstanceHandle();
    windowClass.lpszClassName = kNotifyWindowClass;
    // A second thread finds the class registered already.
    if (!::RegisterClassA(&windowClass) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return nullptr;
    t_sockets.window =
        ::CreateWindowA(kNotifyWindowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, AfxGetInstanceHandle(), nullptr);
    return t_sockets.window;
}

}  // namespace

BOOL AfxSocketInit(WSADATA* data)
{
    WSADATA local;
    if (::WSAStartup(MAKEWORD(1, 1), data ? data : &local) != 0)
        return FALSE;
    std::atexit([] { ::WSACleanup(); });
    return TRUE;
}

CSocket::~CSocket()
{
    Close();
}

BOOL CSocket::Create(UINT port, int type, long events, const char* address)
{
    const HWND window = NotifyWindow();
    if (!window)
        return FALSE;
    m_hSocket = ::socket(AF_INET, type, 0);
    if (m_hSocket == INVALID_SOCKET)
        return FALSE;
    t_sockets.sockets[m_hSocket] = this;

    sockaddr_in local = {};
    local.sin_family = AF_INET;
    local.sin_port = ::htons(static_cast<u_short>(port));
    local.sin_addr.s_addr = address ? ::inet_addr(address) : INADDR_ANY;
    const bool usable = !address || local.sin_addr.s_addr != INADDR_NONE;
    if (!usable || ::WSAAsyncSelect(m_hSocket, window, WM_SOCKET_NOTIFY, events) != 0 ||
        ::bind(m_hSocket, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        Close();
        return FALSE;
    }
    return TRUE;
}

void CSocket::Close()
{
    if (m_hSocket == INVALID_SOCKET)
        return;
    ::closesocket(m_hSocket);
    t_sockets.sockets.erase(m_hSocket);
    m_hSocket = INVALID_SOCKET;
}

BOOL CSocket::SetSockOpt(int option, const void* value, int length, int level)
{
    return ::setsockopt(m_hSocket, level, option, static_cast<const char*>(value), length) == 0;
}

int CSocket::SendTo(const void* buffer, int length, UINT port, const char* address, int flags)
{
    sockaddr_in to = {};
    to.sin_family = AF_INET;
    to.sin_port = ::htons(static_cast<u_short>(port));
    to.sin_addr.s_addr = ::inet_addr(address);
    const auto* data = static_cast<const char*>(buffer);
    int sent = ::sendto(m_hSocket, data, length, flags, reinterpret_cast<const sockaddr*>(&to), sizeof to);
    if (sent == SOCKET_ERROR && ::WSAGetLastError() == WSAEWOULDBLOCK) {
        // The socket is non-blocking for its notifications; wait for room
        // once, as a blocking send would.
        fd_set writable;
        FD_ZERO(&writable);
        FD_SET(m_hSocket, &writable);
        timeval limit = {1, 0};
        if (::select(0, nullptr, &writable, nullptr, &limit) == 1)
            sent = ::sendto(m_hSocket, data, length, flags, reinterpret_cast<const sockaddr*>(&to), sizeof to);
    }
    return sent;
}

int CSocket::ReceiveFrom(void* buffer, int length, std::string& address, UINT& port, int flags)
{
    sockaddr_in from = {};
    int fromLength = sizeof from;
    const int received = ::recvfrom(m_hSocket, static_cast<char*>(buffer), length, flags,
                                    reinterpret_cast<sockaddr*>(&from), &fromLength);
    if (received == SOCKET_ERROR)
        return SOCKET_ERROR;
    address = ::inet_ntoa(from.sin_addr);
    port = ::ntohs(from.sin_port);
    return received;
}

void CSocket::OnReceive(int) {}
