#pragma once
// What the tests of the main window share: a work directory that is the
// current directory while they run (the editor writes its backup files there),
// copies of corpus files in it, the commands of the main window by id, and
// windows closed without the save question.

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMdiArea>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <functional>

#include "app/child_frame.h"
#include "app/main_frame.h"
#include "app/taluna_doc.h"
#include "gui_test_main.h"

inline const QString kCorpus = QStringLiteral(TALUNA_CORPUS_DIR);

// The main window's action of command `id`, or null.
inline QAction* Command(CMainFrame& frame, int id) {
    for (QAction* action : frame.findChildren<QAction*>())
        if (action->property("commandId").toInt() == id) return action;
    return nullptr;
}

// Runs `action` on the next modal dialog of type T once it shows.
template <typename T>
void OnNextDialog(std::function<void(T*)> action) {
    QTimer::singleShot(0, [action] {
        for (int i = 0; i < 200; ++i) {
            if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
                action(dialog);
                return;
            }
            QTest::qWait(10);
        }
    });
}

class CMainWindowFixture {
protected:
    QTemporaryDir m_Work;
    QString m_OldCwd;

    // For initTestCase and cleanupTestCase.
    bool EnterWorkDirectory() {
        m_OldCwd = QDir::currentPath();
        return QDir::setCurrent(m_Work.path());
    }
    void LeaveWorkDirectory() { QDir::setCurrent(m_OldCwd); }
    // For init: no messages recorded, default settings.
    static void ResetRecordsAndSettings() {
        RecordedMessages().clear();
        QSettings("Velmar", "Taluna").clear();
    }

    // A writable copy of a corpus file in the work directory under `target`
    // (the corpus file's name when empty); empty when it cannot be made.
    QString Copy(const QString& name, QString target = QString()) {
        target = m_Work.filePath(target.isEmpty() ? name : target);
        QFile::remove(target);
        if (!QFile::copy(kCorpus + '/' + name, target)) return {};
        QFile(target).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        return target;
    }
    // A file of `bytes` in the work directory; empty when it cannot be written.
    QString Write(const QString& name, const QByteArray& bytes) {
        const QString target = m_Work.filePath(name);
        QFile file(target);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()) return {};
        return target;
    }

    // Closes every document window, dropping unsaved changes.
    static void CloseAll(CMainFrame& frame) {
        for (CChildFrame* child : frame.Children()) child->GetDocument()->SetModified(false);
        frame.MdiArea()->closeAllSubWindows();
    }
};
