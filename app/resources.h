// The program's resources: the two dialog templates, the string table, the icon and its version.
#pragma once

#include <QIcon>
#include <QString>

#include "app/version.h"
#include "display/platform/dialog_template.h"

extern const platform::DialogTemplate kMainDialogTemplate;
extern const platform::DialogTemplate kAboutBoxTemplate;

// The string of the given id, or an empty string for an id the table does not hold.
QString LoadResourceString(int id);

// The icon of the given id: 16, 32 and 48 pixel images; a null icon for an unknown id.
QIcon LoadResourceIcon(int id);

// The name under which the program's files go, and so the caption of its message boxes.
inline constexpr const char* kApplicationName = "Ramulon";
inline constexpr const char* kApplicationVersion = kProjectVersion;
