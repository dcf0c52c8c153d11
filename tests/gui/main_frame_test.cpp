// The application shell: settings, the main window and its indicators, the
// Open command's attribute rules, the output window, templates and help.

#include "app/main_frame.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QSettings>
#include <QTextBrowser>
#include <QTreeWidget>

#include "app/about_dlg.h"
#include "app/child_frame.h"
#include "app/command_ids.h"
#include "app/help_topics.h"
#include "app/help_window.h"
#include "app/progress_wnd.h"
#include "app/settings_dlg.h"
#include "app/taluna_doc.h"
#include "app/text_buffer.h"
#include "base/check_message.h"
#include "base/message_catalogue.h"
#include "check/keyword_catalogue.h"
#include "gui_test_main.h"
#include "main_window_fixture.h"
#include "model/file_rules.h"
#include "model/ini_profile.h"
#include "views/gsd_text_view.h"
#include "views/list_box_bar.h"
#include "views/template_dlg.h"

namespace {

void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

const QByteArray kGsd = "#Profibus_DP\r\nGSD_Revision = 1\r\nVendor_Name = \"Velmar\"\r\n";

}  // namespace

class MainFrameTest : public QObject, CMainWindowFixture {
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(EnterWorkDirectory()); }
    void cleanupTestCase() { LeaveWorkDirectory(); }
    void init() { ResetRecordsAndSettings(); }

    void settingsDefaultsAndTheExactlyOneRule() {
        CMemoryProfileStore empty;
        CSettings settings;
        settings.Read(empty);
        QCOMPARE(settings.m_bFlatbar, 1);
        QCOMPARE(settings.m_bShowSplash, 1);
        QCOMPARE(settings.m_bCoolMenu, 1);
        QCOMPARE(settings.m_bNoSemanticCheck, 0);
        QCOMPARE(settings.m_bNoWinPosSave, 0);
        QCOMPARE(settings.m_nNoBackup, 0);
        QCOMPARE(settings.m_nWarnings, 0);
        CMemoryProfileStore two;
        two.PutInt("Settings", "ShowSplash", 2);
        two.PutInt("Settings", "NoBackup", 2);
        settings.Read(two);
        QCOMPARE(settings.m_bShowSplash, 0);
        QCOMPARE(settings.m_nNoBackup, 2);
    }

    void firstStartWritesAllTenValuesAtExit() {
        {
            CMainFrame frame;
            QCOMPARE(frame.Context().m_Settings.m_bShowSplash, 1);
            QVERIFY(frame.IsToolBarFlat());
            frame.Context().m_Settings.m_nWarnings = 1;
            frame.Context().m_Settings.m_LastDir = "/tmp/gsd";
        }
        QSettings settings("Velmar", "Taluna");
        QCOMPARE(QFileInfo(settings.fileName()).fileName(), QString("Taluna.conf"));
        QCOMPARE(settings.value("Settings/Expert").toInt(), 1);
        QCOMPARE(settings.value("Settings/Flatbar").toInt(), 1);
        QCOMPARE(settings.value("Settings/ShowSplash").toInt(), 1);
        QCOMPARE(settings.value("Settings/CoolMenu").toInt(), 1);
        QCOMPARE(settings.value("Settings/NoBackup").toInt(), 0);
        QCOMPARE(settings.value("Settings/Syntax").toInt(), 0);
        QCOMPARE(settings.value("Settings/Warnings").toInt(), 1);
        QCOMPARE(settings.value("Settings/LastDir").toString(), QString("/tmp/gsd"));
        QCOMPARE(settings.value("FailSafe/NoSemanticCheck").toInt(), 0);
        QCOMPARE(settings.value("FailSafe/NoWinPosSave").toInt(), 0);
        CMainFrame again;
        QCOMPARE(again.Context().m_Settings.m_nWarnings, 1);
    }

    void windowStateIsSavedUnlessNoWinPosSave() {
        {
            CMainFrame frame;
            frame.show();
            frame.close();
        }
        QVERIFY(QSettings("Velmar", "Taluna").contains("FloatBars/State"));
        QSettings("Velmar", "Taluna").clear();
        QSettings("Velmar", "Taluna").setValue("FailSafe/NoWinPosSave", 1);
        {
            CMainFrame frame;
            frame.show();
            frame.close();
        }
        QVERIFY(!QSettings("Velmar", "Taluna").contains("FloatBars/State"));
    }

    void settingsDialogBoxesAndCancel() {
        CSettingsDlg dialog;
        QVERIFY(!dialog.m_pNoSemanticCheck->isEnabledTo(&dialog));
        QVERIFY(!dialog.m_pNoWinPosSave->isEnabledTo(&dialog));
        QVERIFY(!dialog.m_pSyntax->isEnabledTo(&dialog));
        QVERIFY(dialog.m_pShowSplash->isEnabledTo(&dialog));
        QVERIFY(dialog.m_pCoolMenu->isEnabledTo(&dialog));
        QVERIFY(dialog.m_pNoBackup->isEnabledTo(&dialog));
        QVERIFY(dialog.m_pWarnings->isEnabledTo(&dialog));
        QCOMPARE(dialog.windowTitle(), QString("Settings..."));
        CSettings settings;
        dialog.SetFrom(settings);
        dialog.m_pNoBackup->setChecked(true);
        dialog.m_pShowSplash->setChecked(false);
        dialog.CopyTo(settings);
        QCOMPARE(settings.m_nNoBackup, 1);
        QCOMPARE(settings.m_bShowSplash, 0);
    }

    void indicatorsWithoutAndWithADocument() {
        CMainFrame frame;
        frame.show();
        QCOMPARE(frame.ModifiedIndicatorText(), QString("---"));
        QCOMPARE(frame.CaretIndicatorText(), QString("---"));
        WriteAll(m_Work.filePath("ind.gsd"), kGsd);
        CChildFrame* child = frame.OpenDocumentFile(m_Work.filePath("ind.gsd"));
        QVERIFY(child);
        QCOMPARE(frame.ModifiedIndicatorText(), QString("Original"));
        child->TextView()->SelectLine(2);
        QCOMPARE(frame.CaretIndicatorText(), QString("Line: 3, Char: 23"));
        child->TextView()->InsertText("x");
        QCOMPARE(frame.ModifiedIndicatorText(), QString("Modified"));
        QCOMPARE(frame.findChild<QLabel*>("ModifiedPane")->text(), QString("Modified"));
        child->GetDocument()->SetModified(false);
    }

    void openActivatesAnAlreadyOpenFile() {
        CMainFrame frame;
        WriteAll(m_Work.filePath("twice.gsd"), kGsd);
        CChildFrame* first = frame.OpenDocumentFile(m_Work.filePath("twice.gsd"));
        CChildFrame* second = frame.OpenDocumentFile(QDir(m_Work.path()).filePath("./twice.gsd"));
        QCOMPARE(first, second);
        QCOMPARE(frame.Children().size(), 1);
        QCOMPARE(frame.RecentFiles().first(), QFileInfo(m_Work.filePath("twice.gsd")).absoluteFilePath());
    }

    void openCommandAttributeRules() {
        CMainFrame frame;
        WriteAll(m_Work.filePath("one.gsd"), kGsd);
        WriteAll(m_Work.filePath(".hidden.gsd"), kGsd);
        WriteAll(m_Work.filePath("three.gsd"), kGsd);
        QDir(m_Work.path()).mkdir("sub.gsd");
        QCOMPARE(CMainFrame::QueryFileAttributes(m_Work.filePath("sub.gsd")) & FILE_ATTR_DIRECTORY,
                 FILE_ATTR_DIRECTORY);
        QCOMPARE(CMainFrame::QueryFileAttributes(m_Work.filePath("nothing")), FILE_ATTR_ALL);
        frame.OpenFiles({m_Work.filePath("one.gsd"), m_Work.filePath("sub.gsd"), m_Work.filePath("three.gsd")}, false);
        QCOMPARE(frame.Children().size(), 1);
        QCOMPARE(RecordedMessages().size(), 1);
        QVERIFY(RecordedMessages().first().contains("is marked as a directory"));
        QCOMPARE(frame.Context().m_Settings.m_LastDir, std::string());

        RecordedMessages().clear();
        frame.OpenFiles({m_Work.filePath(".hidden.gsd")}, false);
        QVERIFY(RecordedMessages().first().contains("has the hidden flag"));
        CChildFrame* hidden = frame.ActiveChild();
        QCOMPARE(hidden->GetDocument()->m_bWriteProtected, 1);
        QCOMPARE(QString::fromStdString(frame.Context().m_Settings.m_LastDir), m_Work.path());

        frame.OpenFiles({m_Work.filePath("three.gsd")}, true);
        QCOMPARE(frame.ActiveChild()->GetDocument()->m_bWriteProtected, 1);
        QVERIFY(frame.ActiveChild()->TextView()->IsReadOnly());
        for (CChildFrame* child : frame.Children()) child->GetDocument()->SetModified(false);
    }

    void closingADocumentClearsTheOutput() {
        CMainFrame frame;
        frame.show();
        QCOMPARE(frame.OutputBar()->RowCount(), 1);
        QCOMPARE(frame.OutputBar()->RowText(0, 0), QString("Info"));
        QCOMPARE(frame.OutputBar()->RowText(0, 1), QString("---"));
        QVERIFY(frame.OutputBar()->RowText(0, 2).contains("Taluna"));
        WriteAll(m_Work.filePath("close.gsd"), kGsd);
        CChildFrame* child = frame.OpenDocumentFile(m_Work.filePath("close.gsd"));
        frame.AddCheckMessage(CheckMessageKind::Error, 1, "bad", child->GetDocument());
        QCOMPARE(frame.OutputBar()->RowCount(), 2);
        frame.MdiArea()->activeSubWindow()->close();
        QCoreApplication::processEvents();
        QCOMPARE(frame.OutputBar()->RowCount(), 0);
        QVERIFY(frame.Children().isEmpty());
    }

    // The keys registered in the settings are checked as user keys: before a
    // registration, after it, and after it was taken back while the section
    // stays (the check asks the settings for them only when there may be some).
    void userKeysOfTheSettingsAreChecked() {
        WriteAll(m_Work.filePath("userkey.gsd"), kGsd + "My_Key = 7\r\n");
        const auto unknownKeyListed = [&]() {
            CMainFrame frame;
            CChildFrame* child = frame.OpenDocumentFile(m_Work.filePath("userkey.gsd"));
            if (child == nullptr) return -1;
            child->CheckGsd();
            const CMyListBoxBar* bar = frame.OutputBar();
            for (int row = 0; row < bar->RowCount(); ++row)
                if (bar->RowText(row, 2).contains("Unknown key!")) return 1;
            return 0;
        };
        QCOMPARE(unknownKeyListed(), 1);
        QSettings("Velmar", "Taluna").setValue("UserKeys/MY_KEY", "1;0;0-9");
        QCOMPARE(unknownKeyListed(), 0);
        QSettings("Velmar", "Taluna").remove("UserKeys/MY_KEY");
        QSettings("Velmar", "Taluna").setValue("UserKeys/Summary", "OTHER,");
        QCOMPARE(unknownKeyListed(), 1);
    }

    void outputRows() {
        CMyListBoxBar bar;
        CTalunaContext context;
        context.m_pMessages = &bar;
        int doc = 0;
        context.AddCheckMessage(CheckMessageKind::Error, -1, "no line", nullptr);
        context.AddCheckMessage(CheckMessageKind::Note, 0, "note", nullptr);
        context.AddCheckMessage(CheckMessageKind::Warning, 0, "first", &doc);
        context.AddCheckMessage(CheckMessageKind::FatalError, 41, "fatal", nullptr);
        QCOMPARE(bar.RowCount(), 4);
        QCOMPARE(bar.RowText(0, 0), QString("Error"));
        QCOMPARE(bar.RowText(0, 1), QString("---"));
        QCOMPARE(bar.RowText(1, 0), QString("Info"));
        QCOMPARE(bar.RowText(1, 1), QString("---"));
        QCOMPARE(bar.RowText(2, 1), QString("Line 1"));
        QCOMPARE(bar.RowText(3, 0), QString("Fatal Error"));
        QCOMPARE(bar.RowText(3, 1), QString("Line 42"));
        QCOMPARE(bar.RowText(3, 2), QString("fatal"));
        QCOMPARE(bar.RowIconIndex(0), 1);
        QCOMPARE(bar.RowIconIndex(1), 0);
        QCOMPARE(bar.RowIconIndex(2), 3);
        QCOMPARE(bar.RowIconIndex(3), 2);
        QCOMPARE(bar.NavigationDocument(), static_cast<const void*>(&doc));
        context.m_Settings.m_nWarnings = 1;
        const int counted = context.m_nCheckMessages;
        context.AddCheckMessage(CheckMessageKind::Warning, 3, "hidden", nullptr);
        QCOMPARE(bar.RowCount(), 4);
        QCOMPARE(context.m_nCheckMessages, counted + 1);
        bar.Clear();
        QCOMPARE(bar.RowCount(), 0);
        QCOMPARE(bar.NavigationDocument(), static_cast<const void*>(nullptr));
    }

    void hiddenOutputBarShowsAgainAtTheFirstMessage() {
        CMainFrame frame;
        frame.show();
        frame.OutputBar()->hide();
        frame.AddCheckMessage(CheckMessageKind::Info, 0, "again", nullptr);
        QVERIFY(frame.OutputBar()->isVisible());
    }

    void templateChooserListsMarkedFiles() {
        QTemporaryDir dir;
        WriteAll(dir.filePath("a.tpl"), "; Taluna: Compact slave\r\n#Profibus_DP\r\n");
        WriteAll(dir.filePath("b.tpl"), "; no marker here\r\n#Profibus_DP\r\n");
        WriteAll(dir.filePath("c.tpl"), "; Taluna:   Master  \n#Profibus_DP\n");
        WriteAll(dir.filePath("d.txt"), "; Taluna: not a template\n");
        CMemoryProfileStore profile;
        profile.PutString("Settings", "Tpl_Path", dir.path().toStdString());
        CTemplateDlg chooser(&profile);
        QTreeWidget* list = chooser.List();
        QCOMPARE(list->topLevelItemCount(), 2);
        QCOMPARE(list->topLevelItem(0)->text(0), QString("a.tpl"));
        QCOMPARE(list->topLevelItem(0)->text(1), QString("Compact slave"));
        QCOMPARE(list->topLevelItem(1)->text(1), QString("Master"));
        QVERIFY(!chooser.OpenButton()->isEnabled());
        list->setCurrentItem(list->topLevelItem(0));
        QTest::keyClick(list, Qt::Key_Down);
        QCOMPARE(chooser.SelectedPath(), dir.path() + "/c.tpl");
        QVERIFY(chooser.OpenButton()->isEnabled());
        QTest::keyClick(list, Qt::Key_Down);
        QCOMPARE(chooser.SelectedPath(), dir.path() + "/");
        QVERIFY(!chooser.OpenButton()->isEnabled());
    }

    void templateChooserErrorRowsAndBrowse() {
        QTemporaryDir dir;
        CMemoryProfileStore profile;
        profile.PutString("Settings", "Tpl_Path", (dir.path() + "/missing").toStdString());
        CTemplateDlg chooser(&profile);
        QCOMPARE(chooser.List()->topLevelItemCount(), 1);
        QCOMPARE(chooser.List()->topLevelItem(0)->text(0), QString("Error !"));
        QCOMPARE(chooser.List()->topLevelItem(0)->text(1), QString("No files found. Use Browse.."));
        chooser.m_BrowseHook = [] { return QString(); };
        chooser.FillList(true);
        QCOMPARE(chooser.List()->topLevelItem(0)->text(1), QString("No directory selected."));
        WriteAll(dir.filePath("m.tpl"), "; Taluna: Modular slave\n");
        chooser.m_BrowseHook = [&] { return dir.filePath("m.tpl"); };
        chooser.FillList(true);
        QCOMPARE(chooser.List()->topLevelItemCount(), 1);
        QCOMPARE(chooser.List()->topLevelItem(0)->text(1), QString("Modular slave"));
        QCOMPARE(QString::fromStdString(profile.GetString("Settings", "Tpl_Path", "")), dir.path() + "/");
    }

    void bundledTemplatesPassAndOpenAsUntitledDocuments() {
        CMemoryProfileStore profile;
        const QString dir = CTemplateDlg::DefaultTemplateDir(&profile);
        QVERIFY2(dir == CTemplateDlg::BundledTemplateDir(), qPrintable(dir));
        CTemplateDlg chooser(&profile);
        QVERIFY(chooser.List()->topLevelItemCount() >= 3);
        CMainFrame frame;
        CChildFrame* child = frame.NewDocumentFromTemplate(dir + "compact_slave.tpl");
        QVERIFY(child);
        QVERIFY(child->GetDocument()->PathName().isEmpty());
        QCOMPARE(child->GetDocument()->Title(), QString("GSD1"));
        QVERIFY(child->GetDocument()->Text()->LineText(0).contains("Taluna:"));
        QVERIFY(child->GetDocument()->Database().GetCount() > 20);
        QVERIFY(!child->GetDocument()->IsModified());
    }

    void helpTopicsAndPages() {
        QCOMPARE(HelpTopicForContext(HID_BASE_COMMAND + ID_EXTRAS_REBUILD), std::string("cmd_extras_rebuild.htm"));
        QCOMPARE(HelpTopicForContext(HID_BASE_COMMAND + ID_FILE_MRU_FIRST + 3), std::string("cmd_file_mru.htm"));
        QCOMPARE(HelpTopicForContext(HID_BASE_RESOURCE + IDR_MAINFRAME), std::string("wnd_main.htm"));
        QCOMPARE(HelpTopicForContext(HID_BASE_CONTROL + IDC_OUTPUT_LIST), std::string("wnd_output.htm"));
        QCOMPARE(HelpTopicForContext(12345), std::string());
        for (int id = HID_BASE_COMMAND; id < HID_BASE_CONTROL + 0x10000; ++id) {
            const std::string topic = HelpTopicForContext(id);
            if (!topic.empty()) QVERIFY2(QFile::exists(":/help/" + QString::fromStdString(topic)), topic.c_str());
        }
        QVERIFY(QFile::exists(":/help/default.htm"));
        CHelpWindow help;
        help.ContextHelp(HID_BASE_COMMAND + ID_EXTRAS_REBUILD);
        QCOMPARE(help.CurrentPage(), QString("cmd_extras_rebuild.htm"));
        help.ContextHelp(4242);
        QCOMPARE(help.CurrentPage(), QString("default.htm"));
        QCOMPARE(help.CurrentAnchor(), QString("contents"));
        help.WinHelp("default.htm", HELP_DISPLAY_INDEX);
        QCOMPARE(help.CurrentAnchor(), QString("index"));
    }

    // Every message of the catalogue has its help page in the program, in one
    // shape: the message, its kind, what it means, the example and its correction.
    void everyMessageHasItsHelpPage() {
        for (const SMessageInfo& m : Messages()) {
            const QString page = QString::fromStdString(HelpPageName(m.m_nId));
            QFile file(":/help/" + page);
            QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(page));
            const QString html = QString::fromLatin1(file.readAll());
            auto escaped = [](const char* text) {
                return QString::fromLatin1(text).toHtmlEscaped().replace("&quot;", "\"");
            };
            for (const QString& part :
                 {"<h1>GSD" + QString::number(m.m_nId) + ": " + escaped(m.m_pszTitle) + "</h1>",
                  "<p><b>Message:</b> " + escaped(m.m_pszText) + "</p>",
                  QString("<p><b>Kind:</b> ") + CheckMessageKind::Name(m.m_nKind) + "</p>",
                  "<p><b>What it means:</b> " + escaped(m.m_pszExplanation) + "</p>",
                  "<pre>" + escaped(m.m_pszExample) + "</pre>", "<pre>" + escaped(m.m_pszCorrected) + "</pre>"})
                QVERIFY2(html.contains(part), qPrintable(page + ": " + part));
        }
        QFile all(":/help/messages.htm");
        QVERIFY(all.open(QIODevice::ReadOnly));
        const QString list = QString::fromLatin1(all.readAll());
        for (const SMessageInfo& m : Messages())
            QVERIFY2(list.contains(QString::fromStdString("href=\"" + HelpPageName(m.m_nId) + "\"")),
                     qPrintable(QString::number(m.m_nId)));
    }

    void everyKeywordHasItsGlossaryAnchor() {
        QHash<QString, QString> pages;
        for (int i = 0; i < KeywordCatalogue::RowCount(); ++i) {
            const QString link = QString::fromStdString(KeywordCatalogue::Row(i).HelpLink());
            const QString page = link.section('#', 0, 0);
            if (!pages.contains(page)) {
                QFile file(":/help/" + page);
                QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(page));
                pages[page] = QString::fromLatin1(file.readAll());
            }
            QVERIFY2(pages[page].contains("<a name=\"" + link.section('#', 1) + "\">"), qPrintable(link));
        }
        CHelpWindow help;
        help.WinHelp("glossary_keys_general.htm#Vendor_Name", HELP_DISPLAY_TOPIC);
        QCOMPARE(help.CurrentPage(), QString("glossary_keys_general.htm"));
        QCOMPARE(help.CurrentAnchor(), QString("Vendor_Name"));
        QVERIFY(help.Browser()->toPlainText().contains("Vendor_Name"));
    }

    void progressPercentText() {
        QCOMPARE(CProgressWnd::Percent(0, 100, 100), 100);
        QCOMPARE(CProgressWnd::Percent(0, 100, 0), 0);
        QCOMPARE(CProgressWnd::Percent(0, 100, 45), 45);
        QWidget owner;
        owner.setEnabled(false);
        {
            CProgressWnd progress(&owner);
            progress.SetPos(100);
            QCOMPARE(progress.PercentText(), QString("100%"));
        }
        QVERIFY(!owner.isEnabled());
        QWidget enabled;
        {
            CProgressWnd progress(&enabled);
            QVERIFY(!enabled.isEnabled());
        }
        QVERIFY(enabled.isEnabled());
    }

    void aboutBoxShowsMemoryAndDisk() {
        CAboutDlg about;
        QVERIFY(about.MemoryText().endsWith(" KB"));
        QVERIFY(about.DiskText().contains(" KB Free on "));
        QVERIFY(CAboutDlg::FreeMemoryKb().has_value());
    }
};

TALUNA_GUI_TEST_MAIN(MainFrameTest)
#include "main_frame_test.moc"
