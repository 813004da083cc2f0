#include "seekwell_dlg.h"

#include "data_exchange.h"
#include "device_keys.h"
#include "device_rows.h"
#include "resource.h"
#include "win_app.h"

CSeekwellDlg::CSeekwellDlg(CWnd* parent)
    : CDialog(IDD_SEEKWELL_DIALOG, parent),
      appIcon(::LoadIconA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDR_MAINFRAME))),
      deviceKeys(std::make_unique<DeviceKeys>()),
      searchStop(::CreateEventA(nullptr, TRUE, FALSE, nullptr))
{
}

CSeekwellDlg::~CSeekwellDlg()
{
    if (searchStop)
        ::CloseHandle(searchStop);
}

MessageMap CSeekwellDlg::GetMessageMap() const
{
    static constexpr MessageMapEntry entries[] = {
        MapSysCommand<&CSeekwellDlg::OnSysCommand>(),
        MapPaint<&CSeekwellDlg::OnPaint>(),
        MapQueryDragIcon<&CSeekwellDlg::OnQueryDragIcon>(),
        MapCommand<&CSeekwellDlg::OnSearch>(BN_CLICKED, IDC_SEARCH),
        MapNotify<&CSeekwellDlg::OnClickList>(NM_CLICK, IDC_DEVICE_LIST),
        MapCommand<&CSeekwellDlg::OnClickSave>(BN_CLICKED, IDC_SAVE),
        MapCommand<&CSeekwellDlg::OnClickStatic>(BN_CLICKED, IDC_RADIO_STATIC),
        MapCommand<&CSeekwellDlg::OnClickDhcp>(BN_CLICKED, IDC_RADIO_DHCP),
        MapNotify<&CSeekwellDlg::OnDblClickList>(NM_DBLCLK, IDC_DEVICE_LIST),
        MapCommand<&CSeekwellDlg::OnClickUninstall>(BN_CLICKED, IDC_UNINSTALL),
        MapCommand<&CSeekwellDlg::OnClickSaveList>(BN_CLICKED, IDC_SAVE_LIST),
        MapNotify<&CSeekwellDlg::OnColumnClickList>(LVN_COLUMNCLICK, IDC_DEVICE_LIST),
        MapMessage<&CSeekwellDlg::OnUdpReceive>(WM_UDP_RECEIVE),
        MapCommand<&CSeekwellDlg::OnChangeDeviceInfo>(EN_CHANGE, IDC_DEVICE_INFO),
        MapNotify<&CSeekwellDlg::OnItemChangedList>(LVN_ITEMCHANGED, IDC_DEVICE_LIST),
        MapCommand<&CSeekwellDlg::OnClickReboot>(BN_CLICKED, IDC_REBOOT),
        MapCommand<&CSeekwellDlg::OnClickFactoryReset>(BN_CLICKED, IDC_FACTORY_RESET),
        MapCommand<&CSeekwellDlg::OnSelChangeAdapter>(CBN_SELCHANGE, IDC_ADAPTER),
        MapCommand<&CSeekwellDlg::OnClickRun>(BN_CLICKED, IDC_RUN),
        MapMessage<&CSeekwellDlg::OnSearchNotSent>(WM_SEARCH_NOT_SENT),
        MapMessage<&CSeekwellDlg::OnSearchDone>(WM_SEARCH_DONE),
        MapMessage<&CSeekwellDlg::OnShowApplyResult>(WM_SHOW_APPLY_RESULT),
        MapMessage<&CSeekwellDlg::OnDrawListBand>(WM_DRAW_LIST_BAND),
    };
    return entries;
}

void CSeekwellDlg::DoDataExchange(CDataExchange* dx)
{
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_DEVICE_LIST, deviceList);
    DDX_Text(dx, IDC_WEB_PORT, panelWebPort);
    DDX_Text(dx, IDC_CONTROL_PORT, panelControlPort);
    DDX_Text(dx, IDC_VIDEO_PORT, panelVideoPort);
    DDX_Text(dx, IDC_AUDIO_TRANSMIT_PORT, panelAudioTransmitPort);
    DDX_Text(dx, IDC_AUDIO_RECEIVE_PORT, panelAudioReceivePort);
    DDX_Radio(dx, IDC_RADIO_STATIC, panelAddressMode);
    DDX_Control(dx, IDC_IP_ADDRESS, ipAddressEdit);
    DDX_Control(dx, IDC_SUBNET_MASK, subnetMaskEdit);
    DDX_Control(dx, IDC_GATEWAY, gatewayEdit);
    DDX_Control(dx, IDC_DNS, dnsEdit);
    DDX_Control(dx, IDC_USER_ID, userIdEdit);
    DDX_Control(dx, IDC_PASSWORD, passwordEdit);
    DDX_Control(dx, IDC_MODEL_NAME, modelNameEdit);
    DDX_Control(dx, IDC_DEVICE_INFO, deviceInfoEdit);
    DDX_Control(dx, IDC_ADAPTER, adapterCombo);
}

BOOL CSeekwellDlg::OnInitDialog()
{
    CDialog::OnInitDialog();

    if (HMENU systemMenu = GetSystemMenu(FALSE)) {
        char about[128] = {};
        if (::LoadStringA(AfxGetInstanceHandle(), IDS_ABOUTBOX, about, sizeof about) > 0) {
            ::AppendMenuA(systemMenu, MF_SEPARATOR, 0, nullptr);
            ::AppendMenuA(systemMenu, MF_STRING, IDM_ABOUTBOX, about);
        }
    }
    SetIcon(appIcon, TRUE);
    SetIcon(appIcon, FALSE);

    columnCount = DEVICE_LIST_COLUMNS;
    InitDeviceColumns();
    FillAdapterList();
    panelAddressMode = 0;
    ::SendDlgItemMessageA(m_hWnd, IDC_EXTENSION_TOOL, CB_SETCURSEL, 0, 0);

    CreateSockets();
    if (!recvSocket || !sendSocket)
        return TRUE;  // told the operator; the window is gone
    OnSearch();
    return TRUE;
}

BOOL CSeekwellDlg::DestroyWindow()
{
    StopSearchWorker();
    if (recvSocket) {
        recvSocket->Close();
        recvSocket.reset();
    }
    if (sendSocket) {
        sendSocket->Close();
        sendSocket.reset();
    }
    waitDialog.reset();
    return CDialog::DestroyWindow();
}
