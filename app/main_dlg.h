// The main dialog: two OpenGL panels side by side sharing one orbit camera, the target tree on the
// left, the evolver's best tree on the right. It owns every long-lived object by value, through the
// program's one assembly of them; the names below are those objects, not copies.
#pragma once

#include <QIcon>

#include "display/platform/dialog_base.h"
#include "evolution/program_objects.h"

class CMainDlg : public platform::DialogBase {
public:
    explicit CMainDlg(QWidget* parent = nullptr);
    ~CMainDlg() override;

    void OnRandomizeTree();
    void OnTrain();
    QIcon OnQueryDragIcon() const { return icon; }

    QIcon icon;
    CProgramObjects objects;
    CGLView& targetView = objects.targetView;
    CGLView& evolvedView = objects.evolvedView;
    CTreeModel& targetTree = objects.targetTree;
    CEvolver& evolver = objects.evolver;
    COrbitCamera& camera = objects.camera;

protected:
    bool OnInitDialog() override;
    void DoDataExchange() override;
    void OnButtonClicked(int controlId) override;
    void OnSysCommand(unsigned commandId, long parameter) override;
    void OnPaint() override;
};
