// A modal dialog built from a template. DoModal makes the controls, runs OnInitDialog before the
// dialog is first shown, then runs the modal loop until a button, Escape or Close ends it.
// Button clicks and window-menu commands reach the virtual handlers below by control or command id.
#pragma once

#include <QDialog>
#include <QIcon>
#include <map>

#include "display/platform/dialog_template.h"
#include "display/platform/dialog_units.h"

class QMenu;

namespace platform {

class ControlWidget;
class WindowObject;

inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
inline constexpr unsigned kCloseCommand = 0xF060;

// The dialog's own window menu: "Close" and whatever the program appends.
class WindowMenu {
public:
    explicit WindowMenu(QMenu& menu) : menu(menu) {}
    void AppendSeparator();
    void AppendItem(unsigned commandId, const QString& text);
    QMenu& Menu() { return menu; }

private:
    QMenu& menu;
};

class DialogBase : public QDialog {
public:
    explicit DialogBase(const DialogTemplate& dialogTemplate, QWidget* parent = nullptr);
    ~DialogBase() override;

    // Returns the id that ended the run: kIdOk or kIdCancel.
    int DoModal();

    QWidget* Control(int id) const;
    // The window menu, or null for a dialog without one.
    WindowMenu* GetWindowMenu();
    void OpenWindowMenu(const QPoint& globalPosition);

    void EndDialog(int result);
    void accept() override { EndDialog(kIdOk); }
    void reject() override { EndDialog(kIdCancel); }

protected:
    // The program's wiring goes first in an override, then the base, which runs the data exchange.
    virtual bool OnInitDialog();
    virtual void DoDataExchange() {}
    // Attaches a window object to an existing static control of this dialog.
    void AttachControl(int controlId, WindowObject& object);

    virtual void OnButtonClicked(int controlId);
    virtual void OnSysCommand(unsigned commandId, long parameter);
    virtual void OnPaint() {}
    void SetIcon(const QIcon& icon, bool big);

    void paintEvent(QPaintEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    // A drag that begins on the background still reaches a panel it moves into.
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void Build();

    const DialogTemplate& dialogTemplate;
    std::map<int, QWidget*> controls;
    QMenu* windowMenu = nullptr;
    WindowMenu windowMenuItems;
    bool built = false;
};

}  // namespace platform
