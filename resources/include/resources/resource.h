// Identifiers of the Windows resources, shared by orbidial.rc and the code
// that loads them.
#pragma once

#define IDS_APP_TITLE 103    // window title "Orbidial"
#define IDS_WINDOW_CLASS 109 // window class name "ORBDIAL"
#define IDI_ORBIDIAL 107     // icon group: 16, 32, 48, 64 and 256 px
#define IDD_ABOUTBOX 103     // About/options dialog
#define IDA_ORBIDIAL 109     // accelerator table (the module carries none)

// Controls of the About/options dialog.
#define IDC_COLOR_BOX 1002    // "变色": colour themes on or off
#define IDC_NUMERAL_BOX 1003  // "默认汉字": starting numeral style, three states
#define IDC_VERSION_LINE 1005
#define IDC_CREDIT_LINE 1006
#define IDC_CONTACT_LINE 1007
#define IDC_LINK_LINE -1      // the web address; IDC_STATIC
