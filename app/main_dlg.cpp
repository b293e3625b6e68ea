#include "app/main_dlg.h"

#include <QPainter>

#include "app/about_dlg.h"
#include "app/icon_placement.h"
#include "app/resource_ids.h"
#include "app/resources.h"
#include "app/train_press.h"
#include "display/offscreen_image.h"

namespace {

struct CommandRoute {
    int controlId;
    void (CMainDlg::*handler)();
};

constexpr CommandRoute kCommandRoutes[] = {
    {IDC_RANDOMIZE_TREE, &CMainDlg::OnRandomizeTree},
    {IDC_TRAIN, &CMainDlg::OnTrain},
};

constexpr int kSystemIconSize = 32;

}  // namespace

CMainDlg::CMainDlg(QWidget* parent) : platform::DialogBase(kMainDialogTemplate, parent) {
    icon = LoadResourceIcon(IDR_MAINFRAME);
}

CMainDlg::~CMainDlg() = default;

bool CMainDlg::OnInitDialog() {
    // Everything a panel needs is wired before the base initialisation attaches the panels to their
    // controls, so neither can paint or see the mouse half-wired.
    objects.Wire();

    platform::DialogBase::OnInitDialog();

    if (platform::WindowMenu* menu = GetWindowMenu()) {
        const QString about = LoadResourceString(IDS_ABOUTBOX);
        if (!about.isEmpty()) {
            menu->AppendSeparator();
            menu->AppendItem(IDM_ABOUTBOX, about);
        }
    }
    SetIcon(icon, true);
    SetIcon(icon, false);
    return true;
}

void CMainDlg::DoDataExchange() {
    AttachControl(IDC_TARGET_VIEW, targetView);
    AttachControl(IDC_EVOLVED_VIEW, evolvedView);
}

void CMainDlg::OnButtonClicked(int controlId) {
    for (const CommandRoute& route : kCommandRoutes) {
        if (route.controlId == controlId) {
            (this->*route.handler)();
            return;
        }
    }
    platform::DialogBase::OnButtonClicked(controlId);
}

void CMainDlg::OnSysCommand(unsigned commandId, long parameter) {
    if ((commandId & 0xFFF0u) == IDM_ABOUTBOX) {
        CAboutDlg about(this);
        about.DoModal();
        return;
    }
    platform::DialogBase::OnSysCommand(commandId, parameter);
}

void CMainDlg::OnPaint() {
    if (!isMinimized()) {
        platform::DialogBase::OnPaint();
        return;
    }
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    const IconOrigin origin = CentredIconOrigin(width(), height(), kSystemIconSize, kSystemIconSize);
    painter.drawPixmap(origin.x, origin.y, icon.pixmap(kSystemIconSize, kSystemIconSize));
}

void CMainDlg::OnRandomizeTree() {
    targetTree.Randomize();
    targetView.Render();
}

void CMainDlg::OnTrain() {
    const std::unique_ptr<COffscreenImage> image = CaptureTargetPicture(targetView);
    TrainTowards(*image, evolver, evolvedView, kGenerationsPerPress);
}
