#include "app/resources.h"

#include "app/resource_ids.h"

namespace {

using platform::ControlKind;
using platform::ControlTemplate;
using platform::DialogTemplate;

constexpr unsigned kPushButtonStyle = platform::kControlVisible | platform::kTabStop | platform::kPushButton;
constexpr unsigned kPanelStyle =
    platform::kControlVisible | platform::kGroupStart | platform::kLeftText | platform::kNotify;
constexpr unsigned kDialogStyle =
    platform::kCaption | platform::kSystemMenu | platform::kModalFrame | platform::kOwnFont;
constexpr const char* kDialogFont = "DejaVu Sans";

constexpr ControlTemplate kMainDialogControls[] = {
    {IDOK, ControlKind::Button, "OK", 7, 257, 50, 16,
     platform::kControlVisible | platform::kTabStop | platform::kDefaultPushButton},
    {IDCANCEL, ControlKind::Button, "Cancel", 449, 257, 50, 16, kPushButtonStyle},
    {IDC_EVOLVED_VIEW, ControlKind::Static, "", 277, 18, 205, 222, kPanelStyle},
    {IDC_TARGET_VIEW, ControlKind::Static, "Static", 19, 18, 205, 222, kPanelStyle},
    {IDC_TRAIN, ControlKind::Button, "Train", 353, 257, 64, 14, kPushButtonStyle},
    {IDC_RANDOMIZE_TREE, ControlKind::Button, "Randomize Tree", 81, 257, 64, 14, kPushButtonStyle},
};

constexpr ControlTemplate kAboutBoxControls[] = {
    {platform::kUnaddressedControl, ControlKind::Static, ":/icons/ramulon-32.png", 11, 17, 20, 20,
     platform::kControlVisible | platform::kShowsIcon},
    {platform::kUnaddressedControl, ControlKind::Static, "Ramulon Version 1.0", 40, 10, 119, 8,
     platform::kControlVisible | platform::kGroupStart | platform::kLeftText | platform::kNoPrefix},
    {platform::kUnaddressedControl, ControlKind::Static, "Evolves trees towards a picture.", 40, 25, 119, 8,
     platform::kControlVisible | platform::kGroupStart | platform::kLeftText},
    {IDOK, ControlKind::Button, "OK", 178, 7, 50, 16,
     platform::kControlVisible | platform::kGroupStart | platform::kTabStop | platform::kDefaultPushButton},
};

}  // namespace

const DialogTemplate kMainDialogTemplate = {IDD_MAIN_DIALOG,
                                            "Ramulon",
                                            0,
                                            0,
                                            504,
                                            281,
                                            kDialogStyle | platform::kDialogVisible | platform::kOwnTaskbarButton,
                                            kDialogFont,
                                            8,
                                            kMainDialogControls};

const DialogTemplate kAboutBoxTemplate = {IDD_ABOUTBOX, "About Ramulon", 0,           0, 235,
                                          55,           kDialogStyle,    kDialogFont, 8, kAboutBoxControls};

QString LoadResourceString(int id) {
    if (id == IDS_ABOUTBOX) return QStringLiteral("&About Ramulon...");
    return {};
}

QIcon LoadResourceIcon(int id) {
    // The images live in the app's static library, whose resource registration the linker would drop
    // unless something names it.
    Q_INIT_RESOURCE(ramulon);
    if (id != IDR_MAINFRAME) return {};
    QIcon icon;
    for (int size : {16, 32, 48}) icon.addFile(QStringLiteral(":/icons/ramulon-%1.png").arg(size), QSize(size, size));
    return icon;
}
