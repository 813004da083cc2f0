// The main window's layout as res/Nodewright.rc gives it: a layout change is
// made there and here. Its size in dialog units, then every control in
// template order (which is also the tab order): id, class, text, place and
// size in dialog units, and style in the resource test's words.
//
// No include guard: tests/win32/resource_test.cpp includes it once for each
// list it makes, defining the two macros each time, and compares the compiled
// template; tests/e2e/test_main_window.py reads the same lines and checks the
// live window's controls against them in pixels.
MAIN_WINDOW_SIZE(731, 536)
MAIN_WINDOW_CONTROL(IDC_SEARCH, "Button", "Search", 7, 27, 507, 20, kPushButton)
MAIN_WINDOW_CONTROL(IDC_DEVICE_LIST, "SysListView32", "List1", 7, 48, 507, 481,
                    kShown | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_ALIGNLEFT | WS_BORDER | WS_TABSTOP)
MAIN_WINDOW_CONTROL(IDC_RADIO_STATIC, "Button", "STATIC", 560, 75, 47, 10, kShown | BS_AUTORADIOBUTTON | WS_GROUP)
MAIN_WINDOW_CONTROL(IDC_RADIO_DHCP, "Button", "DHCP", 621, 75, 34, 10, kShown | BS_AUTORADIOBUTTON)
MAIN_WINDOW_CONTROL(IDC_STATIC, "Static", "Subnet Mask", 528, 126, 49, 8, kLeftLabel | WS_GROUP)
MAIN_WINDOW_CONTROL(IDC_STATIC, "Static", "Gateway", 528, 142, 49, 8, kLeftLabel)
MAIN_WINDOW_CONTROL(IDC_WEB_PORT, "Edit", "", 613, 193, 68, 15, kEditBox)
MAIN_WINDOW_CONTROL(IDC_STATIC, "Static", "Web Port", 550, 196, 49, 8, kRightLabel)
MAIN_WINDOW_CONTROL(IDC_CONTROL_PORT, "Edit", "", 613, 210, 68, 15, kEditBox)
MAIN_WINDOW_CONTROL(IDC_STATIC, "Static", "Control Port", 550, 213, 49, 8, kRightLabel)
MAIN_WINDOW_CONTROL(IDC_VIDEO_PORT, "Edit", "", 613, 227, 67, 15, kEditBox)
MAIN_WINDOW_CONTROL(IDC_STATIC, "Static", "Video Port", 550, 231, 49, 8, kRightLabel)
MAIN_WINDOW_CONTROL(IDC_AUDIO_TRANSMIT_PORT, "Edit", "", 613, 245, 67, 15, kEditBox)
MAIN_WINDOW_CONTROL(IDC_AUDIO_TRANSMIT_LABEL, "Static", "Audio Transmit Port", 534, 249, 65, 8, kLeftLabel)
MAIN_WINDOW_CONTROL(IDC_AUDIO_RECEIVE_PORT, "Edit", "", 613, 262, 67, 15, kEditBox)
MAIN_WINDOW_CONTROL(IDC_AUDIO_RECEIVE_LABEL, "Static", "Audio Receive Port", 528, 266, 71, 8, kRightLabel)
MAIN_WINDOW_CONTROL(IDC_STATIC, "Static", "DNS", 528, 157, 49, 8, kLeftLabel)
MAIN_WINDOW_CONTROL(IDC_SAVE, "Button", "Save", 526, 351, 168, 20, kPushButton)
MAIN_WINDOW_CONTROL(IDC_STATIC, "Static", "IP", 528, 111, 49, 8, kLeftLabel)
MAIN_WINDOW_CONTROL(IDC_STATIC, "Button", "", 525, 460, 169, 69, kGroupBox)
MAIN_WINDOW_CONTROL(IDC_UNINSTALL, "Button", "UnInstall ( SD, HD )", 554, 503, 108, 20, kPushButton)
MAIN_WINDOW_CONTROL(IDC_STATIC, "Button", "IP Setting", 522, 93, 172, 80, kGroupBox)
MAIN_WINDOW_CONTROL(IDC_STATIC, "Button", "Port Setting", 522, 181, 172, 103, kGroupBox)
MAIN_WINDOW_CONTROL(IDC_STATIC, "Button", "", 523, 65, 171, 24, kGroupBox)
MAIN_WINDOW_CONTROL(IDC_SAVE_LIST, "Button", "File Save List", 391, 19, 78, 20, WS_CHILD | WS_DISABLED | BS_PUSHBUTTON)
MAIN_WINDOW_CONTROL(IDC_STATIC, "Static", "All ActiveX of IP camera's webviewer will be deleted!", 528, 476, 160, 19,
                    kShown | SS_CENTER)
MAIN_WINDOW_CONTROL(IDC_STATIC, "Button", "Authentication", 523, 291, 171, 54, kGroupBox)
MAIN_WINDOW_CONTROL(IDC_USER_ID, "Edit", "", 612, 302, 68, 15, kEditBox)
MAIN_WINDOW_CONTROL(IDC_STATIC, "Static", "User ID", 549, 305, 49, 8, kRightLabel)
MAIN_WINDOW_CONTROL(IDC_PASSWORD, "Edit", "", 612, 322, 68, 15, kEditBox | ES_PASSWORD)
MAIN_WINDOW_CONTROL(IDC_STATIC, "Static", "Password", 549, 325, 49, 8, kRightLabel)
MAIN_WINDOW_CONTROL(IDC_IP_ADDRESS, "Edit", "", 593, 106, 89, 14, kEditBox)
MAIN_WINDOW_CONTROL(IDC_SUBNET_MASK, "Edit", "", 593, 122, 89, 14, kEditBox)
MAIN_WINDOW_CONTROL(IDC_GATEWAY, "Edit", "", 593, 138, 89, 14, kEditBox)
MAIN_WINDOW_CONTROL(IDC_DNS, "Edit", "", 593, 154, 89, 14, kEditBox)
MAIN_WINDOW_CONTROL(IDC_STATIC, "Button", "Device Info", 523, 7, 171, 56, kGroupBox)
MAIN_WINDOW_CONTROL(IDC_STATIC, "Static", "Model Name", 528, 28, 49, 8, kLeftLabel)
MAIN_WINDOW_CONTROL(IDC_MODEL_NAME, "Edit", "", 581, 24, 106, 14, kEditBox | ES_READONLY)
MAIN_WINDOW_CONTROL(IDC_DEVICE_INFO, "Edit", "", 527, 42, 161, 14, kEditBox | ES_READONLY)
MAIN_WINDOW_CONTROL(IDC_ADAPTER, "ComboBox", "", 7, 11, 506, 103, kDropDownList)
MAIN_WINDOW_CONTROL(IDC_REBOOT, "Button", "Reboot", 526, 375, 84, 20, kPushButton)
MAIN_WINDOW_CONTROL(IDC_FACTORY_RESET, "Button", "Factory Reset (SW)", 611, 375, 83, 20, kPushButton)
MAIN_WINDOW_CONTROL(IDC_STATIC, "Button", "Extension Tool", 525, 403, 169, 54, kGroupBox)
MAIN_WINDOW_CONTROL(IDC_EXTENSION_TOOL, "ComboBox", "", 529, 426, 106, 30, kDropDownList | CBS_SORT)
MAIN_WINDOW_CONTROL(IDC_RUN, "Button", "Run", 639, 426, 50, 14, kPushButton)
