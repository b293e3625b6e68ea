#include "app/about_dlg.h"

#include "app/resources.h"

CAboutDlg::CAboutDlg(QWidget* parent) : platform::DialogBase(kAboutBoxTemplate, parent) {}
