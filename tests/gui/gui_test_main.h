#pragma once
// The start of every GUI test program: a private settings directory, the
// resources of the program, and a recorder instead of message boxes.

#include <QApplication>
#include <QDir>
#include <QStringList>
#include <QTemporaryDir>
#include <QtTest>

#include "app/qt_seams.h"

// Every message the program showed, in order.
inline QStringList& RecordedMessages() {
    static QStringList messages;
    return messages;
}

#define TALUNA_GUI_TEST_MAIN(TestClass)                                                                  \
    int main(int argc, char* argv[]) {                                                                   \
        QTemporaryDir config;                                                                            \
        qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());                                         \
        qputenv("HOME", config.path().toLocal8Bit());                                                    \
        QApplication app(argc, argv);                                                                    \
        QApplication::setOrganizationName("Velmar");                                                     \
        QApplication::setApplicationName("Taluna");                                                      \
        Q_INIT_RESOURCE(taluna);                                                                         \
        AppNotifier().m_Recorder = [](const QString& text, ENotifyIcon) { RecordedMessages() << text; }; \
        TestClass test;                                                                                  \
        return QTest::qExec(&test, argc, argv);                                                          \
    }
