// Identifiers of the program's dialogs, controls, commands, strings and icon.
#pragma once

#include "display/platform/dialog_base.h"

inline constexpr int IDOK = platform::kIdOk;
inline constexpr int IDCANCEL = platform::kIdCancel;
inline constexpr unsigned IDM_ABOUTBOX = 0x0010;
inline constexpr int IDD_ABOUTBOX = 100;
inline constexpr int IDS_ABOUTBOX = 101;
inline constexpr int IDD_MAIN_DIALOG = 102;
inline constexpr int IDR_MAINFRAME = 128;
inline constexpr int IDC_TARGET_VIEW = 1003;
inline constexpr int IDC_EVOLVED_VIEW = 1004;
inline constexpr int IDC_TRAIN = 1005;
inline constexpr int IDC_RANDOMIZE_TREE = 1006;
