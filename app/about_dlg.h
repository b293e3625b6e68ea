// The About box: icon, name and version, one line about the program, and OK.
#pragma once

#include "display/platform/dialog_base.h"

class CAboutDlg : public platform::DialogBase {
public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};
