#pragma once

// The identifiers of the saver's Configure dialog, shared by its resource
// (dist/windows/settings.rc) and its procedure (ScreenSaverSettings.cpp).
// Plain numbers only: windres reads this file too.

#define IDD_SAVER_SETTINGS 100

#define IDC_SAVER_SHAPE 1001
#define IDC_SAVER_SPEED 1002
#define IDC_SAVER_SPEED_SPIN 1003
#define IDC_SAVER_FOCAL 1004
#define IDC_SAVER_FOCAL_SPIN 1005
#define IDC_SAVER_QUADS 1006
#define IDC_SAVER_PICTURE 1007
#define IDC_SAVER_BROWSE 1008
#define IDC_SAVER_SHOW_RATE 1009
#define IDC_SAVER_DEFAULTS 1010
