#include "app/main_app.h"

#include "app/main_dlg.h"

bool CMainApp::InitInstance() {
    platform::ApplicationBase::InitInstance();
    SetRegistryKey(QStringLiteral("Local AppWizard-Generated Applications"));
    {
        CMainDlg dialog;
        SetMainWindow(&dialog);
        dialog.DoModal();
        SetMainWindow(nullptr);
    }
    return false;
}
