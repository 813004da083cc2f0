// Resource and control ids of the program. Included by the resource script
// and by the code, so it holds only #define lines.
#pragma once

// Templates, strings, icon.
#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_SEEKWELL_DIALOG 102
#define IDR_MAINFRAME 128
#define IDD_WAIT_DIALOG 140

// The about entry of the system menu.
#define IDM_ABOUTBOX 0x0010

// Main dialog controls.
#define IDC_SEARCH 1000
#define IDC_DEVICE_LIST 1001
#define IDC_WEB_PORT 1003
#define IDC_RADIO_STATIC 1006
#define IDC_RADIO_DHCP 1007
#define IDC_CONTROL_PORT 1008
#define IDC_VIDEO_PORT 1009
#define IDC_AUDIO_TRANSMIT_PORT 1010
#define IDC_USER_ID 1011
#define IDC_AUDIO_RECEIVE_PORT 1012
#define IDC_PASSWORD 1014
#define IDC_SAVE 1015
#define IDC_REBOOT 1016
#define IDC_UNINSTALL 1017
#define IDC_FACTORY_RESET 1018
#define IDC_AUDIO_TRANSMIT_LABEL 1020
#define IDC_AUDIO_RECEIVE_LABEL 1021
#define IDC_SAVE_LIST 1022
#define IDC_IP_ADDRESS 1023
#define IDC_SUBNET_MASK 1024
#define IDC_GATEWAY 1025
#define IDC_DNS 1026
#define IDC_MODEL_NAME 1027
#define IDC_DEVICE_INFO 1028
#define IDC_ADAPTER 1029
#define IDC_EXTENSION_TOOL 1032
#define IDC_RUN 1033
