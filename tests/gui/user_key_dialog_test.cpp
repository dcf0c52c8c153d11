// The user-key dialog and the User Key command: labels, radio groups, the
// range field, the registered keys, and a registration that changes the
// findings of the next check.

#include "views/user_key_dialog.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>
#include <functional>

#include "base/string_table.h"
#include "view_test_host.h"

namespace {

const char* const kText =
    "#Profibus_DP\r\n"
    "GSD_Revision=1\r\n"
    "My_Key=5\r\n";

// Runs `step` on the user-key dialog once it is shown modally.
void OnDialog(std::function<void(CUserKeyDialog&)> step) {
    QTimer::singleShot(0, [step] {
        auto* dialog = qobject_cast<CUserKeyDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog != nullptr);
        step(*dialog);
    });
}

QStringList Labels(const QWidget& widget) {
    QStringList texts;
    for (const QLabel* label : widget.findChildren<QLabel*>()) texts << label->text();
    return texts;
}

QStringList ButtonTexts(const QButtonGroup* group) {
    QStringList texts;
    for (int id = 0; group->button(id) != nullptr; ++id) texts << group->button(id)->text();
    return texts;
}

}  // namespace

class CUserKeyDialogTest : public QObject {
    Q_OBJECT
private slots:
    void dialogTextsAndGroups();
    void rangeFieldFollowsDataType();
    void registeredKeysFromSummary();
    void editUserKeyRegistersAndUpdatesEntry();
    void cancelChangesNothing();
    void disabledRangeKeepsItsText();
    void registrationChangesNextCheck();
    void menuCommandOpensDialog();
};

void CUserKeyDialogTest::dialogTextsAndGroups() {
    CMemoryProfileStore profile;
    CUserKeyDialog dialog(&profile);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Change Settings for User-defined Key..."));
    const QStringList labels = Labels(dialog);
    QVERIFY(labels.contains(QStringLiteral("Range and Length Check (See Help for valid Inputs!):")));
    QVERIFY(labels.contains(QStringLiteral("Registered user-defined keys:")));
    QCOMPARE(ButtonTexts(dialog.DataTypeButtons()),
             QStringList({"String (\"Sample String\")", "Integer (-1, 0, 1, 0x00, 0xAb)", "Bool (0=FALSE, 1=TRUE)",
                          "Octet String (0x00,0x01,0x02,..)"}));
    QCOMPARE(ButtonTexts(dialog.GroupButtons()), QStringList({"General GSD", "Slave", "Master", "Module"}));
    QStringList groupTitles;
    for (const QGroupBox* box : dialog.findChildren<QGroupBox*>()) groupTitles << box->title();
    QCOMPARE(groupTitles, QStringList({"Data Type:", "Key Group:"}));
    QCOMPARE(dialog.DataType(), 0);
    QCOMPARE(dialog.Group(), 0);
    CUserKeyDialog other(&profile, 65105, 3, QStringLiteral("x"), 2);
    QCOMPARE(other.windowTitle(), QStringLiteral("Data Type:"));
    QCOMPARE(other.DataType(), 3);
    QCOMPARE(other.Group(), 2);
    QCOMPARE(other.Range(), QStringLiteral("x"));
}

void CUserKeyDialogTest::rangeFieldFollowsDataType() {
    CMemoryProfileStore profile;
    const bool enabled[] = {true, true, false, false};
    for (int type = 0; type < 4; ++type) {
        CUserKeyDialog dialog(&profile, 0, type);
        QCOMPARE(dialog.RangeEdit()->isEnabled(), enabled[type]);
        QCOMPARE(dialog.RangeLabel()->isEnabled(), enabled[type]);
    }
    CUserKeyDialog dialog(&profile);
    for (int type : {2, 1, 3, 0}) {
        dialog.DataTypeButtons()->button(type)->click();
        QCOMPARE(dialog.RangeEdit()->isEnabled(), enabled[type]);
        QCOMPARE(dialog.RangeLabel()->isEnabled(), enabled[type]);
    }
}

void CUserKeyDialogTest::registeredKeysFromSummary() {
    CMemoryProfileStore profile;
    {
        CUserKeyDialog dialog(&profile);
        QCOMPARE(dialog.RegisteredKeys()->toPlainText(), QStringLiteral("..no keys defined.."));
        QVERIFY(dialog.RegisteredKeys()->isReadOnly());
    }
    profile.PutString("UserKeys", "Summary", "KEY_A,KEY_B,");
    CUserKeyDialog dialog(&profile);
    QCOMPARE(dialog.RegisteredKeys()->toPlainText(), QStringLiteral("KEY_A\nKEY_B\n"));
}

void CUserKeyDialogTest::editUserKeyRegistersAndUpdatesEntry() {
    CTestViewHost host;
    host.Load(kText);
    host.Select("My_Key");
    CKeyEntry* entry = host.m_Context.m_pCurEntry;
    QVERIFY(entry != nullptr);
    QCOMPARE(int(entry->m_TypeFlag), TYPE_USER_KEY);
    OnDialog([](CUserKeyDialog& dialog) {
        // Preset from the entry: type 16 and no group read as String and General.
        QCOMPARE(dialog.DataType(), 0);
        QCOMPARE(dialog.Group(), 0);
        dialog.DataTypeButtons()->button(1)->click();
        dialog.GroupButtons()->button(2)->click();
        dialog.RangeEdit()->setText(QStringLiteral("0..3"));
        dialog.accept();
    });
    QVERIFY(EditUserKey(host.m_Context, entry));
    QCOMPARE(host.m_Profile.GetString("UserKeys", "MY_KEY", ""), std::string("1;2;0..3"));
    QCOMPARE(host.m_Profile.GetString("UserKeys", "Summary", ""), std::string("MY_KEY,"));
    QCOMPARE(int(entry->m_TypeFlag), TYPE_SIMPLE_UINT);
    QCOMPARE(int(entry->m_TreeGroup), PARENT_MASTER);
    QCOMPARE(entry->m_RangeLen.str(), std::string("0..3"));

    // A second registration overwrites the value and leaves the summary as it is;
    // the dialog is preset from the entry's new description.
    OnDialog([](CUserKeyDialog& dialog) {
        QCOMPARE(dialog.DataType(), 1);
        QCOMPARE(dialog.Group(), 2);
        QCOMPARE(dialog.Range(), QStringLiteral("0..3"));
        QCOMPARE(dialog.RegisteredKeys()->toPlainText(), QStringLiteral("MY_KEY\n"));
        dialog.GroupButtons()->button(3)->click();
        dialog.accept();
    });
    QVERIFY(EditUserKey(host.m_Context, entry));
    QCOMPARE(host.m_Profile.GetString("UserKeys", "MY_KEY", ""), std::string("1;3;0..3"));
    QCOMPARE(host.m_Profile.GetString("UserKeys", "Summary", ""), std::string("MY_KEY,"));
    QCOMPARE(int(entry->m_TreeGroup), PARENT_MODULE);
}

void CUserKeyDialogTest::cancelChangesNothing() {
    CTestViewHost host;
    host.Load(kText);
    host.Select("My_Key");
    OnDialog([](CUserKeyDialog& dialog) {
        dialog.DataTypeButtons()->button(2)->click();
        dialog.reject();
    });
    QVERIFY(!EditUserKey(host.m_Context, host.m_Context.m_pCurEntry));
    QVERIFY(!host.m_Profile.Contains("UserKeys", "MY_KEY"));
    QCOMPARE(int(host.m_Context.m_pCurEntry->m_TypeFlag), TYPE_USER_KEY);
}

void CUserKeyDialogTest::disabledRangeKeepsItsText() {
    CTestViewHost host;
    host.Load(kText);
    host.Select("My_Key");
    host.m_Context.m_pCurEntry->SetRangeLen("12");
    OnDialog([](CUserKeyDialog& dialog) {
        dialog.DataTypeButtons()->button(3)->click();
        QVERIFY(!dialog.RangeEdit()->isEnabled());
        dialog.accept();
    });
    QVERIFY(EditUserKey(host.m_Context, host.m_Context.m_pCurEntry));
    QCOMPARE(host.m_Profile.GetString("UserKeys", "MY_KEY", ""), std::string("3;0;12"));
}

void CUserKeyDialogTest::registrationChangesNextCheck() {
    CTestViewHost host;
    host.Load(kText);
    RunCheckGsd(host.m_Context, host.m_Lines, host.m_Database, &host);
    std::vector<int> ids = host.m_Sink.Ids();
    QVERIFY(std::find(ids.begin(), ids.end(), IDS_UNKNOWN_KEY) != ids.end());
    QVERIFY(std::find(ids.begin(), ids.end(), IDS_NOT_ALLOWED_VALUES) == ids.end());

    // The check ended with no current entry; the tree refills and My_Key is selected.
    host.UpdateAllViews(nullptr);
    host.Select("My_Key");
    OnDialog([](CUserKeyDialog& dialog) {
        dialog.DataTypeButtons()->button(2)->click();  // Bool: 5 is not allowed
        dialog.accept();
    });
    QVERIFY(EditUserKey(host.m_Context, host.m_Context.m_pCurEntry));
    RunCheckGsd(host.m_Context, host.m_Lines, host.m_Database, &host);
    ids = host.m_Sink.Ids();
    QVERIFY(std::find(ids.begin(), ids.end(), IDS_UNKNOWN_KEY) == ids.end());
    QVERIFY(std::find(ids.begin(), ids.end(), IDS_NOT_ALLOWED_VALUES) != ids.end());
    // A file that writes the keyword in other letters finds the registration too.
    CTestViewHost other;
    other.m_Context.m_pProfile = &host.m_Profile;
    other.Load("#Profibus_DP\r\nmy_KEY=1\r\n");
    QCOMPARE(int(other.EntryOf("my_KEY")->m_TypeFlag), TYPE_SIMPLE_BOOL);
}

void CUserKeyDialogTest::menuCommandOpensDialog() {
    CTestViewHost host;
    host.Load(kText);
    host.Select("My_Key");
    host.m_pTree->ContextMenu();
    OnDialog([](CUserKeyDialog& dialog) { dialog.accept(); });
    host.m_pTree->MenuAction(ID_USER_KEY)->trigger();
    QCOMPARE(host.m_Profile.GetString("UserKeys", "MY_KEY", ""), std::string("0;0;"));
}

QTEST_MAIN(CUserKeyDialogTest)
#include "user_key_dialog_test.moc"
