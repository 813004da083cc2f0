// The settings panel: a row click shows that device's settings for editing;
// the address-mode buttons enable or disable the address boxes.
#include "device_commands.h"
#include "seekwell_dlg.h"
#include "text_field.h"

void CSeekwellDlg::OnClickList(NMITEMACTIVATE* item, LRESULT* result)
{
    *result = 0;
    const int row = item->iItem;
    DISCOVERY_DATA record;
    // A click below the last row keeps the chosen device.
    if (row < 0 || !deviceTable.GetAt(static_cast<std::uint32_t>(row), &record))
        return;
    selectedRow = row;
    const PanelSettings panel = PanelFromRecord(record);
    panelAddressMode = panel.addressMode;
    modelNameEdit.SetWindowText(ReadTextField(record.productName).c_str());
    deviceInfoEdit.SetWindowText("");
    ipAddressEdit.SetWindowText(panel.ipAddress.c_str());
    dnsEdit.SetWindowText(panel.dns.c_str());
    gatewayEdit.SetWindowText(panel.gateway.c_str());
    subnetMaskEdit.SetWindowText(panel.subnetMask.c_str());
    panelWebPort = panel.webPort;
    panelControlPort = panel.controlPort;
    panelVideoPort = panel.videoPort;
    panelAudioReceivePort = panel.audioReceivePort;
    panelAudioTransmitPort = panel.audioTransmitPort;
    panelHttpsEnabled = panel.httpsEnabled;
    selectedMac = ReadTextField(record.macAddress);
    UpdateData(FALSE);
}

void CSeekwellDlg::OnClickStatic()
{
    ipAddressEdit.EnableWindow(TRUE);
    subnetMaskEdit.EnableWindow(TRUE);
    gatewayEdit.EnableWindow(TRUE);
    dnsEdit.EnableWindow(TRUE);
}

void CSeekwellDlg::OnClickDhcp()
{
    ipAddressEdit.EnableWindow(FALSE);
    subnetMaskEdit.EnableWindow(FALSE);
    gatewayEdit.EnableWindow(FALSE);
    dnsEdit.EnableWindow(FALSE);
}

void CSeekwellDlg::OnItemChangedList(NMLISTVIEW*, LRESULT* result)
{
    *result = 0;
}

void CSeekwellDlg::OnChangeDeviceInfo() {}
