#include "app/app_icons.h"

// The icons are linked into the program from a static library: their
// resources are registered when first asked for. (Outside any namespace, as
// the registration's declaration must be.)
static void RegisterIcons() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(icons);
        return true;
    }();
    (void)registered;
}

QIcon BundledIcon(const QString& themeName) {
    RegisterIcons();
    return QIcon(QStringLiteral(":/icons/%1.svg").arg(themeName));
}

QIcon CommandIcon(const QString& themeName) {
    return QIcon::fromTheme(themeName, BundledIcon(themeName));
}

QIcon AppIcon() {
    RegisterIcons();
    return QIcon(QStringLiteral(":/icons/taluna.svg"));
}
