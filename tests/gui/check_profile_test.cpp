// The check rules in the editor: the setting in the settings dialog, the status
// bar, Check GSD and the colours of a revision 5 file under each choice.

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QStatusBar>
#include <QTextLayout>

#include "app/child_frame.h"
#include "app/main_frame.h"
#include "app/settings_dlg.h"
#include "app/taluna_doc.h"
#include "app/text_buffer.h"
#include "base/string_table.h"
#include "gui_test_main.h"
#include "model/key_database.h"
#include "model/taluna_context.h"
#include "views/gsd_highlighter.h"
#include "views/gsd_tree_view.h"
#include "views/list_box_bar.h"

namespace {

const QByteArray kRev5File =
    "#Profibus_DP\nGSD_Revision = 5\nVendor_Name = \"V\"\nDPV1_Slave = 1\nC1_Max_Data_Len = 240\n";

// Whether a row of the output window is an "Unknown key!" warning.
bool ListsUnknownKey(const CMyListBoxBar& bar) {
    for (int row = 0; row < bar.RowCount(); ++row)
        if (bar.RowText(row, 2).contains("Unknown key!")) return true;
    return false;
}

// Whether the first characters of line `line` carry a format (a coloured keyword).
bool Coloured(const CTalunaDoc& doc, int line) {
    for (const QTextLayout::FormatRange& range : doc.Highlighter()->Formats(doc.Text()->LineBytes(line)))
        if (range.start == 0 && range.length >= 10) return true;
    return false;
}

}  // namespace

class CheckProfileTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_Work;

private slots:
    void settingsDialogKeepsTheChoice() {
        for (int choice : {0, 1, 2}) {
            CSettings settings;
            settings.m_nCheckProfile = choice;
            CSettingsDlg dialog;
            dialog.SetFrom(settings);
            QCOMPARE(dialog.m_pProfile->currentIndex(), choice);
            CSettings back;
            dialog.CopyTo(back);
            QCOMPARE(back.m_nCheckProfile, choice);
        }
    }

    // Each choice: the status bar names the rules, Check GSD applies them and the
    // keywords of later revisions are coloured only under the revision 5 rules.
    void choiceDecidesRulesStatusAndColours_data() {
        QTest::addColumn<int>("choice");
        QTest::addColumn<QString>("revision");
        QTest::addColumn<bool>("rev5");
        QTest::newRow("classic") << 0 << "5" << false;
        QTest::newRow("revision 5") << 1 << "2" << true;
        QTest::newRow("by the file, revision 5") << 2 << "5" << true;
        QTest::newRow("by the file, revision 2") << 2 << "2" << false;
    }
    void choiceDecidesRulesStatusAndColours() {
        QFETCH(int, choice);
        QFETCH(QString, revision);
        QFETCH(bool, rev5);
        const QString path = m_Work.filePath("rev5_" + QString::number(choice) + revision + ".gsd");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(kRev5File).replace("GSD_Revision = 5", "GSD_Revision = " + revision.toLatin1()));
        file.close();

        CMainFrame frame;
        frame.Context().m_Settings.m_nCheckProfile = choice;
        CChildFrame* child = frame.OpenDocumentFile(path);
        QVERIFY(child != nullptr);
        auto* pane = frame.statusBar()->findChild<QLabel*>("ProfilePane");
        QVERIFY(pane != nullptr);
        QCOMPARE(pane->text(), rev5 ? QString("Rules: revision 5") : QString("Rules: classic"));

        child->CheckGsd();
        auto* bar = frame.findChild<CMyListBoxBar*>();
        QVERIFY(bar != nullptr);
        QCOMPARE(ListsUnknownKey(*bar), !rev5);
        const CTalunaDoc& doc = *child->GetDocument();
        QVERIFY(doc.Text()->LineText(3).startsWith("DPV1_Slave"));
        QCOMPARE(Coloured(doc, 3), rev5);
    }

    // Under the revision 5 rules the keys of a block stand under its opener in
    // the tree, an area under its diagnosis block.
    void treeShowsNestedBlocksUnderTheirOpener() {
        const QString path = m_Work.filePath("nested.gsd");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(
            "#Profibus_DP\nGSD_Revision = 5\nUnitDiagType = 130\nX_Unit_Diag_Area = 24-25\n"
            "X_Value(1) = \"one\"\nX_Unit_Diag_Area_End\nEndUnitDiagType\nSlotDefinition\n"
            "Slot(1) = \"S\" 1 1\nEndSlotDefinition\n");
        file.close();
        CMainFrame frame;
        frame.Context().m_Settings.m_nCheckProfile = 2;
        CChildFrame* child = frame.OpenDocumentFile(path);
        QVERIFY(child != nullptr);
        child->CheckGsd();
        CKeyDatabase& database = child->GetDocument()->Database();
        auto itemOf = [&](const char* keyword) -> QModelIndex {
            for (const CKeyEntry* entry : database)
                if (entry->m_Keyword == keyword) return child->TreeView()->ItemOfEntry(*entry);
            return {};
        };
        QVERIFY(itemOf("X_Value").isValid());
        QCOMPARE(itemOf("X_Value").parent(), itemOf("X_Unit_Diag_Area"));
        QCOMPARE(itemOf("X_Unit_Diag_Area").parent(), itemOf("UnitDiagType"));
        QCOMPARE(itemOf("EndUnitDiagType").parent(), itemOf("UnitDiagType"));
        QCOMPARE(itemOf("Slot").parent(), itemOf("SlotDefinition"));
        QVERIFY(itemOf("SlotDefinition").parent() != itemOf("UnitDiagType"));
    }
};

TALUNA_GUI_TEST_MAIN(CheckProfileTest)
#include "check_profile_test.moc"
