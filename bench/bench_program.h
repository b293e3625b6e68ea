// The dialog's long-lived objects on Qt's offscreen platform, at the real panel size, constructed in
// the dialog's order: the target tree takes its random draws before the evolver's 276 individuals,
// as in a fresh program. Wire() links them through the dialog's own wiring.
#pragma once

#include <QApplication>
#include <QWidget>
#include <chrono>
#include <cstdlib>

#include "app/panel_wiring.h"
#include "display/gl_view.h"
#include "display/orbit_camera.h"
#include "display/platform/control_widget.h"
#include "evolution/evolver.h"
#include "tree/tree_model.h"

namespace bench {

using Clock = std::chrono::steady_clock;

inline constexpr int kPanelWidth = 308;
inline constexpr int kPanelHeight = 361;

inline double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// Before the QApplication exists: no display needed, and a writable shader cache.
inline void PrepareEnvironment() {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("MESA_SHADER_CACHE_DIR", RAMULON_SHADER_CACHE, 0);
}

struct Program {
    Program() {
        host.resize(2 * kPanelWidth + 30, kPanelHeight + 20);
        targetControl->setGeometry(10, 10, kPanelWidth, kPanelHeight);
        evolvedControl->setGeometry(kPanelWidth + 20, 10, kPanelWidth, kPanelHeight);
    }
    ~Program() {
        targetView.Detach();
        evolvedView.Detach();
    }

    // The dialog's own wiring, then the panels attached to their controls as the dialog's initialisation does.
    void Wire() {
        WireMainPanels(targetView, evolvedView, targetTree, evolver, camera);
        targetView.Attach(*targetControl);
        evolvedView.Attach(*evolvedControl);
    }

    QWidget host;
    platform::ControlWidget* targetControl = new platform::ControlWidget(1003, &host);
    platform::ControlWidget* evolvedControl = new platform::ControlWidget(1004, &host);
    CGLView targetView;
    CGLView evolvedView;
    CTreeModel targetTree;
    CEvolver evolver;
    COrbitCamera camera;
};

}  // namespace bench
