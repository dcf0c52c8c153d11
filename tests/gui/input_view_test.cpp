// The key editor form: rendering of every form mode, Apply with its compose,
// write-back, rename and check, DataTypeChanged, and the identifier list and
// dialog of a Module key.

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>
#include <functional>

#include "app/cp1252.h"
#include "base/string_table.h"
#include "view_test_host.h"
#include "views/identifier_dialog.h"
#include "views/view_text.h"

namespace {

const char* const kText =
    "#Profibus_DP\r\n"
    "Vendor_Name=\"Velmar\"\r\n"          // 1  mode 1
    "GSD_Revision=1\r\n"                  // 2  mode 2
    "Repeater_Ctrl_Sig=2\r\n"             // 3  mode 3
    "Station_Type=1\r\n"                  // 4  mode 4
    "FMS_supp=1\r\n"                      // 5  mode 5
    "Module=\"In 4\" 0x13,0x40,0x83\r\n"  // 6  mode 6
    "EndModule\r\n"                       // 7  mode 7
    "ExtUserPrmData=1 \"Mode\"\r\n"       // 8  mode 11
    "Bit(0) 0 0-1\r\n"                    // 9  mode 8
    "EndExtUserPrmData\r\n"               // 10
    "Unit_Diag_Area=16-23\r\n"            // 11 mode 10
    "Unit_Diag_Area_End\r\n"              // 12
    "ExtUserPrmData=2 \"Speed\"\r\n"      // 13
    "Unsigned8 1 0-255\r\n"               // 14 mode 9
    "EndExtUserPrmData\r\n"               // 15
    "Freeze_Mode_supp=2\r\n";             // 16 mode 5, value 2

// Every control a mode may show; the frame, help and separator are always shown.
const int kEditorControls[] = {
    IDC_STRING_EDIT, IDC_UINT_EDIT,       IDC_CHOICE_1,    IDC_CHOICE_2,   IDC_CHOICE_3,    IDC_STRING_LABEL,
    IDC_UINT_LABEL,  IDC_CHOICE_LABEL,    IDC_ICON,        IDC_BOOL_LABEL, IDC_BOOL_CHECK,  IDC_VALUE_LIST,
    IDC_THIRD_LABEL, IDC_SECOND_LABEL,    IDC_FIRST_LABEL, IDC_THIRD_EDIT, IDC_SECOND_EDIT, IDC_FIRST_EDIT,
    IDC_DATA_TYPE,   IDC_DATA_TYPE_LABEL, IDC_APPLY};

QList<int> ShownControls(const CInputView& form) {
    QList<int> shown;
    for (int id : kEditorControls)
        if (form.IsShown(id)) shown << id;
    std::sort(shown.begin(), shown.end());
    return shown;
}

QList<int> Sorted(QList<int> ids) {
    std::sort(ids.begin(), ids.end());
    return ids;
}

QStringList RowTexts(const QTreeWidgetItem* item) {
    QStringList texts;
    for (int column = 0; column < 6; ++column) texts << item->text(column);
    return texts;
}

}  // namespace

class CInputViewTest : public QObject {
    Q_OBJECT
private slots:
    void startsWithProductInformation();
    void rendersEveryMode_data();
    void rendersEveryMode();
    void choicesAndBoolFollowTheValue();
    void dataTypeListInItsOrder();
    void applyComposesStationType();
    void applyReportsFindingsBetweenNotes();
    void applyOnWriteProtectedChangesNothing();
    void applyOnEditedTextReportsStaleDatabase();
    void applyWithoutEntryKeepsEditedValues();
    void moduleApplyKeepsEditedName();
    void suppWithValueTwoWritesZero();
    void changingTheDataTypeWritesALineOfTheNewType_data();
    void changingTheDataTypeWritesALineOfTheNewType();
    void dataTypeChangedBackToNumber();
    void modeElevenAndTenApply();
    void formModeTableHasOneRowPerMode();
    void formTextGoesThroughTheFileCodec_data();
    void formTextGoesThroughTheFileCodec();
    void identifierListShowsDecodedRows();
    void editIdentifierWritesConfigField();
    void editIdentifierThroughTheDialog();
    void insertIdentifierAsksFirst();
    void identifierDialogRoundTrip();
    void identifierDialogEditsAndValidates();
};

void CInputViewTest::startsWithProductInformation() {
    CTestViewHost host;
    host.Load(kText);
    // The fill selected the root: mode 0 with the product information.
    QCOMPARE(host.m_Context.m_Form.m_nFormMode, 0);
    QCOMPARE(host.m_pForm->HelpPane()->toPlainText(), GsdToQtLines(LoadString(IDS_PRODUCT_INFO)));
    QCOMPARE(ShownControls(*host.m_pForm), QList<int>({IDC_ICON}));
    QVERIFY(host.m_pForm->IsShown(IDC_HELP));
    QVERIFY(host.m_pForm->IsShown(IDC_FRAME));
    QVERIFY(host.m_pForm->IsShown(IDC_SEPARATOR));
}

void CInputViewTest::rendersEveryMode_data() {
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QList<int>>("shown");
    QTest::addColumn<QStringList>("values");  // control texts, in the order of `shown` that have text
    QTest::newRow("1 text") << "Vendor_Name" << 1 << QList<int>({IDC_STRING_LABEL, IDC_STRING_EDIT, IDC_APPLY})
                            << QStringList({"Velmar"});
    QTest::newRow("2 number") << "GSD_Revision" << 2 << QList<int>({IDC_UINT_LABEL, IDC_UINT_EDIT, IDC_APPLY})
                              << QStringList({"1"});
    QTest::newRow("3 three choices")
        << "Repeater_Ctrl_Sig" << 3
        << QList<int>({IDC_CHOICE_LABEL, IDC_CHOICE_1, IDC_CHOICE_2, IDC_CHOICE_3, IDC_APPLY})
        << QStringList({GsdToQt(LoadString(40)), GsdToQt(LoadString(41)), GsdToQt(LoadString(42))});
    QTest::newRow("4 two choices") << "Station_Type" << 4
                                   << QList<int>({IDC_CHOICE_LABEL, IDC_CHOICE_1, IDC_CHOICE_2, IDC_APPLY})
                                   << QStringList({GsdToQt(LoadString(37)), GsdToQt(LoadString(38))});
    QTest::newRow("5 bool") << "FMS_supp" << 5 << QList<int>({IDC_BOOL_LABEL, IDC_BOOL_CHECK, IDC_APPLY})
                            << QStringList({GsdToQt(LoadString(39))});
    QTest::newRow("6 module") << "Module" << 6
                              << QList<int>({IDC_STRING_LABEL, IDC_STRING_EDIT, IDC_THIRD_LABEL, IDC_THIRD_EDIT,
                                             IDC_VALUE_LIST, IDC_APPLY})
                              << QStringList({"In 4", "Config-String:", "0x13,0x40,0x83"});
    QTest::newRow("7 block end") << "EndModule" << 7 << QList<int>() << QStringList();
    QTest::newRow("8 bit") << "Bit" << 8
                           << QList<int>({IDC_FIRST_LABEL, IDC_FIRST_EDIT, IDC_SECOND_LABEL, IDC_SECOND_EDIT,
                                          IDC_THIRD_LABEL, IDC_THIRD_EDIT, IDC_DATA_TYPE_LABEL, IDC_DATA_TYPE,
                                          IDC_APPLY})
                           << QStringList({"Area or Text-Reference", "0", "Default Value", "0",
                                           "Min-Max or Allowed Values", "0-1", "Data Type:", "Bit"});
    QTest::newRow("9 data type") << "Unsigned8" << 9
                                 << QList<int>({IDC_FIRST_LABEL, IDC_FIRST_EDIT, IDC_SECOND_LABEL, IDC_SECOND_EDIT,
                                                IDC_DATA_TYPE_LABEL, IDC_DATA_TYPE, IDC_APPLY})
                                 << QStringList({"Default Value", "1", "Min-Max or Allowed Values", "0-255",
                                                 "Data Type:", "Unsigned8"});
    QTest::newRow("10 area") << "Unit_Diag_Area" << 10
                             << QList<int>(
                                    {IDC_FIRST_LABEL, IDC_FIRST_EDIT, IDC_SECOND_LABEL, IDC_SECOND_EDIT, IDC_APPLY})
                             << QStringList({"First_Bit", "16", "Last_Bit", "23"});
    QTest::newRow("11 reference") << "ExtUserPrmData" << 11
                                  << QList<int>({IDC_STRING_LABEL, IDC_STRING_EDIT, IDC_THIRD_LABEL, IDC_THIRD_EDIT,
                                                 IDC_APPLY})
                                  << QStringList({"Mode", "Reference", "1"});
}

void CInputViewTest::rendersEveryMode() {
    QFETCH(QString, keyword);
    QFETCH(int, mode);
    QFETCH(QList<int>, shown);
    QFETCH(QStringList, values);
    CTestViewHost host;
    host.Load(kText);
    host.Select(keyword.toStdString());
    QCOMPARE(host.m_Context.m_Form.m_nFormMode, mode);
    QCOMPARE(ShownControls(*host.m_pForm), Sorted(shown));
    QCOMPARE(host.m_pForm->HelpPane()->toPlainText(), GsdToQtLines(host.m_Context.m_Form.m_HelpText));
    QStringList texts;
    for (int id : shown) {
        QWidget* widget = host.m_pForm->Control(id);
        if (auto* edit = qobject_cast<QPlainTextEdit*>(widget)) texts << edit->toPlainText();
        if (auto* line = qobject_cast<QLineEdit*>(widget)) texts << line->text();
        if (auto* button = qobject_cast<QAbstractButton*>(widget); button && id != IDC_APPLY) texts << button->text();
        if (auto* combo = qobject_cast<QComboBox*>(widget)) texts << combo->currentText();
        if (auto* label = qobject_cast<QLabel*>(widget);
            label && id != IDC_STRING_LABEL && id != IDC_UINT_LABEL && id != IDC_CHOICE_LABEL && id != IDC_BOOL_LABEL)
            texts << label->text();
    }
    QCOMPARE(texts, values);
}

void CInputViewTest::choicesAndBoolFollowTheValue() {
    struct SCase {
        const char* line;
        const char* keyword;
        int checked;  // choice index, -1 none; for Bool 1 checked, 0 not
    };
    const SCase cases[] = {
        {"Station_Type=0", "Station_Type", 0},
        {"Station_Type=1", "Station_Type", 1},
        {"Station_Type=7", "Station_Type", -1},
        {"Station_Type=x", "Station_Type", 0},  // not a number reads as 0
        {"Repeater_Ctrl_Sig=0", "Repeater_Ctrl_Sig", 0},
        {"Repeater_Ctrl_Sig=1", "Repeater_Ctrl_Sig", 1},
        {"Repeater_Ctrl_Sig=2", "Repeater_Ctrl_Sig", 2},
        {"Repeater_Ctrl_Sig=5", "Repeater_Ctrl_Sig", 0},
        {"FMS_supp=1", "FMS_supp", 1},
        {"FMS_supp=0", "FMS_supp", 0},
        {"FMS_supp=2", "FMS_supp", 0},
    };
    for (const SCase& c : cases) {
        CTestViewHost host;
        host.Load(std::string("#Profibus_DP\r\n") + c.line + "\r\n");
        host.Select(c.keyword);
        CInputView& form = *host.m_pForm;
        if (host.m_Context.m_Form.m_nFormMode == 5) {
            QCOMPARE(form.BoolCheck()->isChecked(), c.checked == 1);
            continue;
        }
        for (int i = 0; i < 3; ++i) QCOMPARE(form.Choice(i)->isChecked(), i == c.checked);
    }
}

void CInputViewTest::dataTypeListInItsOrder() {
    CTestViewHost host;
    host.Load(kText);
    QStringList items;
    for (int i = 0; i < host.m_pForm->DataTypeList()->count(); ++i) items << host.m_pForm->DataTypeList()->itemText(i);
    QCOMPARE(items, QStringList({"Unsigned32", "Unsigned16", "Unsigned8", "Signed32", "Signed16", "Signed8", "BitArea",
                                 "Bit"}));
    // The selection ignores case, and none is selected for an unknown name.
    host.m_Context.m_Form.m_nFormMode = 9;
    host.m_Context.m_Form.m_Values[3] = "SIGNED16";
    host.m_pForm->OnUpdate();
    QCOMPARE(host.m_pForm->DataTypeList()->currentText(), QStringLiteral("Signed16"));
    host.m_Context.m_Form.m_Values[3] = "Float";
    host.m_pForm->OnUpdate();
    QCOMPARE(host.m_pForm->DataTypeList()->currentIndex(), -1);
}

void CInputViewTest::applyComposesStationType() {
    CTestViewHost host;
    host.Load(kText);
    host.Select("Station_Type");
    QVERIFY(host.m_pForm->Choice(1)->isChecked());
    host.m_pForm->Choice(0)->click();
    const int clears = host.m_Sink.m_nClears;
    QTest::mouseClick(host.m_pForm->ApplyButton(), Qt::LeftButton);
    QCOMPARE(host.m_WrittenBack, std::vector<std::string>({"Station_Type=0"}));
    QCOMPARE(host.m_Lines.Lines()[4], std::string("Station_Type=0"));
    CKeyEntry* entry = host.EntryOf("Station_Type");
    QCOMPARE(entry->m_Value, std::string("=0"));
    QCOMPARE(entry->m_Ready[0], std::string("0"));
    QCOMPARE(host.m_Sink.m_nClears, clears + 1);
    QCOMPARE(host.m_Sink.Texts(), std::vector<std::string>({"Start Syntax-Check...", "Stop Syntax-Check..."}));
    QCOMPARE(host.m_Sink.m_Rows.front().m_nKind, CheckMessageKind::Note);
    QCOMPARE(host.m_Context.m_CheckedDoc.m_pDoc, static_cast<const void*>(&host));
    QCOMPARE(host.ItemOf("Station_Type").data().toString(), QStringLiteral("Station_Type (5)"));
}

void CInputViewTest::applyReportsFindingsBetweenNotes() {
    CTestViewHost host;
    host.Load(kText);
    host.Select("GSD_Revision");
    host.m_pForm->UintEdit()->setText(QStringLiteral("300"));
    host.m_pForm->ApplyKeyForm();
    QCOMPARE(host.m_WrittenBack, std::vector<std::string>({"GSD_Revision=300"}));
    const std::vector<std::string> texts = host.m_Sink.Texts();
    QCOMPARE(texts.size(), size_t(3));
    QCOMPARE(texts.front(), std::string("Start Syntax-Check..."));
    QCOMPARE(texts.back(), std::string("Stop Syntax-Check..."));
    QCOMPARE(host.m_Sink.m_Rows[1].m_nKind, CheckMessageKind::Error);
    QCOMPARE(host.m_Sink.m_Rows[1].m_nLine, 2);
    QCOMPARE(host.m_Sink.m_Rows[1].m_pDoc, static_cast<const void*>(&host));
}

void CInputViewTest::applyOnWriteProtectedChangesNothing() {
    CTestViewHost host;
    host.Load(kText);
    host.m_bWriteProtected = true;
    host.Select("Station_Type");
    host.m_pForm->Choice(0)->click();
    host.m_pForm->ApplyKeyForm();
    QCOMPARE(host.m_Notifier.m_Texts, std::vector<std::string>({"Error: The current file is write-protected!"}));
    QCOMPARE(host.m_Notifier.m_Icons.back(), ENotifyIcon::Exclamation);
    QVERIFY(host.m_WrittenBack.empty());
    QCOMPARE(host.m_Lines.Lines()[4], std::string("Station_Type=1"));
    QCOMPARE(host.EntryOf("Station_Type")->m_Value, std::string("1"));
    QCOMPARE(host.m_Context.m_Form.m_Values[0], std::string("1"));
    QVERIFY(host.m_Sink.m_Rows.empty());
}

void CInputViewTest::applyOnEditedTextReportsStaleDatabase() {
    struct SCase {
        const char* name;
        std::function<void(std::vector<std::string>&)> edit;
    };
    const SCase cases[] = {
        {"line inserted above", [](std::vector<std::string>& lines) { lines.insert(lines.begin() + 1, "; new"); }},
        {"key commented out", [](std::vector<std::string>& lines) { lines[4] = ";Station_Type=1"; }},
        {"text cut short", [](std::vector<std::string>& lines) { lines.resize(4); }},
    };
    for (const SCase& c : cases) {
        CTestViewHost host;
        host.Load(kText);
        host.Select("Station_Type");
        c.edit(host.m_Lines.Lines());
        const std::vector<std::string> before = host.m_Lines.Lines();
        host.m_pForm->Choice(0)->click();
        host.m_pForm->ApplyKeyForm();
        QVERIFY2(host.m_WrittenBack.empty(), c.name);
        QVERIFY2(host.m_Lines.Lines() == before, c.name);
        QCOMPARE(host.m_Notifier.m_Texts, std::vector<std::string>({LoadString(IDS_STALE_DATABASE)}));
        QVERIFY(host.m_pTree->IsStale());
        QVERIFY(!host.m_bFormEnabled);
        QCOMPARE(host.EntryOf("Station_Type")->m_Value, std::string("1"));
    }
}

void CInputViewTest::applyWithoutEntryKeepsEditedValues() {
    CTestViewHost host;
    host.Load(kText);
    host.Select("GSD_Revision");
    host.m_Context.m_pCurEntry = nullptr;
    host.m_pForm->UintEdit()->setText(QStringLiteral("5"));
    host.m_pForm->ApplyKeyForm();
    QCOMPARE(host.m_Notifier.m_Texts, std::vector<std::string>({"No database exists."}));
    QCOMPARE(host.m_Context.m_Form.m_Values[0], std::string("5"));
    QVERIFY(host.m_WrittenBack.empty());
}

void CInputViewTest::moduleApplyKeepsEditedName() {
    CTestViewHost host;
    host.Load(kText);
    host.Select("Module");
    host.m_pForm->StringEdit()->setPlainText(QStringLiteral("In 4 renamed"));
    host.m_pForm->ThirdEdit()->setText(QStringLiteral("0x13,0x23"));
    host.m_pForm->ApplyKeyForm();
    QCOMPARE(host.m_WrittenBack, std::vector<std::string>({"Module=\"In 4 renamed\" 0x13,0x23"}));
    QCOMPARE(host.EntryOf("Module")->m_Ready[0], std::string("In 4 renamed"));
    QCOMPARE(host.m_Sink.Texts(), std::vector<std::string>({"Start Syntax-Check...", "Stop Syntax-Check..."}));
    QCOMPARE(host.EntryOf("Module")->m_nValues, 2);
}

void CInputViewTest::suppWithValueTwoWritesZero() {
    CTestViewHost host;
    host.Load(kText);
    host.Select("Freeze_Mode_supp");
    QVERIFY(!host.m_pForm->BoolCheck()->isChecked());
    host.m_pForm->ApplyKeyForm();
    QCOMPARE(host.m_WrittenBack, std::vector<std::string>({"Freeze_Mode_supp=0"}));
}

void CInputViewTest::changingTheDataTypeWritesALineOfTheNewType_data() {
    QTest::addColumn<QString>("key");        // the key selected in the tree
    QTest::addColumn<int>("line");           // its 0-based line
    QTest::addColumn<QStringList>("types");  // the data types chosen one after the other
    QTest::addColumn<QStringList>("boxes");  // the boxes afterwards
    QTest::addColumn<QString>("written");    // the line Apply writes
    // Values that are valid for the new type stay; others give way to the type's own.
    QTest::newRow("Unsigned8 to Bit") << "Unsigned8" << 14 << QStringList{"Bit"} << QStringList{"0", "0", "0-1"}
                                      << "Bit(0) 0 0-1";
    QTest::newRow("Unsigned8 to BitArea")
        << "Unsigned8" << 14 << QStringList{"BitArea"} << QStringList{"0-7", "1", "0-255"} << "BitArea(0-7) 1 0-255";
    QTest::newRow("Unsigned8 to Unsigned16")
        << "Unsigned8" << 14 << QStringList{"Unsigned16"} << QStringList{"1", "0-255"} << "Unsigned16 1 0-255";
    QTest::newRow("Unsigned8 to Signed8")
        << "Unsigned8" << 14 << QStringList{"Signed8"} << QStringList{"0", "-128-127"} << "Signed8 0 -128-127";
    QTest::newRow("Unsigned8 to Bit and back")
        << "Unsigned8" << 14 << QStringList{"Bit", "Unsigned8"} << QStringList{"1", "0-255"} << "Unsigned8 1 0-255";
    QTest::newRow("Bit to BitArea") << "Bit" << 9 << QStringList{"BitArea"} << QStringList{"0-7", "0", "0-255"}
                                    << "BitArea(0-7) 0 0-255";
    QTest::newRow("Bit to Unsigned16") << "Bit" << 9 << QStringList{"Unsigned16"} << QStringList{"0", "0-1"}
                                       << "Unsigned16 0 0-1";
    QTest::newRow("Bit to Signed32 to Unsigned32")
        << "Bit" << 9 << QStringList{"Signed32", "Unsigned32"} << QStringList{"0", "0-1"} << "Unsigned32 0 0-1";
}

void CInputViewTest::changingTheDataTypeWritesALineOfTheNewType() {
    QFETCH(QString, key);
    QFETCH(int, line);
    QFETCH(QStringList, types);
    QFETCH(QStringList, boxes);
    QFETCH(QString, written);
    CTestViewHost host;
    host.Load(kText);
    host.Select(key.toStdString());
    CInputView& form = *host.m_pForm;
    QComboBox* list = form.DataTypeList();
    for (const QString& type : types) {
        list->setCurrentIndex(list->findText(type));
        emit list->activated(list->currentIndex());
    }
    const bool bit = types.last().startsWith(QStringLiteral("Bit"));
    QCOMPARE(form.IsShown(IDC_THIRD_EDIT), bit);
    QCOMPARE(form.IsShown(IDC_THIRD_LABEL), bit);
    QCOMPARE(qobject_cast<QLabel*>(form.Control(IDC_FIRST_LABEL))->text(),
             QString::fromLatin1(bit ? "Area or Text-Reference" : "Default Value"));
    QStringList shown{form.FirstEdit()->text(), form.SecondEdit()->text()};
    if (bit) shown << form.ThirdEdit()->text();
    QCOMPARE(shown, boxes);
    QCOMPARE(host.m_Context.m_Form.m_Values[3], types.last().toStdString());

    form.ApplyKeyForm();
    QCOMPARE(host.m_WrittenBack, std::vector<std::string>({written.toStdString()}));
    CKeyEntry* changed = host.m_Database.GetAt(host.m_Context.m_nCurItem);
    QCOMPARE(changed->m_LongLine, line);
    QCOMPARE(QString::fromStdString(changed->m_Keyword.str()), types.last());
    QCOMPARE(host.m_pTree->ItemOfEntry(*changed).data().toString(),
             QStringLiteral("%1 (%2)").arg(types.last()).arg(line + 1));
    // The check of Apply finds nothing wrong with the line.
    QCOMPARE(host.m_Sink.Texts(), std::vector<std::string>({"Start Syntax-Check...", "Stop Syntax-Check..."}));

    // Nor does the check of the text written, read afresh.
    std::string text;
    for (const std::string& l : host.m_Lines.Lines()) text += l + "\r\n";
    CTestViewHost again;
    again.Load(text);
    again.m_pTree->SelectKeyAtLine(line);
    again.CheckSyntax();
    QCOMPARE(again.m_Sink.Texts(), std::vector<std::string>({"Start Syntax-Check...", LoadString(IDS_CHECK_FINISHED),
                                                             "Stop Syntax-Check..."}));
}

void CInputViewTest::dataTypeChangedBackToNumber() {
    CTestViewHost host;
    host.Load(kText);
    host.Select("Bit");
    CInputView& form = *host.m_pForm;
    const CKeyFormRecord& record = host.m_Context.m_Form;
    QComboBox* list = form.DataTypeList();
    QVERIFY(form.IsShown(IDC_THIRD_EDIT));
    list->setCurrentIndex(list->findText(QStringLiteral("Signed16")));
    emit list->activated(list->currentIndex());
    QVERIFY(!form.IsShown(IDC_THIRD_EDIT));
    QCOMPARE(record.m_Labels[0], std::string("Default Value"));
    QCOMPARE(record.m_Labels[1], std::string("Min-Max or Allowed Values"));
    // Choosing the type shown again leaves the boxes as they were edited.
    form.SecondEdit()->setText(QStringLiteral("-5-5"));
    emit list->activated(list->currentIndex());
    QCOMPARE(form.SecondEdit()->text(), QStringLiteral("-5-5"));
}

void CInputViewTest::modeElevenAndTenApply() {
    CTestViewHost host;
    host.Load(kText);
    host.Select("ExtUserPrmData");
    host.m_pForm->StringEdit()->setPlainText(QStringLiteral("Mode B"));
    host.m_pForm->ThirdEdit()->setText(QStringLiteral("3"));
    host.m_pForm->ApplyKeyForm();
    host.Select("Unit_Diag_Area");
    host.m_pForm->FirstEdit()->setText(QStringLiteral("24"));
    host.m_pForm->SecondEdit()->setText(QStringLiteral("31"));
    host.m_pForm->ApplyKeyForm();
    QCOMPARE(host.m_WrittenBack, std::vector<std::string>({"ExtUserPrmData=3 \"Mode B\"", "Unit_Diag_Area=24-31"}));
}

void CInputViewTest::identifierListShowsDecodedRows() {
    CTestViewHost host;
    host.Load(kText);
    host.Select("Module");
    QTreeWidget* list = host.m_pForm->ValueList();
    QStringList headers;
    for (int column = 0; column < list->columnCount(); ++column) headers << list->headerItem()->text(column);
    QCOMPARE(headers,
             QStringList({"IdentFormat", "I/O-Select", "InputLength", "OutputLength", "Consistence", "Vendor spec."}));
    QCOMPARE(list->topLevelItemCount(), 2);
    QCOMPARE(RowTexts(list->topLevelItem(0)), QStringList({"Short", "IN", "4 Bytes", "-", "Byte", "-"}));
    QCOMPARE(RowTexts(list->topLevelItem(1)), QStringList({"Extent", "IN", "4 Bytes", "-", "Whole length", "-"}));
    // The list follows the configuration field.
    host.m_pForm->ThirdEdit()->setText(QStringLiteral("0xC1,0x00,0x01,0xAA, 0x2F"));
    QCOMPARE(list->topLevelItemCount(), 2);
    QCOMPARE(RowTexts(list->topLevelItem(0)), QStringList({"Extent", "IN/OUT", "2 Bytes", "1 Byte", "Byte", "0xAA"}));
    QCOMPARE(RowTexts(list->topLevelItem(1)), QStringList({"Short", "OUT", "-", "16 Bytes", "Byte", "-"}));
}

void CInputViewTest::editIdentifierWritesConfigField() {
    CTestViewHost host;
    host.Load(kText);
    host.Select("Module");
    QString title;
    CIdentifier seen;
    host.m_pForm->SetIdentifierEditor([&](const QString& t, CIdentifier& id) {
        title = t;
        seen = id;
        id.m_Io = EIdentIo::Out;
        id.m_Output = CIdentLength{2, true, false};
        return true;
    });
    host.m_pForm->resize(800, 600);
    host.m_pForm->show();
    QVERIFY(QTest::qWaitForWindowExposed(host.m_pForm));
    QTreeWidget* list = host.m_pForm->ValueList();
    const QRect rect = list->visualItemRect(list->topLevelItem(1));
    // An item view takes a double-click only after a press on the same item.
    QTest::mousePress(list->viewport(), Qt::LeftButton, {}, rect.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    QCOMPARE(title, QStringLiteral("Change settings for value 1..."));
    QVERIFY(seen.m_bSpecial);
    QCOMPARE(seen.m_Input.m_nLength, 4);
    QCOMPARE(host.m_pForm->ThirdEdit()->text(), QStringLiteral("0x13,0x80,0x41"));
    QCOMPARE(RowTexts(list->topLevelItem(1)), QStringList({"Extent", "OUT", "-", "2 Words", "Word", "-"}));
    // Cancel changes nothing.
    host.m_pForm->SetIdentifierEditor([](const QString&, CIdentifier& id) {
        id.m_Io = EIdentIo::In;
        return false;
    });
    host.m_pForm->EditIdentifier(0);
    QCOMPARE(host.m_pForm->ThirdEdit()->text(), QStringLiteral("0x13,0x80,0x41"));
    host.m_pForm->ApplyKeyForm();
    QCOMPARE(host.m_WrittenBack, std::vector<std::string>({"Module=\"In 4\" 0x13,0x80,0x41"}));
}

void CInputViewTest::editIdentifierThroughTheDialog() {
    CTestViewHost host;
    host.Load(kText);
    host.Select("Module");
    QString title;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<CIdentifierDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog != nullptr);
        title = dialog->windowTitle();
        QCOMPARE(dialog->InputLengthEdit()->text(), QStringLiteral("4"));
        dialog->InputLengthEdit()->setText(QStringLiteral("8"));
        dialog->accept();
    });
    host.m_pForm->EditIdentifier(0);
    QCOMPARE(title, QStringLiteral("Change settings for value 0..."));
    QCOMPARE(host.m_pForm->ThirdEdit()->text(), QStringLiteral("0x17,0x40,0x83"));
}

void CInputViewTest::insertIdentifierAsksFirst() {
    CTestViewHost host;
    host.Load(kText);
    host.Select("Module");
    QStringList questions;
    bool answer = false;
    host.m_pForm->SetQuestionHandler([&](const QString& question) {
        questions << question;
        return answer;
    });
    host.m_pForm->InsertIdentifier(1);
    QCOMPARE(host.m_pForm->ThirdEdit()->text(), QStringLiteral("0x13,0x40,0x83"));
    answer = true;
    host.m_pForm->InsertIdentifier(1);
    QCOMPARE(host.m_pForm->ThirdEdit()->text(), QStringLiteral("0x13,0x10,0x40,0x83"));
    QCOMPARE(host.m_pForm->ValueList()->topLevelItemCount(), 3);
    // A right-click below the rows appends.
    QTreeWidget* list = host.m_pForm->ValueList();
    host.m_pForm->resize(800, 600);
    host.m_pForm->show();
    QVERIFY(QTest::qWaitForWindowExposed(host.m_pForm));
    const QPoint below = list->visualItemRect(list->topLevelItem(2)).bottomLeft() + QPoint(5, 10);
    QVERIFY(list->itemAt(below) == nullptr);
    emit list->customContextMenuRequested(below);
    QCOMPARE(host.m_pForm->ThirdEdit()->text(), QStringLiteral("0x13,0x10,0x40,0x83,0x10"));
    QCOMPARE(questions, QStringList(3, QStringLiteral("Insert a new value?")));
    // A configuration that is no byte list is not edited.
    host.m_pForm->ThirdEdit()->setText(QStringLiteral("0x13,0x100"));
    host.m_pForm->InsertIdentifier(0);
    QCOMPARE(host.m_pForm->ThirdEdit()->text(), QStringLiteral("0x13,0x100"));
    QCOMPARE(host.m_Notifier.m_Texts.size(), size_t(1));
}

void CInputViewTest::identifierDialogRoundTrip() {
    CIdentifierDialog dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Change value settings..."));
    const std::vector<std::vector<std::uint8_t>> lists = {
        {0x13},
        {0x2F},
        {0xF1},
        {0x53},
        {0x00},
        {0x40, 0x83},
        {0x80, 0x41},
        {0xC2, 0x01, 0x03, 0xAA, 0xBB},
        {0xC0, 0x81, 0x01},
        {0x0F},
    };
    for (const auto& bytes : lists) {
        const CIdentifier id = DecodeIdentifiers(bytes).front();
        dialog.SetIdentifier(id);
        QString error;
        const CIdentifier back = dialog.Identifier(&error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QCOMPARE(EncodeIdentifier(back), bytes);
    }
    dialog.SetIdentifier(DecodeIdentifiers({0x13}).front());
    QCOMPARE(dialog.FormatButtons()->checkedId(), 0);
    QCOMPARE(dialog.IoButtons()->checkedId(), 0);
    QVERIFY(dialog.InputLengthEdit()->isEnabled());
    QVERIFY(!dialog.OutputLengthEdit()->isEnabled());
    QVERIFY(!dialog.VendorEdit()->isEnabled());
}

void CInputViewTest::identifierDialogEditsAndValidates() {
    CIdentifierDialog dialog(QStringLiteral("Change settings for value 2..."));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Change settings for value 2..."));
    dialog.SetIdentifier(DecodeIdentifiers({0x13}).front());
    dialog.FormatButtons()->button(1)->click();
    dialog.IoButtons()->button(2)->click();
    QVERIFY(dialog.OutputLengthEdit()->isEnabled());
    QVERIFY(dialog.VendorEdit()->isEnabled());
    dialog.OutputLengthEdit()->setText(QStringLiteral("2"));
    dialog.VendorEdit()->setText(QStringLiteral("0x01, 0x02"));
    QString error;
    CIdentifier id = dialog.Identifier(&error);
    QVERIFY(error.isEmpty());
    QCOMPARE(EncodeIdentifier(id), std::vector<std::uint8_t>({0xC2, 0x01, 0x03, 0x01, 0x02}));

    // Word units consistent over the whole length, in the short format.
    dialog.SetIdentifier(DecodeIdentifiers({0x13}).front());
    dialog.ConsistenceButtons()->button(1)->click();
    dialog.WholeLengthBox()->click();
    QCOMPARE(EncodeIdentifier(dialog.Identifier()), std::vector<std::uint8_t>({0xD3}));

    // A short length above 16 is refused and the dialog stays open.
    dialog.SetIdentifier(DecodeIdentifiers({0x13}).front());
    dialog.InputLengthEdit()->setText(QStringLiteral("17"));
    dialog.setResult(QDialog::Rejected);
    dialog.accept();
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QVERIFY(!dialog.ErrorLabel()->text().isEmpty());
    dialog.InputLengthEdit()->setText(QStringLiteral("x"));
    dialog.Identifier(&error);
    QVERIFY(!error.isEmpty());
    dialog.InputLengthEdit()->setText(QStringLiteral("16"));
    dialog.accept();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(EncodeIdentifier(dialog.Identifier()), std::vector<std::uint8_t>({0x1F}));

    // Vendor bytes must be bytes.
    dialog.SetIdentifier(DecodeIdentifiers({0x40, 0x83}).front());
    dialog.VendorEdit()->setText(QStringLiteral("0x100"));
    dialog.Identifier(&error);
    QVERIFY(!error.isEmpty());
}

QTEST_MAIN(CInputViewTest)
#include "input_view_test.moc"

// The form writes what the file would: a character the code page has as its
// byte, one it lacks as '?', the five bytes the code page leaves undefined as
// themselves; and it shows the bytes as the text pane does.
void CInputViewTest::formTextGoesThroughTheFileCodec_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("ASCII") << QStringLiteral("Velmar") << QByteArray("Velmar");
    QTest::newRow("Latin-1 letter") << QStringLiteral("M\u00fcller") << QByteArray("M\xfcller");
    QTest::newRow("euro sign (0x80)") << QStringLiteral("5 \u20ac") << QByteArray("5 \x80");
    QTest::newRow("undefined byte 0x81 kept") << QStringLiteral("a\u0081b")
                                              << QByteArray(
                                                     "a\x81"
                                                     "b");
    QTest::newRow("Greek omega is not in it") << QStringLiteral("\u03a9hm") << QByteArray("?hm");
    QTest::newRow("CJK is not in it") << QStringLiteral("x\u4e2dy") << QByteArray("x?y");
}

void CInputViewTest::formTextGoesThroughTheFileCodec() {
    QFETCH(QString, typed);
    QFETCH(QByteArray, bytes);
    const std::string expected(bytes.constData(), static_cast<size_t>(bytes.size()));
    QCOMPARE(QtToGsd(typed), expected);
    QCOMPARE(QtToGsd(typed), EncodeCp1252(typed));
    QCOMPARE(GsdToQt(expected), DecodeCp1252(expected));

    CTestViewHost host;
    host.Load(kText);
    host.Select("Vendor_Name");
    host.m_pForm->StringEdit()->setPlainText(typed);
    host.m_pForm->ApplyKeyForm();
    QCOMPARE(host.m_WrittenBack, std::vector<std::string>({"Vendor_Name=\"" + expected + "\""}));
    QCOMPARE(host.EntryOf("Vendor_Name")->m_Ready[0], expected);
    host.Select("GSD_Revision");
    host.Select("Vendor_Name");
    QCOMPARE(host.m_pForm->StringEdit()->toPlainText(), DecodeCp1252(expected));
}

// One row per mode, each offering Apply exactly when it reads its controls
// back; a mode the form does not know shows no editor.
void CInputViewTest::formModeTableHasOneRowPerMode() {
    for (int mode = static_cast<int>(EFormMode::Information); mode <= static_cast<int>(EFormMode::Reference); ++mode) {
        const CInputView::SModeRow* row = CInputView::ModeRow(mode);
        QVERIFY2(row != nullptr, qPrintable(QString::number(mode)));
        QCOMPARE(static_cast<int>(row->m_Mode), mode);
        QCOMPARE(row->m_bApply, row->m_pRead != nullptr);
        QCOMPARE(row->m_pRender != nullptr, row->m_pRead != nullptr);
    }
    QVERIFY(CInputView::ModeRow(-1) == nullptr);
    QVERIFY(CInputView::ModeRow(static_cast<int>(EFormMode::Reference) + 1) == nullptr);

    CTestViewHost host;
    host.Load(kText);
    host.Select("Vendor_Name");
    host.m_Context.m_Form.m_nFormMode = 12;
    host.m_pForm->OnUpdate();
    QCOMPARE(ShownControls(*host.m_pForm), QList<int>());
    QVERIFY(host.m_pForm->IsShown(IDC_HELP));
}
