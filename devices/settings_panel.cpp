// The settings panel: a row click shows that device's settings for editing;
// the address-mode buttons enable or disable the address boxes.
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
    panelAddressMode = static_cast<int>(record.dhcp);
    modelNameEdit.SetWindowText(ReadTextField(record.productName).c_str());
    deviceInfoEdit.SetWindowText("");
    ipAddressEdit.SetWindowText(ReadTextField(record.ipAddress).c_str());
    dnsEdit.SetWindowText(ReadTextField(record.dns).c_str());
    gatewayEdit.SetWindowText(ReadTextField(record.gateway).c_str());
    subnetMaskEdit.SetWindowText(ReadTextField(record.subnetMask).c_str());
    panelWebPort = record.webPort;
    panelControlPort = record.controlPort;
    panelVideoPort = record.videoPort;
    panelAudioReceivePort = record.audioReceivePort;
    panelAudioTransmitPort = record.audioTransmitPort;
    panelHttpsEnabled = record.httpsEnabled;
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
