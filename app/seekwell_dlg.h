// CSeekwellDlg: the program's one window. Its handlers live beside the
// other code of their subsystem: discovery/ (search, replies), devices/
// (list, panel, commands, export, web page), hosttools/ (component removal,
// firmware tool) and app/ (start-up, adapters, about box); the declarations
// below say which file holds each.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>

#include "controls.h"
#include "device_table.h"
#include "dialog.h"
#include "discovery_data.h"
#include "thread.h"
#include "udp_socket.h"
#include "wait_dialog.h"

// Private messages of the dialog.
constexpr UINT WM_SEARCH_NOT_SENT = WM_APP + 1;    // a search could send nothing
constexpr UINT WM_SEARCH_DONE = WM_APP + 2;        // the search worker has sent its last request
constexpr UINT WM_SHOW_APPLY_RESULT = WM_APP + 3;  // the answer to a Save has come
constexpr UINT WM_DRAW_LIST_BAND = WM_APP + 4;     // the list's next band is due

struct CommandCredentials;
class DeviceKeys;

class CSeekwellDlg : public CDialog {
public:
    explicit CSeekwellDlg(CWnd* parent = nullptr);
    ~CSeekwellDlg() override;

    MessageMap GetMessageMap() const override;
    BOOL DestroyWindow() override;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;

private:
    // Handlers and helpers, grouped by the file that defines them. The
    // message map (app/seekwell_dlg.cpp) routes to the handlers.

    // app/main_sysmenu_icon.cpp: the system menu's about entry and the icon.
    void OnSysCommand(UINT id, LPARAM param);
    void OnPaint();
    HCURSOR OnQueryDragIcon();

    // app/adapter_list.cpp: the network adapter box.
    void FillAdapterList();
    void OnSelChangeAdapter();
    std::string ChosenAdapterAddress();

    // app/create_sockets.cpp: the endpoints and the wait box at start-up.
    void CreateSockets();

    // discovery/search_cycle.cpp: the search, its worker and its end.
    void OnSearch();
    void ResetSettingsPanel();
    static UINT SearchThreadProc(LPVOID dialog);
    UINT RunSearch();
    bool PauseUnlessStopped(DWORD milliseconds);
    LRESULT OnSearchDone();
    void EnableControls(bool enable);
    LRESULT OnSearchNotSent();
    void JoinSearchWorker();
    void StopSearchWorker();

    // discovery/reply_intake.cpp: every datagram, read and handed on, and
    // whether a search reply repeats a listed device.
    LRESULT OnUdpReceive();
    bool ReplyWaiting();
    bool IsDuplicate(DISCOVERY_DATA record);

    // discovery/search_reply.cpp: search replies become rows.
    void OnSearchReply(const DISCOVERY_DATA& record);
    void EndReplyBurst();
    LRESULT OnDrawListBand();

    // devices/device_list.cpp: the list's columns, rows and sort.
    void InitDeviceColumns();
    void AddDeviceRow(DISCOVERY_DATA record);
    void OnColumnClickList(NMLISTVIEW* column, LRESULT* result);
    BOOL SortDeviceList(int column, BOOL ascending);
    static int CALLBACK CompareSortKeys(LPARAM first, LPARAM second, LPARAM ascending);

    // devices/settings_panel.cpp: the chosen device's settings.
    void OnClickList(NMITEMACTIVATE* item, LRESULT* result);
    void OnClickStatic();
    void OnClickDhcp();
    void OnItemChangedList(NMLISTVIEW* item, LRESULT* result);
    void OnChangeDeviceInfo();

    // devices/command_checks.cpp: what every command checks first.
    bool ReadCommandCredentials(CommandCredentials& credentials);
    bool SendEndpointReady();

    // devices/save_command.cpp: Save and the device's answer.
    void OnClickSave();
    void OnApplyReply(const DISCOVERY_DATA& record);
    LRESULT OnShowApplyResult();

    // devices/batch_commands.cpp: Reboot and Factory Reset.
    void OnClickReboot();
    void OnClickFactoryReset();
    void SendBatchCommand(std::uint32_t command);

    // devices/web_page.cpp and list_export.cpp.
    void OnDblClickList(NMITEMACTIVATE* item, LRESULT* result);
    void OnClickSaveList();

    // hosttools/viewer_removal.cpp and extension_tool.cpp.
    void OnClickUninstall();
    void OnClickRun();

    // Set from the moment a search is accepted until its end is handled (or
    // its start fails). Only the UI thread uses it.
    bool searchInProgress = false;
    // MAC text of the device whose row was clicked last.
    std::string selectedMac;
    // MAC text of the device the last Save went to while its answer is
    // awaited; none otherwise. (A device may have an empty MAC text, so empty
    // cannot mean "none".)
    std::optional<std::string> pendingApplyMac;

    int panelAddressMode = -1;  // 0 STATIC, 1 DHCP, -1 neither checked
    int sortAscending = 0;
    int allChecked = 0;
    CListCtrl deviceList;
    long panelWebPort = 0;
    long panelControlPort = 0;
    long panelVideoPort = 0;
    long panelAudioTransmitPort = 0;
    long panelAudioReceivePort = 0;
    int panelHttpsEnabled = 0;
    HICON appIcon;
    std::string statusText;
    int selectedRow = -1;
    int columnCount = 0;
    std::unique_ptr<CUDPSendSocket> sendSocket;
    std::unique_ptr<CUDPSocket> recvSocket;
    CListVur<DISCOVERY_DATA> deviceTable;
    // Beside deviceTable, told of every change to it. Held by pointer so that
    // only the files that use it see its header.
    std::unique_ptr<DeviceKeys> deviceKeys;
    CEdit ipAddressEdit;
    CEdit subnetMaskEdit;
    CEdit gatewayEdit;
    CEdit dnsEdit;
    CEdit userIdEdit;
    CEdit passwordEdit;
    CEdit modelNameEdit;
    CEdit deviceInfoEdit;
    CComboBox adapterCombo;
    std::unique_ptr<CModalDlg> waitDialog;

    // The last search's worker, kept so that the window's teardown can stop
    // it and wait for it before it frees what the worker uses.
    std::unique_ptr<CWinThread> searchWorker;
    HANDLE searchStop = nullptr;
    // Written by the worker, read once it is joined.
    int searchRequestsUnsent = 0;
    // Answers to Saves, until they are shown.
    std::deque<std::string> applyResults;
    // Why the last search could send nothing, until it is shown.
    std::string searchNotSentText;
    // Rows of a burst of replies are drawn together once the burst is in.
    bool listRedrawDeferred = false;
    DWORD listRedrawDeferredAt = 0;  // GetTickCount when it began
    int listBandsToDraw = 0;
};
