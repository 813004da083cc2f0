// The search: the list and table emptied, the send endpoint bound to the
// chosen adapter, and five broadcasts one second apart from a worker thread
// while the wait box shows and most controls are disabled. Only the UI
// thread touches windows: it starts and ends the search around the worker.
#include <algorithm>
#include <iterator>
#include <string>

#include "device_keys.h"
#include "message_box.h"
#include "resource.h"
#include "seekwell_dlg.h"

namespace {

// Disabled while a search runs, in this order.
constexpr int kSearchLockedControls[] = {
    IDC_SEARCH,
    IDC_DEVICE_LIST,
    IDC_SAVE,
    IDC_REBOOT,
    IDC_FACTORY_RESET,
    IDC_UNINSTALL,
    IDC_IP_ADDRESS,
    IDC_SUBNET_MASK,
    IDC_GATEWAY,
    IDC_DNS,
    IDC_RADIO_STATIC,
    IDC_WEB_PORT,
    IDC_CONTROL_PORT,
    IDC_VIDEO_PORT,
    IDC_AUDIO_TRANSMIT_PORT,
    IDC_AUDIO_RECEIVE_PORT,
    IDC_USER_ID,
    IDC_PASSWORD,
    IDC_ADAPTER,
};

// The address boxes, which DHCP leaves disabled.
constexpr int kAddressBoxes[] = {IDC_IP_ADDRESS, IDC_SUBNET_MASK, IDC_GATEWAY, IDC_DNS};

constexpr char kNoAdapterText[] =
    "Nothing was sent: no network adapter with an IPv4 address is chosen.\n"
    "Choose an adapter and press \"Search\" again.";

std::string SendPortTakenText(const std::string& address)
{
    return "Nothing was sent: port " + std::to_string(DISCOVERY_DEVICE_PORT) + " could not be opened on " + address +
           ".\nAnother program may be using it. Close it or choose another adapter, then press \"Search\" again.";
}

constexpr int kSearchBroadcasts = 5;

std::string SearchRequestsUnsentText(int unsent)
{
    return "Failed. " + std::to_string(unsent) + " of " + std::to_string(kSearchBroadcasts) +
           " search requests could not be sent: the network adapter may be gone.\n"
           "The list may lack devices. Press \"Search\" again once the adapter is back.";
}
constexpr DWORD kSearchPauseMs = 1000;
constexpr DWORD kPostRetryMs = 50;

}  // namespace

void CSeekwellDlg::OnSearch()
{
    if (searchInProgress)
        return;
    searchInProgress = true;
    ResetSettingsPanel();
    selectedRow = -1;
    deviceTable.RemoveAll();
    deviceKeys->Clear();
    deviceList.DeleteAllItems();

    if (sendSocket) {
        sendSocket->Close();
        sendSocket.reset();
    }
    sendSocket = std::make_unique<CUDPSendSocket>();
    sendSocket->SetOwnerWindow(m_hWnd);
    // A search that can send nothing ends here, and the operator is told
    // why: an empty list must not read as "no devices found".
    const std::string address = ChosenAdapterAddress();
    if (address.empty() || !sendSocket->Create(DISCOVERY_DEVICE_PORT, SOCK_DGRAM, SOCKET_ALL_EVENTS, address.c_str())) {
        sendSocket.reset();
        searchInProgress = false;
        searchNotSentText = address.empty() ? kNoAdapterText : SendPortTakenText(address);
        // Shown once this handler has returned: at start-up over the shown
        // window, not before it.
        if (!PostMessage(WM_SEARCH_NOT_SENT))
            OnSearchNotSent();
        return;
    }

    // The last worker posted its end before it ended; it is gone or going.
    JoinSearchWorker();
    ::ResetEvent(searchStop);
    CWinThread* worker = AfxBeginThread(SearchThreadProc, this, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    if (!worker) {
        // Nothing was shown or disabled yet; only the flag says "searching".
        searchInProgress = false;
        return;
    }
    worker->m_bAutoDelete = FALSE;
    searchWorker.reset(worker);
    waitDialog->CenterWindow();
    waitDialog->ShowWindow(SW_SHOW);
    EnableControls(false);
    worker->ResumeThread();
}

void CSeekwellDlg::ResetSettingsPanel()
{
    modelNameEdit.SetWindowText("");
    deviceInfoEdit.SetWindowText("");
    dnsEdit.SetWindowText("");
    gatewayEdit.SetWindowText("");
    ipAddressEdit.SetWindowText("");
    subnetMaskEdit.SetWindowText("");
    panelAddressMode = 0;
    panelWebPort = 0;
    panelControlPort = 0;
    panelVideoPort = 0;
    panelAudioTransmitPort = 0;
    panelAudioReceivePort = 0;
    dnsEdit.EnableWindow(TRUE);
    gatewayEdit.EnableWindow(TRUE);
    ipAddressEdit.EnableWindow(TRUE);
    subnetMaskEdit.EnableWindow(TRUE);
    UpdateData(FALSE);
}

UINT CSeekwellDlg::SearchThreadProc(LPVOID dialog)
{
    if (dialog)
        static_cast<CSeekwellDlg*>(dialog)->RunSearch();
    return 0;
}

// On the worker: it sends and waits, and touches no window. The UI thread
// ends the search when the worker's message arrives.
UINT CSeekwellDlg::RunSearch()
{
    CUDPSendSocket& socket = *sendSocket;
    const DISCOVERY_DATA request = MakeSearchRequest();
    const BOOL allow = TRUE;
    socket.SetSockOpt(SO_BROADCAST, &allow, sizeof allow);
    bool stopped = false;
    searchRequestsUnsent = 0;
    for (int i = 0; i < kSearchBroadcasts && !stopped; ++i) {
        if (socket.SendTo(&request, sizeof request, DISCOVERY_DEVICE_PORT, DISCOVERY_BROADCAST_ADDRESS) !=
            static_cast<int>(sizeof request))
            ++searchRequestsUnsent;
        stopped = PauseUnlessStopped(kSearchPauseMs);
    }
    // A full queue is no reason to leave the search running for ever; the
    // window's teardown needs no message, only the stop.
    while (!stopped && !PostMessage(WM_SEARCH_DONE))
        stopped = PauseUnlessStopped(kPostRetryMs);
    return 0;
}

// True when the window's teardown asked the worker to stop. Without the
// event (it could not be made) the pause is a plain pause.
bool CSeekwellDlg::PauseUnlessStopped(DWORD milliseconds)
{
    const DWORD waited = ::WaitForSingleObject(searchStop, milliseconds);
    if (waited == WAIT_FAILED)
        ::Sleep(milliseconds);
    return waited == WAIT_OBJECT_0;
}

LRESULT CSeekwellDlg::OnSearchDone()
{
    // Joined first: the worker's count is then safe to read.
    JoinSearchWorker();
    waitDialog->SendMessage(WM_CLOSE);
    EnableControls(true);
    searchInProgress = false;
    // An adapter that went away during the search: the list may lack
    // devices for that reason alone.
    if (searchRequestsUnsent > 0)
        AfxMessageBox(SearchRequestsUnsentText(searchRequestsUnsent).c_str(), MB_OK);
    return 0;
}

void CSeekwellDlg::EnableControls(bool enable)
{
    // DHCP may have been chosen while the search ran: its address boxes
    // stay disabled, as the button left them.
    const bool dhcp = enable && ::IsDlgButtonChecked(m_hWnd, IDC_RADIO_DHCP) == BST_CHECKED;
    for (const int id : kSearchLockedControls) {
        const bool addressBox =
            std::find(std::begin(kAddressBoxes), std::end(kAddressBoxes), id) != std::end(kAddressBoxes);
        GetDlgItem(id).EnableWindow(enable && !(dhcp && addressBox));
    }
}

LRESULT CSeekwellDlg::OnSearchNotSent()
{
    AfxMessageBox(searchNotSentText.c_str(), MB_OK);
    return 0;
}

// The worker makes no window calls, so a plain wait cannot block it.
void CSeekwellDlg::JoinSearchWorker()
{
    if (!searchWorker)
        return;
    ::WaitForSingleObject(searchWorker->m_hThread, INFINITE);
    searchWorker.reset();
}

// The window's teardown: cuts the worker's pauses short and waits for it,
// so that what it uses can be freed.
void CSeekwellDlg::StopSearchWorker()
{
    if (!searchWorker)
        return;
    ::SetEvent(searchStop);
    JoinSearchWorker();
    searchInProgress = false;
}
