#include "display/platform/dialog_base.h"

#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QShortcut>

#include "display/platform/control_widget.h"
#include "display/platform/window_object.h"

namespace platform {

void WindowMenu::AppendSeparator() { menu.addSeparator(); }

void WindowMenu::AppendItem(unsigned commandId, const QString& text) {
    QAction* action = menu.addAction(text);
    action->setData(commandId);
}

DialogBase::DialogBase(const DialogTemplate& t, QWidget* parent)
    : QDialog(parent), dialogTemplate(t), windowMenu(new QMenu(this)), windowMenuItems(*windowMenu) {
    QAction* close = windowMenu->addAction(QStringLiteral("Close"));
    close->setData(kCloseCommand);
    QObject::connect(windowMenu, &QMenu::triggered, this,
                     [this](QAction* action) { OnSysCommand(action->data().toUInt(), 0); });
}

DialogBase::~DialogBase() = default;

void DialogBase::Build() {
    if (built) return;
    built = true;
    QFont font(QString::fromUtf8(dialogTemplate.fontFamily));
    font.setPointSize(dialogTemplate.fontPointSize);
    // The font is the controls' only: the layout's units are fixed (see kDialogBaseUnits).
    setFont(font);

    setWindowTitle(QString::fromUtf8(dialogTemplate.caption));
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (dialogTemplate.style & kSystemMenu) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    setWindowFlags(flags);
    const QRect frame = DialogUnitsToPixels(kDialogBaseUnits, dialogTemplate.x, dialogTemplate.y, dialogTemplate.width,
                                            dialogTemplate.height);
    setFixedSize(frame.size());

    for (const ControlTemplate& c : dialogTemplate.controls) {
        QWidget* widget = nullptr;
        const QString text = QString::fromUtf8(c.text);
        if (c.kind == ControlKind::Button) {
            auto* button = new QPushButton(text, this);
            button->setAutoDefault(true);
            button->setDefault((c.style & kDefaultPushButton) != 0);
            button->setContextMenuPolicy(Qt::PreventContextMenu);
            const int id = c.id;
            QObject::connect(button, &QPushButton::clicked, this, [this, id] { OnButtonClicked(id); });
            widget = button;
        } else if (c.style & kNotify) {
            widget = new ControlWidget(this);
        } else {
            auto* label = new QLabel(this);
            if (c.style & kShowsIcon) {
                const QRect r = DialogUnitsToPixels(kDialogBaseUnits, c.x, c.y, c.width, c.height);
                label->setPixmap(QIcon(text).pixmap(r.size().boundedTo(QSize(32, 32))));
            } else {
                label->setTextFormat(Qt::PlainText);
                label->setText(text);
            }
            widget = label;
        }
        widget->setGeometry(DialogUnitsToPixels(kDialogBaseUnits, c.x, c.y, c.width, c.height));
        widget->setFocusPolicy((c.style & kTabStop) ? Qt::StrongFocus : Qt::NoFocus);
        widget->setVisible((c.style & kControlVisible) != 0);
        if (c.id != kUnaddressedControl) controls[c.id] = widget;
    }

    if (dialogTemplate.style & kSystemMenu) {
        auto* shortcut = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Space), this);
        QObject::connect(shortcut, &QShortcut::activated, this, [this] { OpenWindowMenu(mapToGlobal(QPoint(0, 0))); });
    }
}

int DialogBase::DoModal() {
    Build();
    OnInitDialog();
    return exec();
}

bool DialogBase::OnInitDialog() {
    DoDataExchange();
    return true;
}

QWidget* DialogBase::Control(int id) const {
    const auto it = controls.find(id);
    return it != controls.end() ? it->second : nullptr;
}

WindowMenu* DialogBase::GetWindowMenu() { return (dialogTemplate.style & kSystemMenu) ? &windowMenuItems : nullptr; }

void DialogBase::OpenWindowMenu(const QPoint& globalPosition) {
    if (GetWindowMenu() != nullptr) windowMenu->popup(globalPosition);
}

void DialogBase::EndDialog(int result) { done(result); }

void DialogBase::AttachControl(int controlId, WindowObject& object) {
    auto* control = dynamic_cast<ControlWidget*>(Control(controlId));
    Q_ASSERT_X(control != nullptr, "AttachControl", "attach window objects to static controls with kNotify");
    if (control != nullptr) object.Attach(*control);
}

void DialogBase::OnButtonClicked(int controlId) {
    if (controlId == kIdOk || controlId == kIdCancel) EndDialog(controlId);
}

void DialogBase::OnSysCommand(unsigned commandId, long) {
    if ((commandId & 0xFFF0u) == kCloseCommand) reject();
}

void DialogBase::SetIcon(const QIcon& icon, bool) {
    // Window managers take one icon set; the big and the small icon are the same images here.
    setWindowIcon(icon);
}

void DialogBase::paintEvent(QPaintEvent*) { OnPaint(); }

void DialogBase::contextMenuEvent(QContextMenuEvent* event) {
    if (childAt(event->pos()) == nullptr) OpenWindowMenu(event->globalPos());
}

void DialogBase::mouseMoveEvent(QMouseEvent* event) { RouteMouseMove(*this, *event); }

}  // namespace platform
