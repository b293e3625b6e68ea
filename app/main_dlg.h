// The main dialog: two OpenGL panels side by side sharing one orbit camera, the target tree on the
// left, the evolver's best tree on the right. It owns every long-lived object by value; the members
// are constructed in declaration order, which fixes which random trees a run starts with.
#pragma once

#include <QIcon>

#include "display/gl_view.h"
#include "display/orbit_camera.h"
#include "display/platform/dialog_base.h"
#include "evolution/evolver.h"
#include "tree/tree_model.h"

class CMainDlg : public platform::DialogBase {
public:
    explicit CMainDlg(QWidget* parent = nullptr);
    ~CMainDlg() override;

    void OnRandomizeTree();
    void OnTrain();
    QIcon OnQueryDragIcon() const { return icon; }

    QIcon icon;
    CGLView targetView;
    CGLView evolvedView;
    CTreeModel targetTree;
    CEvolver evolver;
    COrbitCamera camera;

protected:
    bool OnInitDialog() override;
    void DoDataExchange() override;
    void OnButtonClicked(int controlId) override;
    void OnSysCommand(unsigned commandId, long parameter) override;
    void OnPaint() override;
};
