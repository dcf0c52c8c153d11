#pragma once
// The icons of the program: a command's icon comes from the desktop's icon
// theme when it has one of that name, else from the SVG bundled in the
// resources (":/icons/<name>.svg"); the program's own icon is bundled too.

#include <QIcon>
#include <QString>

// The icon of a command by its name in the freedesktop icon naming
// ("document-open", "edit-cut", ...).
QIcon CommandIcon(const QString& themeName);
// The bundled icon of that name alone, without the theme.
QIcon BundledIcon(const QString& themeName);
// The program's icon, for its windows.
QIcon AppIcon();
