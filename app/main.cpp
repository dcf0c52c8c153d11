// taluna: the desktop editor and checker for PROFIBUS-DP device description files.

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>

#include "app/app_icons.h"
#include "app/child_frame.h"
#include "app/main_frame.h"
#include "app/splash_wnd.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setOrganizationName("Velmar");
    QApplication::setApplicationName("Taluna");
    QApplication::setApplicationVersion(TALUNA_VERSION);
    Q_INIT_RESOURCE(taluna);
    // Every window carries the program's icon; the desktop finds the program's
    // entry (and with it the icon of its windows) by the .desktop file's name.
    QApplication::setWindowIcon(AppIcon());
    QGuiApplication::setDesktopFileName("taluna");

    QCommandLineParser parser;
    parser.setApplicationDescription("Editor and checker for PROFIBUS-DP device description files (GSD files).");
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption noSplash({"n", "nosplash"}, "Start without the splash window.");
    parser.addOption(noSplash);
    parser.addPositionalArgument("FILE", "GSD files to open.", "[FILE...]");
    parser.process(app);
    CSplashWnd::EnableSplashWindow(!parser.isSet(noSplash));

    CMainFrame frame;
    frame.show();
    frame.ShowSplashIfWanted();
    const QStringList files = parser.positionalArguments();
    bool opened = false;
    for (const QString& file : files) opened = frame.OpenDocumentFile(file) != nullptr || opened;
    if (files.isEmpty()) frame.NewEmptyDocument();
    if (!files.isEmpty() && !opened && frame.Children().isEmpty()) frame.NewEmptyDocument();
    return app.exec();
}
