// The Slave Configuration window in the real main window: it opens with the
// default modules of the Slot lines, plugs, removes and moves modules as the
// limits allow, sets parameters by their texts and numbers and shows the bytes
// change, names the source line of every byte, lists its findings in the output
// window leading to their lines, keeps the plugs and settings over a Rebuild,
// and exports the JSON that taluna-config writes for the same plugs.

#include "views/slave_config_window.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMdiArea>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTreeView>

#include "app/child_frame.h"
#include "app/command_ids.h"
#include "app/cp1252.h"
#include "app/main_frame.h"
#include "app/taluna_doc.h"
#include "app/text_buffer.h"
#include "gui_test_main.h"
#include "main_window_fixture.h"
#include "views/gsd_text_view.h"
#include "views/list_box_bar.h"

namespace {

// A modular slave of three modules with two Slot lines: "DI 8" (reference 1,
// 1 input byte), "AI 2" (reference 2, 2 input words, 3 parameter bytes) and
// "DO 16" (reference 3, 2 output bytes). A text of PrmText 2 holds the
// Windows-1252 byte E4.
const QByteArray kSlave =
    "#Profibus_DP\r\n"
    "GSD_Revision = 5\r\n"
    "Vendor_Name = \"Velmar\"\r\n"
    "Station_Type = 0\r\n"
    "Modular_Station = 1\r\n"
    "Max_Module = 3\r\n"
    "Max_Input_Len = 5\r\n"
    "Max_Output_Len = 4\r\n"
    "Max_User_Prm_Data_Len = 12\r\n"
    "Modul_Offset = 1\r\n"
    "PrmText = 1\r\n"
    "Text(0) = \"off\"\r\n"
    "Text(1) = \"on\"\r\n"
    "EndPrmText\r\n"
    "PrmText = 2\r\n"
    "Text(0) = \"fast\"\r\n"
    "Text(2) = \"slow\"\r\n"
    "Text(3) = \"gefiltert \xE4\"\r\n"
    "EndPrmText\r\n"
    "ExtUserPrmData = 1 \"Diagnosis\"\r\n"
    "Bit(0) 1 0-1\r\n"
    "Prm_Text_Ref = 1\r\n"
    "EndExtUserPrmData\r\n"
    "ExtUserPrmData = 2 \"Filter\"\r\n"
    "BitArea(4-5) 0 0,2,3\r\n"
    "Prm_Text_Ref = 2\r\n"
    "EndExtUserPrmData\r\n"
    "ExtUserPrmData = 3 \"Limit\"\r\n"
    "Unsigned16 100 0-1000\r\n"
    "EndExtUserPrmData\r\n"
    "Ext_User_Prm_Data_Const(0) = 0x00,0x00,0x00\r\n"
    "Ext_User_Prm_Data_Ref(2) = 1\r\n"
    "Module = \"DI 8\" 0x10\r\n"
    "1\r\n"
    "EndModule\r\n"
    "Module = \"AI 2\" 0x51\r\n"
    "2\r\n"
    "Ext_Module_Prm_Data_Len = 3\r\n"
    "Ext_User_Prm_Data_Const(0) = 0x80\r\n"
    "Ext_User_Prm_Data_Ref(0) = 2\r\n"
    "Ext_User_Prm_Data_Ref(1) = 3\r\n"
    "EndModule\r\n"
    "Module = \"DO 16\" 0x21\r\n"
    "3\r\n"
    "EndModule\r\n"
    "SlotDefinition\r\n"
    "Slot(1) = \"Input\" 1 1-2\r\n"
    "Slot(2) = \"Analog\" 2 1-3\r\n"
    "EndSlotDefinition\r\n";

// The 0-based number of the first line of kSlave holding `part`.
int LineOf(const char* part) {
    const QList<QByteArray> lines = kSlave.split('\n');
    for (int i = 0; i < lines.size(); ++i)
        if (lines[i].contains(part)) return i;
    return -1;
}

// The bytes of a hex grid as shown, separated by blanks.
QString GridText(const QTableView* view) {
    QStringList cells;
    const QAbstractItemModel* model = view->model();
    for (int row = 0; row < model->rowCount(); ++row)
        for (int column = 0; column < model->columnCount(); ++column) {
            const QString cell = model->index(row, column).data().toString();
            if (!cell.isEmpty()) cells << cell;
        }
    return cells.join(' ');
}

QStringList ListTexts(const QListView* view) {
    QStringList texts;
    for (int row = 0; row < view->model()->rowCount(); ++row) texts << view->model()->index(row, 0).data().toString();
    return texts;
}

// The row of the parameter table showing `name` in `part` ("Device" or "#N name").
int ParameterRow(const QTableView* table, const QString& part, const QString& name) {
    const QAbstractItemModel* model = table->model();
    for (int row = 0; row < model->rowCount(); ++row)
        if (model->index(row, 0).data().toString() == part && model->index(row, 1).data().toString() == name)
            return row;
    return -1;
}

// Each limit as "key|used / allowed|state".
QStringList LimitRows(const QTableView* view) {
    QStringList rows;
    const QAbstractItemModel* model = view->model();
    for (int row = 0; row < model->rowCount(); ++row)
        rows << model->index(row, 0).data().toString() + '|' + model->index(row, 1).data().toString() + '|' +
                    model->index(row, 2).data().toString();
    return rows;
}

QStringList OutputRows(const CMyListBoxBar& bar) {
    QStringList rows;
    for (int i = 0; i < bar.RowCount(); ++i)
        rows << bar.RowText(i, 0) + '|' + bar.RowText(i, 1) + '|' + bar.RowText(i, 2);
    return rows;
}

int OutputRowContaining(const CMyListBoxBar& bar, const QString& part) {
    for (int i = 0; i < bar.RowCount(); ++i)
        if (bar.RowText(i, 2).contains(part)) return i;
    return -1;
}

}  // namespace

class SlaveConfigWindowTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_Work;
    QString m_OldCwd;

    QString Write(const QString& name, const QByteArray& bytes) {
        const QString path = m_Work.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return {};
        file.write(bytes);
        return path;
    }

    // The window of a new document of `bytes`, opened by its menu command.
    static CSlaveConfigWindow* Open(CMainFrame& frame, const QString& path) {
        CChildFrame* child = frame.OpenDocumentFile(path);
        if (child == nullptr) return nullptr;
        QAction* command = Command(frame, ID_EXTRAS_SLAVE_CONFIG);
        if (command == nullptr || !command->isEnabled()) return nullptr;
        command->trigger();
        return child->SlaveConfigWindow();
    }

    static void CloseAll(CMainFrame& frame) {
        for (CChildFrame* child : frame.Children()) child->GetDocument()->SetModified(false);
        frame.MdiArea()->closeAllSubWindows();
    }

    // Edits the value of a parameter as a user does: its editor opens, takes the
    // value and is closed with Return.
    static void EditValue(QTableView* table, int row, const QString& value) {
        const QModelIndex index = table->model()->index(row, 2);
        table->setCurrentIndex(index);
        table->edit(index);
        QWidget* editor = table->indexWidget(index);
        if (editor == nullptr) editor = table->viewport()->findChild<QWidget*>();
        QVERIFY(editor != nullptr);
        if (auto* combo = qobject_cast<QComboBox*>(editor)) {
            const int at = combo->findText(value);
            QVERIFY2(at >= 0, qPrintable(value));
            combo->setCurrentIndex(at);
        } else if (auto* spin = qobject_cast<QSpinBox*>(editor)) {
            spin->setValue(value.toInt());
        } else {
            auto* edit = qobject_cast<QLineEdit*>(editor);
            QVERIFY(edit != nullptr);
            edit->setText(value);
        }
        QTest::keyClick(editor, Qt::Key_Return);
        // The delegate commits the value once the key is handled.
        QTRY_VERIFY(table->indexWidget(index) == nullptr);
    }

private slots:
    void initTestCase() {
        m_OldCwd = QDir::currentPath();
        QVERIFY(QDir::setCurrent(m_Work.path()));
    }
    void cleanupTestCase() { QDir::setCurrent(m_OldCwd); }
    void init() { RecordedMessages().clear(); }

    void opensWithTheDefaultsOfTheSlotLines() {
        CMainFrame frame;
        frame.show();
        QAction* command = Command(frame, ID_EXTRAS_SLAVE_CONFIG);
        QVERIFY(command);
        QCOMPARE(command->shortcut(), QKeySequence(Qt::Key_F8));
        QVERIFY(!command->isEnabled());  // no document yet
        CSlaveConfigWindow* window = Open(frame, Write("defaults.gsd", kSlave));
        QVERIFY(window);
        QVERIFY(window->isVisible());
        QCOMPARE(window->windowTitle(), QString("Slave Configuration - defaults.gsd"));
        QCOMPARE(ListTexts(window->FileModuleList()), QStringList({"#0  DI 8", "#1  AI 2", "#2  DO 16"}));
        QCOMPARE(ListTexts(window->PluggedList()),
                 QStringList({"#0  DI 8   [Slot(1) \"Input\"]", "#1  AI 2   [Slot(2) \"Analog\"]"}));
        QCOMPARE(GridText(window->CfgView()), QString("10 51"));
        QCOMPARE(GridText(window->PrmView()), QString("00 00 01 80 00 64"));
        QCOMPARE(LimitRows(window->LimitsView()),
                 QStringList({"Max_Module|2 / 3|", "Max_Input_Len|5 / 5|", "Max_Output_Len|0 / 4|",
                              "Max_User_Prm_Data_Len|6 / 12|"}));
        // The output window lists what the window found: nothing.
        const QStringList rows = OutputRows(*frame.OutputBar());
        QCOMPARE(rows.size(), 2);
        QVERIFY2(rows[0].startsWith("Info|---|Slave Configuration of defaults.gsd: 2 modules plugged"),
                 qPrintable(rows[0]));
        QCOMPARE(rows[1], QString("Info|---|No findings."));
        // A second command shows the same window.
        command->trigger();
        QCOMPARE(frame.ActiveChild()->SlaveConfigWindow(), window);
        CloseAll(frame);
    }

    void settingAParameterChangesTheBytes_data() {
        QTest::addColumn<int>("slot");
        QTest::addColumn<QString>("parameter");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("prm");
        QTest::addColumn<QString>("setting");  // as kept and passed on, Windows-1252
        QTest::newRow("a Bit of the device part by its text") << -1 << "Diagnosis"
                                                              << "off"
                                                              << "00 00 00 80 00 64"
                                                              << "off";
        QTest::newRow("a BitArea of a module by a text outside ASCII")
            << 1 << "Filter" << QString::fromUtf8("gefiltert \xC3\xA4") << "00 00 01 B0 00 64"
            << QString::fromUtf8("gefiltert \xC3\xA4");
        QTest::newRow("an Unsigned16 of a module by number") << 1 << "Limit"
                                                             << "1000"
                                                             << "00 00 01 80 03 E8"
                                                             << "1000";
    }
    void settingAParameterChangesTheBytes() {
        QFETCH(int, slot);
        QFETCH(QString, parameter);
        QFETCH(QString, value);
        QFETCH(QString, prm);
        QFETCH(QString, setting);
        CMainFrame frame;
        frame.show();
        CSlaveConfigWindow* window = Open(frame, Write("set.gsd", kSlave));
        QVERIFY(window);
        window->SelectSlot(1);
        const QString part = slot < 0 ? QString("Device") : QString("#%1 AI 2").arg(slot);
        QTableView* table = window->ParameterTable();
        const int row = ParameterRow(table, part, parameter);
        QVERIFY2(row >= 0, qPrintable(part + ' ' + parameter));
        const QString before = table->model()->index(row, 2).data().toString();
        QCOMPARE(table->model()->index(row, 3).data().toString(), before);
        EditValue(table, row, value);
        QCOMPARE(GridText(window->PrmView()), prm);
        QCOMPARE(table->model()->index(row, 2).data().toString(), value);
        QVERIFY(table->model()->index(row, 2).data(Qt::FontRole).value<QFont>().bold());
        QCOMPARE(table->model()->index(row, 3).data().toString(), before);
        const auto settings = window->Settings(slot);
        QCOMPARE(settings.size(), size_t{1});
        QCOMPARE(DecodeCp1252(settings.at(parameter.toStdString())), setting);
        QCOMPARE(OutputRows(*frame.OutputBar()).last(), QString("Info|---|No findings."));
        CloseAll(frame);
    }

    void bytesNameTheLinesThatWroteThem() {
        CMainFrame frame;
        frame.show();
        CSlaveConfigWindow* window = Open(frame, Write("sources.gsd", kSlave));
        QVERIFY(window);
        const QAbstractItemModel* prm = window->PrmView()->model();
        // Byte 3: the first of the part of "AI 2", a Const byte with the Filter's bits in it.
        const QString tip = prm->index(0, 3).data(Qt::ToolTipRole).toString();
        QCOMPARE(tip, QString("Byte 3: 0x80 = 128\nthe part of module \"AI 2\" in slot #1, byte 0\n"
                              "bits 0-3, 6-7: Ext_User_Prm_Data_Const(0), line %1\n"
                              "bits 4-5: parameter \"Filter\" = 0 \"fast\" (Ext_User_Prm_Data_Ref(0) = 2), line %2")
                          .arg(LineOf("Const(0) = 0x80") + 1)
                          .arg(LineOf("Ref(0) = 2") + 1));
        const QString cfgTip = window->CfgView()->model()->index(0, 1).data(Qt::ToolTipRole).toString();
        QVERIFY2(cfgTip.contains(QString("module \"AI 2\" in slot #1, byte 0\nthe configuration data of its Module "
                                         "line, line %1")
                                     .arg(LineOf("\"AI 2\"") + 1)),
                 qPrintable(cfgTip));
        // A double-click on a byte shows its line in the document.
        CChildFrame* child = frame.ActiveChild();
        QTableView* view = window->PrmView();
        const QModelIndex limitByte = view->model()->index(0, 5);
        const QPoint at = view->visualRect(limitByte).center();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, at);
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, at);
        QCOMPARE(child->TextView()->CaretLine(), LineOf("Ref(1) = 3"));
        CloseAll(frame);
    }

    void modulesArePluggedRemovedAndMovedAsTheLimitsAllow() {
        CMainFrame frame;
        frame.show();
        CSlaveConfigWindow* window = Open(frame, Write("plug.gsd", kSlave));
        QVERIFY(window);
        // "DO 16" into the third slot: Max_Module = 3 is reached and Add is refused.
        window->FileModuleList()->setCurrentIndex(window->FileModuleList()->model()->index(2, 0));
        QVERIFY(window->AddButton()->isEnabled());
        QTest::mouseClick(window->AddButton(), Qt::LeftButton);
        QCOMPARE(window->PluggedModules(), std::vector<int>({0, 1, 2}));
        QCOMPARE(GridText(window->CfgView()), QString("10 51 21"));
        QCOMPARE(window->SelectedSlot(), 2);
        QVERIFY(!window->AddButton()->isEnabled());
        QVERIFY(!window->Plug(0));
        QVERIFY(window->UpButton()->isEnabled());
        QVERIFY(!window->DownButton()->isEnabled());
        QCOMPARE(LimitRows(window->LimitsView())[0], QString("Max_Module|3 / 3|"));

        // Up moves "DO 16" into the slot of "AI 2", which its Slot line allows.
        QTest::mouseClick(window->UpButton(), Qt::LeftButton);
        QCOMPARE(GridText(window->CfgView()), QString("10 21 51"));
        QCOMPARE(window->SelectedSlot(), 1);
        QCOMPARE(GridText(window->PrmView()), QString("00 00 01 80 00 64"));
        // Up again: the first Slot line takes the modules 1-2, not "DO 16" (reference 3).
        QTest::mouseClick(window->UpButton(), Qt::LeftButton);
        QCOMPARE(window->SelectedSlot(), 0);
        QVERIFY(!window->UpButton()->isEnabled());
        QVERIFY(window->DownButton()->isEnabled());
        const QAbstractItemModel* plugged = window->PluggedList()->model();
        QCOMPARE(plugged->index(0, 0).data(Qt::ForegroundRole).value<QColor>(), QColor(200, 0, 0));
        QVERIFY(!plugged->index(1, 0).data(Qt::ForegroundRole).isValid());
        const int slotRow = OutputRowContaining(*frame.OutputBar(), "Slot(1) \"Input\" takes the modules 1-2");
        QVERIFY2(slotRow >= 0, qPrintable(OutputRows(*frame.OutputBar()).join('\n')));
        QCOMPARE(frame.OutputBar()->RowText(slotRow, 0), QString("Error"));
        QCOMPARE(frame.OutputBar()->RowText(slotRow, 1), QString("Line %1").arg(LineOf("Slot(1)") + 1));

        // Remove "DO 16", and Add takes a module again: a second "AI 2" exceeds Max_Input_Len.
        QTest::mouseClick(window->RemoveButton(), Qt::LeftButton);
        QCOMPARE(window->PluggedModules(), std::vector<int>({0, 1}));
        window->FileModuleList()->setCurrentIndex(window->FileModuleList()->model()->index(1, 0));
        QVERIFY(window->AddButton()->isEnabled());
        QTest::mouseClick(window->AddButton(), Qt::LeftButton);
        QCOMPARE(GridText(window->CfgView()), QString("10 51 51"));
        QCOMPARE(GridText(window->PrmView()), QString("00 00 01 80 00 64 80 00 64"));
        QCOMPARE(LimitRows(window->LimitsView())[1], QString("Max_Input_Len|9 / 5|exceeded"));
        QCOMPARE(window->LimitsView()->model()->index(1, 1).data(Qt::ForegroundRole).value<QColor>(),
                 QColor(200, 0, 0));
        QVERIFY(!window->LimitsView()->model()->index(0, 1).data(Qt::ForegroundRole).isValid());
        QVERIFY(window->SummaryLabel()->text().contains("1 error"));
        // Its finding leads to the line of Max_Input_Len.
        CMyListBoxBar* bar = frame.OutputBar();
        const int limitRow = OutputRowContaining(*bar, "exceeds Max_Input_Len = 5");
        QVERIFY2(limitRow >= 0, qPrintable(OutputRows(*bar).join('\n')));
        QCOMPARE(bar->RowText(limitRow, 1), QString("Line %1").arg(LineOf("Max_Input_Len") + 1));
        QTableView* list = bar->List();
        const QModelIndex index = list->model()->index(limitRow, 1);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, list->visualRect(index).center());
        QCOMPARE(frame.ActiveChild()->TextView()->CaretLine(), LineOf("Max_Input_Len"));
        CloseAll(frame);
    }

    void rebuildKeepsThePlugsAndSettingsThatStillExist() {
        CMainFrame frame;
        frame.show();
        CSlaveConfigWindow* window = Open(frame, Write("rebuild.gsd", kSlave));
        QVERIFY(window);
        QVERIFY(window->SetParameter(1, "Filter", "slow"));
        QVERIFY(window->SetParameter(1, "Limit", "7"));
        QVERIFY(window->Plug(2));
        QCOMPARE(GridText(window->PrmView()), QString("00 00 01 A0 00 07"));
        // The text changes: a comment line above everything, "DO 16" renamed, "Limit" renamed.
        CChildFrame* child = frame.ActiveChild();
        CTextBuffer* text = child->GetDocument()->Text();
        text->Insert(0, "; a line more\n");
        for (const auto& [from, to] : {std::pair<QString, QString>{"\"DO 16\"", "\"DO 32\""},
                                       std::pair<QString, QString>{"\"Limit\"", "\"Upper limit\""}}) {
            const int found = text->Find(from, 0, {});
            QVERIFY(found >= 0);
            text->Replace(found, found + static_cast<int>(from.size()), to);
        }
        // Until the Rebuild the window shows the definitions as they were.
        QCOMPARE(window->PluggedModules().size(), size_t{3});
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        QTest::keyClick(window, Qt::Key_F5);
        QCOMPARE(window->PluggedModules(), std::vector<int>({0, 1}));
        QCOMPARE(window->Settings(1), (std::map<std::string, std::string>{{"Filter", "slow"}}));
        QCOMPARE(GridText(window->PrmView()), QString("00 00 01 A0 00 64"));
        // The byte sources name the lines as they are now.
        QVERIFY(window->PrmView()
                    ->model()
                    ->index(0, 3)
                    .data(Qt::ToolTipRole)
                    .toString()
                    .contains(QString("line %1").arg(LineOf("Const(0) = 0x80") + 2)));
        const QStringList rows = OutputRows(*frame.OutputBar());
        QVERIFY2(rows.contains("Info|---|Module \"DO 16\" is no longer in the file; it was taken out of slot #2."),
                 qPrintable(rows.join('\n')));
        QVERIFY2(rows.contains("Info|---|Module \"AI 2\" has no parameter \"Limit\" any more; its setting \"7\" was "
                               "dropped."),
                 qPrintable(rows.join('\n')));
        // The renamed module can be plugged; the file's modules are read again.
        QCOMPARE(ListTexts(window->FileModuleList()).last(), QString("#2  DO 32"));
        QVERIFY(window->Plug(2));
        QCOMPARE(GridText(window->CfgView()), QString("10 51 21"));
        CloseAll(frame);
    }

    void exportWritesTheJsonOfTalunaConfig() {
        CMainFrame frame;
        frame.show();
        const QString gsd = Write("export.gsd", kSlave);
        CSlaveConfigWindow* window = Open(frame, gsd);
        QVERIFY(window);
        QVERIFY(window->Plug(2));
        window->Move(2, -1);
        window->SelectSlot(2);
        EditValue(window->ParameterTable(), ParameterRow(window->ParameterTable(), "#2 AI 2", "Filter"),
                  QString::fromUtf8("gefiltert \xC3\xA4"));
        QVERIFY(window->SetParameter(-1, "Diagnosis", "off"));
        QVERIFY(window->SetParameter(2, "Limit", "0x20"));
        const QString exported = m_Work.filePath("export.json");
        window->m_ExportPathHook = [&] { return exported; };
        QTest::mouseClick(window->ExportButton(), Qt::LeftButton);
        QVERIFY(RecordedMessages().isEmpty());
        QFile json(exported);
        QVERIFY(json.open(QIODevice::ReadOnly));
        const QByteArray written = json.readAll();

        QProcess cli;
        cli.start(QStringLiteral(TALUNA_CONFIG_EXE),
                  {frame.ActiveChild()->GetDocument()->PathName(), "--module", "#0", "--module", "#2", "--module",
                   "AI 2", "--set", QString::fromUtf8("#2:Filter=gefiltert \xC3\xA4"), "--set", "Diagnosis=off",
                   "--set", "#2:Limit=0x20", "--format", "json"});
        QVERIFY(cli.waitForFinished(60000));
        QCOMPARE(cli.exitCode(), 0);
        const QByteArray printed = cli.readAllStandardOutput();
        QCOMPARE(written, printed);
        QVERIFY(written.contains("\"prm\": \"00 00 00 B0 00 20\""));
        QVERIFY(written.contains("\"cfg\": \"10 21 51\""));

        // The GSD file is never the target, and a file that cannot be written is named.
        const QByteArray before = kSlave;
        window->m_ExportPathHook = [&] { return gsd; };
        QTest::mouseClick(window->ExportButton(), Qt::LeftButton);
        QCOMPARE(RecordedMessages().size(), 1);
        QVERIFY2(RecordedMessages().first().contains("would replace the GSD file"),
                 qPrintable(RecordedMessages().first()));
        QFile unchanged(gsd);
        QVERIFY(unchanged.open(QIODevice::ReadOnly));
        QCOMPARE(unchanged.readAll(), before);
        QVERIFY(!window->ExportTo(m_Work.filePath("no-such-directory/export.json")));
        QCOMPARE(RecordedMessages().size(), 2);
        QVERIFY2(RecordedMessages().last().startsWith("Could not write"), qPrintable(RecordedMessages().last()));
        CloseAll(frame);
    }

    void filesThatPlugNothingGiveFindings_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("finding");
        QTest::newRow("no modules") << QByteArray("#Profibus_DP\r\nStation_Type = 0\r\nUser_Prm_Data_Len = 2\r\n")
                                    << "Error|---|The file defines no Module; there is nothing to plug.";
        QTest::newRow("hostile parameter lines")
            << QByteArray(
                   "#Profibus_DP\r\nModular_Station = 1\r\nExtUserPrmData = 1 \"x\"\r\nBitArea(5-2) 0 0-1\r\n"
                   "EndExtUserPrmData\r\nExt_User_Prm_Data_Ref(4000000000) = 1\r\nExt_User_Prm_Data_Ref(0) = "
                   "9\r\nModule = \"m\" 0x10\r\nEndModule\r\n")
            << "Error|Line 7|Ext_User_Prm_Data_Ref(0) of the device refers to ExtUserPrmData 9, which the file does "
               "not define; it writes nothing.";
    }
    void filesThatPlugNothingGiveFindings() {
        QFETCH(QByteArray, text);
        QFETCH(QString, finding);
        CMainFrame frame;
        frame.show();
        CSlaveConfigWindow* window = Open(frame, Write("bad.gsd", text));
        QVERIFY(window);
        QVERIFY(window->PluggedModules().empty());
        QVERIFY(!window->RemoveButton()->isEnabled());
        QVERIFY(OutputRows(*frame.OutputBar()).contains(finding));
        QVERIFY(window->Config().m_Prm.size() <= 244);
        CloseAll(frame);
    }
};

TALUNA_GUI_TEST_MAIN(SlaveConfigWindowTest)
#include "slave_config_window_test.moc"
