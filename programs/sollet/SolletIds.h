// Sollet's resources, control ids, timers and the messages its page loaders post to
// the main dialog.
#pragma once

#include "platform/window/WindowMessages.h"

// Dialogs.
constexpr int IDD_ONECLICKFINDER_DIALOG = 213;
constexpr int IDD_PAGE_LOADER = 129;
constexpr int IDD_GALLERY_VIEWER = 130;

// Controls of the main dialog.
constexpr int IDC_URL = 1001;
constexpr int IDC_IMAGES_FOUND = 1002;
constexpr int IDC_PAGES_VISITED = 1003;
constexpr int IDC_GO = 1004;
constexpr int IDC_STOP = 1005;
constexpr int IDC_SHOW = 1006;
constexpr int IDC_SAVE = 1007;
constexpr int IDC_TIME_ELAPSED = 1008;
constexpr int IDC_LIST = 1009;
constexpr int IDC_CLEAR = 1010;
constexpr int IDC_LOADER_COUNT = 1011;
constexpr int IDC_SHOW_LOADERS = 1012;

// The browser control of a loader and of the viewer, and the viewer's "save...".
constexpr int IDC_BROWSER = 1000;
constexpr int IDC_SAVE_GALLERY = 1007;

// The system menu's About item.
constexpr UINT IDM_ABOUTBOX = 0x10;

// Timers: the main dialog's clock, a loader's busy mark and its guard.
constexpr UINT_PTR kElapsedTimer = 1234;
constexpr UINT kElapsedTimerMs = 1000;
constexpr UINT_PTR kLoaderBusyTimer = 12345;
constexpr UINT kLoaderBusyTimerMs = 250;
constexpr UINT_PTR kLoaderGuardTimer = 12346;

// Posted by a loader to the main dialog. 3024 and 3025 carry a StringArray as their
// payload (freed by the message's holder) and the loader's serial number as lParam;
// 3026 carries the loader as wParam and its serial number as lParam.
constexpr UINT WM_LINKS_FOUND = WM_USER + 2000;
constexpr UINT WM_IMAGES_FOUND = WM_USER + 2001;
constexpr UINT WM_LOADER_IDLE = WM_USER + 2002;

// The URL edit's text until the user types an address.
inline constexpr const char* kUrlHint = "- put website URL here... press 'go' -";
