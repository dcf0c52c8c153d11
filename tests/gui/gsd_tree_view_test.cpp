// The tree of keys: fill and sort order, selection and the stale database,
// SelectKeyAtLine, Rebuild, the context menu and the details dialog.

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QScrollBar>
#include <QSet>
#include <QToolTip>
#include <QtTest>

#include "base/string_table.h"
#include "base/text_util.h"
#include "tree_items.h"
#include "view_test_host.h"
#include "views/view_text.h"

namespace {

// A modular slave with module items at lines 9, 20 and 120 (1-based), a key of
// the module group before any module, a user key, a repeated keyword and a
// continued key at its end.
std::string ModularText() {
    std::vector<std::string> lines = {
        "#Profibus_DP",               // 0
        "GSD_Revision=1",             // 1
        "Vendor_Name=\"Velmar\"",     // 2
        "Ext_Module_Prm_Data_Len=2",  // 3
        "Station_Type=0",             // 4
        "Modular_Station=1",          // 5
        "Download_supp=1",            // 6
        "My_Key=5",                   // 7
        "Module=\"Small\" 0x10",      // 8
        "1",                          // 9
        "EndModule",                  // 10
    };
    while (lines.size() < 19) lines.push_back(";");
    lines.push_back("Module=\"Big\" 0x13,0x23");   // 19
    lines.push_back("Ext_Module_Prm_Data_Len=1");  // 20
    lines.push_back("EndModule");                  // 21
    while (lines.size() < 119) lines.push_back("; filler");
    lines.push_back("Module=\"Late\" 0x40,0x83");  // 119
    lines.push_back("EndModule");                  // 120
    lines.push_back("Vendor_Name=\"Again\"");      // 121
    lines.push_back("User_Prm_Data=0x00,\\");      // 122
    lines.push_back("0x01");                       // 123
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

void CheckSortedLevels(const QModelIndex& item) {
    for (int i = 1; i < ChildCount(item); ++i)
        QVERIFY2(CompareTreeText(ItemText(Child(item, i - 1)), ItemText(Child(item, i))) <= 0,
                 qPrintable(ItemText(Child(item, i))));
    for (int i = 0; i < ChildCount(item); ++i) CheckSortedLevels(Child(item, i));
}

// The number of levels from `item` down to its deepest descendant, `item` counted.
int TreeDepth(const QModelIndex& item) {
    int below = 0;
    for (int i = 0; i < ChildCount(item); ++i) below = std::max(below, TreeDepth(Child(item, i)));
    return below + 1;
}

int ImageOf(const QModelIndex& item) {
    return item.data(ROLE_TREE_IMAGE).toInt();
}

bool IsBold(const QModelIndex& item) {
    return item.data(Qt::FontRole).value<QFont>().bold();
}

}  // namespace

class CGSDTreeViewTest : public QObject {
    Q_OBJECT
private slots:
    void compareTreeText_data();
    void compareTreeText();
    void compareKeyItems_data();
    void compareKeyItems();
    void fillsGroupsAndSortsByText();
    void everyEntryKnowsItsItem();
    void emptyDatabaseShowsNoDatabase();
    void imagesAreTwelveDistinctIcons();
    void selectingKeyMakesItCurrent();
    void selectingGroupShowsProductInformation();
    void staleDatabaseDisablesTreeAndForm_data();
    void staleDatabaseDisablesTreeAndForm();
    void refillInProgressSkipsSelectionWork();
    void rebuildLeavesNoItemOnDeletedEntries();
    void selectKeyAtLine();
    void selectKeyAtLineOnStaleTreeDoesNothing();
    void selectKeyAtLineWalksLikeTheTree_data();
    void selectKeyAtLineWalksLikeTheTree();
    void contextMenuItems();
    void keyboardMenuOpensAtTheCurrentItem_data();
    void keyboardMenuOpensAtTheCurrentItem();
    void cutItemTextsShowWholeInATooltip();
    void keyInfoOpensHelpAnchor();
    void commandsWithoutEntryReportNoDatabase();
    void checkSyntaxGoesToTheDocument();
    void detailLines();
    void detailsDialogShowsEveryLine();
    void modularCorpusFile();
};

void CGSDTreeViewTest::compareTreeText_data() {
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<int>("sign");
    QTest::newRow("digits by character") << "Module (120)"
                                         << "Module (20)" << -1;
    QTest::newRow("shorter number") << "Module (9)"
                                    << "Module (20)" << 1;
    QTest::newRow("letters ignore case") << "vendor_name (1)"
                                         << "Vendor_Name (2)" << -1;
    QTest::newRow("equal ignoring case") << "ABC"
                                         << "abc" << 0;
    QTest::newRow("underscore before letters") << "Max_Diag (1)"
                                               << "MaxTsdr (1)" << -1;
    QTest::newRow("prefix first") << "Module"
                                  << "Module_Reference" << -1;
    QTest::newRow("groups") << "Master Keys"
                            << "Slave Keys" << -1;
    QTest::newRow("hyphen") << "User-defined Keys"
                            << "Slave Keys" << 1;
}

void CGSDTreeViewTest::compareTreeText() {
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(int, sign);
    const int result = CompareTreeText(a, b);
    QCOMPARE(result < 0 ? -1 : result > 0 ? 1 : 0, sign);
    const int reverse = CompareTreeText(b, a);
    QCOMPARE(reverse < 0 ? -1 : reverse > 0 ? 1 : 0, -sign);
}

void CGSDTreeViewTest::compareKeyItems_data() {
    QTest::addColumn<QByteArray>("keywordA");
    QTest::addColumn<int>("lineA");
    QTest::addColumn<QByteArray>("keywordB");
    QTest::addColumn<int>("lineB");
    QTest::addColumn<int>("sign");
    QTest::newRow("digits by character") << QByteArray("Module") << 119 << QByteArray("Module") << 19 << -1;
    QTest::newRow("shorter number") << QByteArray("Module") << 8 << QByteArray("Module") << 19 << 1;
    QTest::newRow("number starts the other") << QByteArray("A") << 10 << QByteArray("A") << 109 << -1;
    QTest::newRow("same text") << QByteArray("A") << 4 << QByteArray("A") << 4 << 0;
    QTest::newRow("letters ignore case") << QByteArray("vendor_name") << 0 << QByteArray("Vendor_Name") << 1 << -1;
    QTest::newRow("underscore before letters") << QByteArray("Max_Diag") << 0 << QByteArray("MaxTsdr") << 0 << -1;
    QTest::newRow("prefix keyword") << QByteArray("Module") << 50 << QByteArray("Module_Reference") << 2 << -1;
    QTest::newRow("prefix before a tab") << QByteArray("A") << 1 << QByteArray("A\tB") << 1 << 1;
    QTest::newRow("prefix before a parenthesis") << QByteArray("A") << 1 << QByteArray("A(B") << 1 << -1;
    QTest::newRow("prefix before a blank") << QByteArray("A") << 5 << QByteArray("A (3)") << 1 << 1;
    QTest::newRow("prefix before a blank and digits") << QByteArray("A") << 0 << QByteArray("A (3)") << 1 << -1;
    // The euro sign (byte 0x80) is U+20AC, after y with diaeresis (0xFF, U+00FF).
    QTest::newRow("code page order") << QByteArray("\x80") << 0 << QByteArray("\xFF") << 0 << 1;
    QTest::newRow("upper-case A with grave is not folded") << QByteArray("\xC0") << 0 << QByteArray("\xE0") << 0 << -1;
}

void CGSDTreeViewTest::compareKeyItems() {
    QFETCH(QByteArray, keywordA);
    QFETCH(int, lineA);
    QFETCH(QByteArray, keywordB);
    QFETCH(int, lineB);
    QFETCH(int, sign);
    CKeyEntry a(keywordA.toStdString(), "", lineA);
    CKeyEntry b(keywordB.toStdString(), "", lineB);
    a.m_LongLine = lineA;
    b.m_LongLine = lineB;
    auto signOf = [](int order) { return order < 0 ? -1 : order > 0 ? 1 : 0; };
    // The order of the texts themselves, and the order of the entries without them.
    QCOMPARE(signOf(CompareTreeText(KeyItemText(a), KeyItemText(b))), sign);
    QCOMPARE(signOf(CompareKeyItems(a, b)), sign);
    QCOMPARE(signOf(CompareKeyItems(b, a)), -sign);
}

void CGSDTreeViewTest::fillsGroupsAndSortsByText() {
    CTestViewHost host;
    host.Load(ModularText());
    CGSDTreeView& tree = *host.m_pTree;
    QCOMPARE(tree.model()->rowCount(), 1);
    const QModelIndex root = tree.RootItem();
    QCOMPARE(tree.model()->index(0, 0), root);
    QCOMPARE(ItemText(root), QStringLiteral("Orvan GSD-File"));
    QVERIFY(IsBold(root));
    QCOMPARE(ChildTexts(root), QStringList({"General Keys", "Master Keys", "Slave Keys", "User-defined Keys"}));
    for (int i = 0; i < ChildCount(root); ++i) {
        QVERIFY(IsBold(Child(root, i)));
        QVERIFY(tree.isExpanded(Child(root, i)));
        QCOMPARE(Child(root, i).parent(), root);
    }
    QVERIFY(tree.isExpanded(root));

    const QModelIndex general = ChildNamed(root, "General Keys");
    QCOMPARE(ChildTexts(general),
             QStringList({"GSD_Revision (2)", "Station_Type (5)", "Vendor_Name (122)", "Vendor_Name (3)"}));
    QVERIFY(!IsBold(Child(general, 0)));
    const QModelIndex slave = ChildNamed(root, "Slave Keys");
    QCOMPARE(ChildTexts(slave),
             QStringList({"Modular_Station (6)", "Module (120)", "Module (20)", "Module (9)", "User_Prm_Data (123)"}));
    QCOMPARE(ChildTexts(ChildNamed(root, "Master Keys")), QStringList({"Download_supp (7)"}));
    QCOMPARE(ChildTexts(ChildNamed(root, "User-defined Keys")),
             QStringList({"Ext_Module_Prm_Data_Len (4)", "My_Key (8)"}));

    const QModelIndex small = ChildNamed(slave, "Module (9)");
    QCOMPARE(ChildTexts(small), QStringList({"EndModule (11)", "Module_Reference (10)"}));
    QVERIFY(!tree.isExpanded(small));
    QCOMPARE(Child(small, 1).parent(), small);
    QCOMPARE(ChildTexts(ChildNamed(slave, "Module (20)")),
             QStringList({"EndModule (22)", "Ext_Module_Prm_Data_Len (21)"}));
    QCOMPARE(ImageOf(small), int(IMAGE_MODULE));
    QCOMPARE(ImageOf(ChildNamed(general, "GSD_Revision (2)")), int(IMAGE_UINT));
    QCOMPARE(ImageOf(ChildNamed(general, "Vendor_Name (3)")), int(IMAGE_STRING));
    QCOMPARE(ImageOf(ChildNamed(slave, "User_Prm_Data (123)")), int(IMAGE_OCTET));
    QCOMPARE(ImageOf(ChildNamed(ChildNamed(root, "Master Keys"), "Download_supp (7)")), int(IMAGE_BOOL));
    QCOMPARE(ImageOf(ChildNamed(ChildNamed(root, "User-defined Keys"), "My_Key (8)")), int(IMAGE_OTHER));
    QCOMPARE(ImageOf(root), int(IMAGE_ROOT));
    QCOMPARE(ImageOf(ChildNamed(root, "General Keys")), int(IMAGE_GENERAL));
    QCOMPARE(ImageOf(ChildNamed(root, "Slave Keys")), int(IMAGE_SLAVE));
    QCOMPARE(ImageOf(ChildNamed(root, "Master Keys")), int(IMAGE_MASTER));
    QCOMPARE(ImageOf(ChildNamed(root, "User-defined Keys")), int(IMAGE_USER));
    // The fill ends with the root selected.
    QCOMPARE(tree.currentIndex(), root);
}

void CGSDTreeViewTest::everyEntryKnowsItsItem() {
    CTestViewHost host;
    host.Load(ModularText());
    int items = 0;
    for (const auto& entry : host.m_Database) {
        const QModelIndex item = host.m_pTree->ItemOfEntry(*entry);
        QVERIFY(item.isValid());
        QCOMPARE(host.m_pTree->EntryOfItem(item), entry);
        QCOMPARE(ItemText(item), KeyItemText(*entry));
        // The item is where its parent's rows have it.
        QCOMPARE(Child(item.parent(), item.row()), item);
        ++items;
    }
    QCOMPARE(items, host.m_Database.GetCount());
    QCOMPARE(host.m_pTree->EntryOfItem(host.m_pTree->RootItem()), nullptr);
}

void CGSDTreeViewTest::emptyDatabaseShowsNoDatabase() {
    CTestViewHost host;
    host.Load("; no header here\r\n");
    QCOMPARE(host.m_Database.GetCount(), 0);
    const QModelIndex root = host.m_pTree->RootItem();
    QCOMPARE(ChildTexts(root), QStringList({"no database"}));
    QCOMPARE(ImageOf(Child(root, 0)), int(IMAGE_NO_DATABASE));
    QVERIFY(!IsBold(Child(root, 0)));
    QVERIFY(host.m_pTree->isExpanded(root));
}

void CGSDTreeViewTest::imagesAreTwelveDistinctIcons() {
    QSet<qint64> keys;
    for (int role = 0; role < IMAGE_COUNT; ++role) {
        const QIcon icon = CGSDTreeView::ImageIcon(role);
        QVERIFY(!icon.isNull());
        const QImage image = icon.pixmap(16, 16).toImage();
        QCOMPARE(image.size(), QSize(16, 16));
        keys.insert(qHashBits(image.constBits(), static_cast<size_t>(image.sizeInBytes())));
    }
    QCOMPARE(keys.size(), int(IMAGE_COUNT));
    QVERIFY(CGSDTreeView::ImageIcon(IMAGE_COUNT).isNull());
}

void CGSDTreeViewTest::selectingKeyMakesItCurrent() {
    CTestViewHost host;
    host.Load(ModularText());
    host.m_SelectedLines.clear();
    const int updates = host.m_nUpdates;
    host.Select("Station_Type");
    CKeyEntry* entry = host.EntryOf("Station_Type");
    QCOMPARE(host.m_Context.m_pCurEntry, entry);
    QCOMPARE(host.m_Context.m_nCurItem, entry->Index());
    QCOMPARE(host.m_pTree->SelectedItem(), host.ItemOf("Station_Type"));
    QCOMPARE(host.m_SelectedLines, std::vector<int>({4}));
    QCOMPARE(host.m_Context.m_Form.m_nFormMode, 4);
    QCOMPARE(host.m_Context.m_Form.m_Values[0], std::string("0"));
    QCOMPARE(host.m_nUpdates, updates + 1);
    QVERIFY(host.m_Notifier.m_Texts.empty());
    // The form rendered the record through the update.
    QVERIFY(host.m_pForm->IsShown(IDC_CHOICE_1));
}

void CGSDTreeViewTest::selectingGroupShowsProductInformation() {
    CTestViewHost host;
    host.Load(ModularText());
    host.Select("Station_Type");
    host.m_SelectedLines.clear();
    host.m_pTree->setCurrentIndex(ChildNamed(host.m_pTree->RootItem(), "Slave Keys"));
    QCOMPARE(host.m_Context.m_Form.m_nFormMode, 0);
    QCOMPARE(std::string(host.m_Context.m_Form.m_HelpText), LoadString(IDS_PRODUCT_INFO));
    QCOMPARE(host.m_SelectedLines, std::vector<int>({0}));
}

void CGSDTreeViewTest::staleDatabaseDisablesTreeAndForm_data() {
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("newText");
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<bool>("stale");
    QTest::newRow("keyword gone") << 2 << "Vendor=\"Velmar\""
                                  << "Vendor_Name" << true;
    QTest::newRow("turned into a comment") << 2 << ";Vendor_Name=\"Velmar\""
                                           << "Vendor_Name" << true;
    QTest::newRow("comment after blanks") << 2 << "   ; Vendor_Name"
                                          << "Vendor_Name" << true;
    QTest::newRow("case changed") << 2 << "VENDOR_NAME=\"Velmar\""
                                  << "Vendor_Name" << true;
    QTest::newRow("value edited") << 2 << "Vendor_Name=\"Other\""
                                  << "Vendor_Name" << false;
    QTest::newRow("module reference exempt") << 9 << "2"
                                             << "Module_Reference" << false;
    QTest::newRow("line emptied") << 4 << ""
                                  << "Station_Type" << true;
}

void CGSDTreeViewTest::staleDatabaseDisablesTreeAndForm() {
    QFETCH(int, line);
    QFETCH(QString, newText);
    QFETCH(QString, keyword);
    QFETCH(bool, stale);
    CTestViewHost host;
    host.Load(ModularText());
    host.m_Lines.Lines()[static_cast<size_t>(line)] = newText.toStdString();
    CKeyEntry* before = host.m_Context.m_pCurEntry;
    host.Select(keyword.toStdString());
    QCOMPARE(host.m_pTree->IsStale(), stale);
    QCOMPARE(host.m_pTree->isEnabled(), !stale);
    QCOMPARE(host.m_bFormEnabled, !stale);
    if (stale) {
        QCOMPARE(host.m_Notifier.m_Texts, std::vector<std::string>({LoadString(IDS_STALE_DATABASE)}));
        QCOMPARE(host.m_Notifier.m_Icons.front(), ENotifyIcon::Information);
        QCOMPARE(host.m_Context.m_pCurEntry, before);
        // A stale tree neither refills nor searches until Rebuild enables it;
        // a refill resets the model, which invalidates the items it had.
        const QPersistentModelIndex root = host.m_pTree->RootItem();
        host.m_pTree->OnUpdate();
        QVERIFY(root.isValid());
        QCOMPARE(QModelIndex(root), host.m_pTree->RootItem());
        host.Rebuild();
        QVERIFY(host.m_pTree->isEnabled());
        QVERIFY(host.m_bFormEnabled);
        QVERIFY(!root.isValid());
        QVERIFY(host.m_pTree->RootItem().isValid());
    } else {
        QVERIFY(host.m_Notifier.m_Texts.empty());
        QCOMPARE(host.m_Context.m_pCurEntry, host.EntryOf(keyword.toStdString()));
    }
}

void CGSDTreeViewTest::refillInProgressSkipsSelectionWork() {
    CTestViewHost host;
    host.Load(ModularText());
    host.m_bTreeRefresh = true;
    host.m_SelectedLines.clear();
    host.m_Lines.Lines()[2] = "; gone";
    CKeyEntry* before = host.m_Context.m_pCurEntry;
    host.Select("Vendor_Name");
    QVERIFY(!host.m_pTree->IsStale());
    QCOMPARE(host.m_Context.m_pCurEntry, before);
    QVERIFY(host.m_SelectedLines.empty());
    // The refill of the update clears the flag at its end.
    host.m_pTree->OnUpdate();
    QVERIFY(!host.m_bTreeRefresh);
}

void CGSDTreeViewTest::rebuildLeavesNoItemOnDeletedEntries() {
    CTestViewHost host;
    host.Load(ModularText());
    const QModelIndex old = host.ItemOf("Station_Type");
    QVERIFY(old.isValid());
    // The database is rebuilt but the tree not yet refilled: its items lead
    // to no entry, and selecting one reports the stale database.
    RebuildDatabase(host.m_Context, KeyClassifier(), host.m_Lines, host.m_Database);
    QCOMPARE(host.m_pTree->EntryOfItem(old), nullptr);
    host.m_pTree->setCurrentIndex(old);
    QVERIFY(host.m_pTree->IsStale());
    QCOMPARE(host.m_Context.m_pCurEntry, nullptr);
    host.Rebuild();
    QVERIFY(!host.m_bTreeRefresh);
    // The refill keeps the key selected, now leading to its entry of the new database.
    QCOMPARE(ItemText(host.m_pTree->currentIndex()), QStringLiteral("Station_Type (5)"));
    QCOMPARE(host.m_Context.m_pCurEntry, host.EntryOf("Station_Type"));
    QCOMPARE(host.m_Context.m_Form.m_nFormMode, 4);
    for (const auto& entry : host.m_Database)
        QCOMPARE(host.m_pTree->EntryOfItem(host.m_pTree->ItemOfEntry(*entry)), entry);
    host.Select("Station_Type");
    QCOMPARE(host.m_Context.m_pCurEntry, host.EntryOf("Station_Type"));
}

void CGSDTreeViewTest::selectKeyAtLine() {
    CTestViewHost host;
    host.Load(ModularText());
    host.m_SelectedLines.clear();
    struct SCase {
        int line;
        const char* item;  // null: nothing found
    };
    const SCase cases[] = {
        {4, "Station_Type (5)"},
        {9, "Module_Reference (10)"},  // inside a collapsed module
        {119, "Module (120)"},
        {122, "User_Prm_Data (123)"},
        {123, nullptr},  // continuation line of a key
        {12, nullptr},   // a comment line
        {0, nullptr},    // the header has no key
        {5000, nullptr},
    };
    for (const SCase& c : cases) {
        host.m_Notifier.m_Texts.clear();
        host.m_pTree->SelectKeyAtLine(c.line);
        if (c.item != nullptr) {
            QCOMPARE(ItemText(host.m_pTree->currentIndex()), QString::fromLatin1(c.item));
            QVERIFY(host.m_Context.m_pCurEntry != nullptr);
            QCOMPARE(host.m_Context.m_pCurEntry->m_LongLine, c.line);
            QVERIFY(host.m_Notifier.m_Texts.empty());
        } else {
            QCOMPARE(host.m_Notifier.m_Texts, std::vector<std::string>({"No Tree-Entry found!"}));
            QCOMPARE(host.m_Notifier.m_Icons.back(), ENotifyIcon::Information);
            QCOMPARE(host.m_pTree->currentIndex(), host.m_pTree->RootItem());
        }
    }
    // The text is not moved while the tree follows a request of the text side.
    QVERIFY(host.m_SelectedLines.empty());
    // Selecting the same key twice runs the selection again.
    host.m_pTree->SelectKeyAtLine(4);
    host.m_Context.m_pCurEntry = nullptr;
    host.m_pTree->SelectKeyAtLine(4);
    QCOMPARE(host.m_Context.m_pCurEntry, host.EntryOf("Station_Type"));
    // Afterwards user selections move the text again.
    host.Select("GSD_Revision");
    QCOMPARE(host.m_SelectedLines, std::vector<int>({1}));
}

void CGSDTreeViewTest::selectKeyAtLineOnStaleTreeDoesNothing() {
    CTestViewHost host;
    host.Load(ModularText());
    host.m_pTree->SetStale(true);
    const QModelIndex before = host.m_pTree->currentIndex();
    host.m_pTree->SelectKeyAtLine(4);
    QCOMPARE(host.m_pTree->currentIndex(), before);
    QVERIFY(host.m_Notifier.m_Texts.empty());
}

void CGSDTreeViewTest::selectKeyAtLineWalksLikeTheTree_data() {
    QTest::addColumn<int>("blocks");
    QTest::addColumn<bool>("parenthesisInGeneral");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("item");  // empty: nothing found
    QTest::addColumn<bool>("cancelled");
    QTest::newRow("key below 19 levels") << 18 << false << 100 << "X (101)" << false;
    QTest::newRow("missing line below 19 levels") << 18 << false << 5000 << "" << false;
    QTest::newRow("key below 20 levels") << 19 << false << 100 << "" << true;
    QTest::newRow("missing line below 20 levels") << 19 << false << 5000 << "" << true;
    QTest::newRow("general key before the deep block") << 19 << false << 200 << "Z (201)" << false;
    QTest::newRow("two texts name the line, user group") << 0 << false << 6 << "A (7)" << false;
    QTest::newRow("two texts name the line, general group") << 0 << true << 6 << "K(7) (31)" << false;
    QTest::newRow("a text that names another line") << 0 << false << 30 << "" << false;
}

void CGSDTreeViewTest::selectKeyAtLineWalksLikeTheTree() {
    QFETCH(int, blocks);
    QFETCH(bool, parenthesisInGeneral);
    QFETCH(int, line);
    QFETCH(QString, item);
    QFETCH(bool, cancelled);
    // A database made by hand: a chain of nested blocks of the revision 5
    // rules under "User-defined Keys" with a key in the innermost one, a
    // general key, and a key whose text names a line other than its own.
    CTestViewHost host;
    host.m_Lines.Lines().assign(300, ";");
    auto add = [&](const std::string& keyword, int at, int group, CKeyEntry* parent) -> CKeyEntry& {
        CKeyEntry& entry = host.m_Database.Emplace(keyword, "", at);
        entry.m_LongLine = at;
        entry.m_TreeGroup = group;
        entry.m_hParent = parent;
        host.m_Lines.Lines()[static_cast<size_t>(at)] = keyword + "=1";
        return entry;
    };
    add("A", 6, 0, nullptr);
    add("K(7)", 30, parenthesisInGeneral ? PARENT_GENERAL : 0, nullptr);
    CKeyEntry* block = nullptr;
    for (int i = 0; i < blocks; ++i) block = &add("UnitDiagType", 40 + i, 0, block);
    add("X", 100, 0, block);
    add("Z", 200, PARENT_GENERAL, nullptr);
    // The line that "K(7) (31)" names holds "K" as well, so selecting it is no stale key.
    host.m_Lines.Lines()[6] = "A=1 ; K";
    host.m_pTree = new CGSDTreeView(host);
    host.m_pTree->OnInitialUpdate();
    QCOMPARE(TreeDepth(host.m_pTree->RootItem()), blocks + 3);

    host.m_pTree->SelectKeyAtLine(line);
    if (item.isEmpty()) {
        QCOMPARE(host.m_pTree->currentIndex(), host.m_pTree->RootItem());
        QCOMPARE(
            host.m_Notifier.m_Texts,
            std::vector<std::string>({cancelled ? "No Tree-Entry found.\nSearch cancelled!" : "No Tree-Entry found!"}));
        QCOMPARE(host.m_Notifier.m_Icons.back(), cancelled ? ENotifyIcon::Exclamation : ENotifyIcon::Information);
    } else {
        QCOMPARE(ItemText(host.m_pTree->currentIndex()), item);
        QCOMPARE(host.m_Context.m_pCurEntry, host.m_pTree->EntryOfItem(host.m_pTree->currentIndex()));
        QVERIFY(host.m_Notifier.m_Texts.empty());
    }
}

void CGSDTreeViewTest::contextMenuItems() {
    CTestViewHost host;
    host.Load(ModularText());
    QMenu* menu = host.m_pTree->ContextMenu();
    QStringList texts, tips;
    for (QAction* action : menu->actions()) {
        texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
        tips << action->statusTip();
    }
    QCOMPARE(texts, QStringList({"&Key Info", "&Check Syntax", "&User Key...", "-", "&Show Details..."}));
    QCOMPARE(tips, QStringList({"Shows extended informations about the selected key.",
                                "Checks the data type and range of the selected key.",
                                "Parametrizes the selected user-defined key.", "",
                                "Shows object details (for information only)."}));
    QCOMPARE(host.m_pTree->MenuAction(ID_SHOW_DETAILS)->text(), QStringLiteral("&Show Details..."));
    // Shift+F10 opens the menu.
    host.m_pTree->show();
    QTest::keyClick(host.m_pTree, Qt::Key_F10, Qt::ShiftModifier);
    QTRY_VERIFY(menu->isVisible());
    menu->hide();
}

void CGSDTreeViewTest::keyboardMenuOpensAtTheCurrentItem_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("Shift+F10") << "Shift+F10";
    QTest::newRow("Menu key") << "Menu";
    QTest::newRow("keyboard context menu") << "event";
}

void CGSDTreeViewTest::keyboardMenuOpensAtTheCurrentItem() {
    QFETCH(QString, how);
    CTestViewHost host;
    host.Load(ModularText());
    CGSDTreeView* tree = host.m_pTree;
    tree->setGeometry(40, 40, 320, 420);
    tree->show();
    QVERIFY(QTest::qWaitForWindowExposed(tree));
    const QModelIndex item = host.ItemOf("My_Key");
    QVERIFY(item.isValid());
    tree->setCurrentIndex(item);
    const QRect rect = tree->visualRect(item);
    QVERIFY(rect.top() > 40);
    QMenu* menu = tree->ContextMenu();
    if (how == "Shift+F10") {
        QTest::keyClick(tree, Qt::Key_F10, Qt::ShiftModifier);
    } else if (how == "Menu") {
        QTest::keyClick(tree, Qt::Key_Menu);
    } else {
        QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(0, 0), tree->mapToGlobal(QPoint(0, 0)));
        QApplication::sendEvent(tree, &event);
    }
    QTRY_VERIFY(menu->isVisible());
    const QRect row(tree->viewport()->mapToGlobal(rect.topLeft()), rect.size());
    QVERIFY2(
        menu->pos().y() >= row.top() && menu->pos().y() <= row.bottom() + 1,
        qPrintable(QStringLiteral("menu at %1, row %2..%3").arg(menu->pos().y()).arg(row.top()).arg(row.bottom())));
    QVERIFY(menu->pos().x() >= row.left() && menu->pos().x() <= row.right());
    menu->hide();
}

void CGSDTreeViewTest::cutItemTextsShowWholeInATooltip() {
    CTestViewHost host;
    host.Load(ModularText());
    CGSDTreeView* tree = host.m_pTree;
    tree->setGeometry(40, 40, 120, 420);
    tree->show();
    QVERIFY(QTest::qWaitForWindowExposed(tree));
    const QModelIndex item = host.ItemOf("Ext_Module_Prm_Data_Len");
    QVERIFY(item.isValid());
    auto hover = [tree, item] {
        tree->horizontalScrollBar()->setValue(0);
        const QRect rect = tree->visualRect(item);
        const QPoint pos(rect.left() + 4, rect.center().y());
        QHelpEvent event(QEvent::ToolTip, pos, tree->viewport()->mapToGlobal(pos));
        QApplication::sendEvent(tree->viewport(), &event);
    };
    hover();
    QTRY_VERIFY(QToolTip::isVisible());
    QCOMPARE(QToolTip::text(), ItemText(item));
    QToolTip::hideText();
    QTRY_VERIFY(!QToolTip::isVisible());

    // Shown whole, the text has no tooltip.
    tree->resize(700, 420);
    QCoreApplication::processEvents();
    hover();
    QTest::qWait(50);
    QVERIFY(!QToolTip::isVisible());
}

void CGSDTreeViewTest::keyInfoOpensHelpAnchor() {
    CTestViewHost host;
    host.Load(ModularText());
    host.Select("Download_supp");
    host.m_pTree->ContextMenu();
    host.m_pTree->MenuAction(ID_KEY_INFO)->trigger();
    QCOMPARE(host.m_Help.m_Page, std::string("glossary_keys_master.htm"));
    QCOMPARE(host.m_Help.m_Anchor, std::string("Download_supp"));
}

void CGSDTreeViewTest::commandsWithoutEntryReportNoDatabase() {
    CTestViewHost host;
    host.Load(ModularText());
    host.m_Context.m_pCurEntry = nullptr;
    host.m_pTree->OnKeyInfo();
    host.m_pTree->OnShowDetails();
    host.m_pTree->OnUserKey();
    QCOMPARE(host.m_Notifier.m_Texts, std::vector<std::string>(3, "No database exists."));
    for (ENotifyIcon icon : host.m_Notifier.m_Icons) QCOMPARE(icon, ENotifyIcon::Exclamation);
    QVERIFY(host.m_Help.m_Page.empty());
}

void CGSDTreeViewTest::checkSyntaxGoesToTheDocument() {
    CTestViewHost host;
    host.Load(ModularText());
    host.Select("Station_Type");
    host.m_pTree->ContextMenu();
    host.m_pTree->MenuAction(ID_CHECK_SYNTAX)->trigger();
    QCOMPARE(host.m_nCheckSyntax, 1);
    QCOMPARE(host.m_Sink.Texts(), std::vector<std::string>({"Start Syntax-Check...", LoadString(IDS_CHECK_FINISHED),
                                                            "Stop Syntax-Check..."}));
    // The refill after the rebuild points every item at the new entries.
    QCOMPARE(host.m_pTree->EntryOfItem(host.ItemOf("Station_Type")), host.EntryOf("Station_Type"));
}

void CGSDTreeViewTest::detailLines() {
    CTestViewHost host;
    host.Load(ModularText());
    host.Select("Module");
    const CKeyEntry& entry = *host.m_Context.m_pCurEntry;
    const QStringList lines =
        CObjectDetailsDialog::DetailLines(entry, host.m_pTree->ItemOfEntry(entry).internalPointer(),
                                          host.m_Context.m_nCurItem, host.m_Database.GetCount());
    QCOMPARE(lines.size(), 14);
    QCOMPARE(lines[0], QStringLiteral("Item-Index: %1 (#elements: %2, starts with 0)")
                           .arg(entry.Index())
                           .arg(host.m_Database.GetCount()));
    QCOMPARE(lines[1], QStringLiteral("Key: \"Module\""));
    QCOMPARE(lines[2], QStringLiteral("Value: \"%1\"").arg(GsdToQt(entry.m_Value)));
    QCOMPARE(lines[3], QStringLiteral("LongLine: 8"));
    QCOMPARE(lines[4], QStringLiteral("Line: 8"));
    QCOMPARE(lines[5], QStringLiteral("Type: TYPE_SIMPLE_STRING"));
    QCOMPARE(lines[6], QStringLiteral("ModuleFlag: TYPE_MODULE_BEGIN"));
    QVERIFY(lines[7].startsWith(QStringLiteral("hTree: ")));
    QVERIFY(lines[7] != QStringLiteral("hTree: ") + QStringLiteral("(nil)"));
    QCOMPARE(lines[8], QStringLiteral("TreeGroup: PARENT_SLAVE"));
    QVERIFY(lines[9].startsWith(QStringLiteral("hParent: ")));
    QCOMPARE(lines[10], QStringLiteral("Range/Len: "));
    QCOMPARE(lines[11], QStringLiteral("m_Ready[0]: Small"));
    QCOMPARE(lines[12], QStringLiteral("m_Ready[1]: 0x10"));
    QCOMPARE(lines[13], QStringLiteral("m_Ready[2]: "));

    // The texts for the other flag values.
    CKeyEntry other("X", "", 3);
    struct SFlag {
        int type, group;
        const char* typeText;
        const char* groupText;
    };
    const SFlag flags[] = {
        {TYPE_SIMPLE_UINT, PARENT_GENERAL, "Type: TYPE_SIMPLE_UINT", "TreeGroup: PARENT_GENERAL"},
        {TYPE_SIMPLE_BOOL, PARENT_MASTER, "Type: TYPE_SIMPLE_BOOL", "TreeGroup: PARENT_MASTER"},
        {TYPE_OCTET_STRING, PARENT_MODULE, "Type: TYPE_OCTET_STRING", "TreeGroup: PARENT_MODULE"},
        {TYPE_USER_KEY, 0, "Type: TYPE_USER_KEY", "TreeGroup: ?PARENT_UNKNOWN?"},
        {3, 7, "Type: ?TYPE_UNKNOWN?", "TreeGroup: ?PARENT_UNKNOWN?"},
    };
    for (const SFlag& flag : flags) {
        other.m_TypeFlag = flag.type;
        other.m_TreeGroup = flag.group;
        other.SetRangeLen("0..9");
        const QStringList texts = CObjectDetailsDialog::DetailLines(other, nullptr, 5, 9);
        QCOMPARE(texts[0], QStringLiteral("Item-Index: 5 (#elements: 9, starts with 0)"));
        QCOMPARE(texts[5], QString::fromLatin1(flag.typeText));
        QCOMPARE(texts[6], QStringLiteral("ModuleFlag: -"));
        QCOMPARE(texts[8], QString::fromLatin1(flag.groupText));
        QCOMPARE(texts[10], QStringLiteral("Range/Len: 0..9"));
    }
}

void CGSDTreeViewTest::detailsDialogShowsEveryLine() {
    CTestViewHost host;
    host.Load(ModularText());
    host.Select("Vendor_Name");
    CObjectDetailsDialog dialog(host.m_Context, host.m_Database);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Object Details..."));
    auto* note = dialog.findChild<QLabel*>(QStringLiteral("note"));
    QVERIFY(note != nullptr);
    QCOMPARE(note->text(), QStringLiteral("The information below is for debugging only. Use the text editor window "
                                          "or the dialogues to change these entries."));
    QCOMPARE(dialog.Lines().size(), 14);
    for (int i = 0; i < dialog.Lines().size(); ++i) {
        auto* label = dialog.findChild<QLabel*>(QStringLiteral("detail%1").arg(i));
        QVERIFY(label != nullptr);
        QCOMPARE(label->text(), dialog.Lines()[i]);
    }
    QCOMPARE(dialog.Lines()[1], QStringLiteral("Key: \"Vendor_Name\""));
    QCOMPARE(dialog.Lines()[11], QStringLiteral("m_Ready[0]: Velmar"));
}

void CGSDTreeViewTest::modularCorpusFile() {
    // The real modular file with the most modules: every level sorted, every
    // module item under "Slave Keys" with its keys below it.
    const QDir corpus(QStringLiteral(TALUNA_CORPUS_DIR));
    QString best;
    int bestModules = 0;
    for (const QString& name : corpus.entryList(QDir::Files)) {
        QFile file(corpus.filePath(name));
        if (!file.open(QIODevice::ReadOnly)) continue;
        const int modules = static_cast<int>(file.readAll().toLower().count("\nmodule"));
        if (modules > bestModules) {
            bestModules = modules;
            best = name;
        }
    }
    QVERIFY(bestModules > 20);
    CTestViewHost host;
    QVERIFY(host.LoadFile(corpus.filePath(best)));
    CheckSortedLevels(host.m_pTree->RootItem());
    const QModelIndex slave = ChildNamed(host.m_pTree->RootItem(), "Slave Keys");
    QVERIFY(slave.isValid());
    int moduleItems = 0;
    for (const auto& entry : host.m_Database) {
        const QModelIndex item = host.m_pTree->ItemOfEntry(*entry);
        QVERIFY(item.isValid());
        if (EqualsNoCase(entry->m_Keyword, "Module")) {
            ++moduleItems;
            QCOMPARE(item.parent(), slave);
            QCOMPARE(ImageOf(item), int(IMAGE_MODULE));
        }
        if (EqualsNoCase(entry->m_Keyword, "EndModule")) {
            QVERIFY(item.parent().isValid());
            QCOMPARE(ImageOf(item.parent()), int(IMAGE_MODULE));
        }
    }
    QVERIFY(moduleItems > 20);
    // Finding a key by line agrees with the database for every entry.
    for (int i = 0; i < host.m_Database.GetCount(); i += 31) {
        const CKeyEntry* entry = host.m_Database.GetAt(i);
        host.m_pTree->SelectKeyAtLine(entry->m_LongLine);
        QCOMPARE(host.m_Context.m_pCurEntry->m_LongLine, entry->m_LongLine);
    }
    QVERIFY(host.m_Notifier.m_Texts.empty());
}

QTEST_MAIN(CGSDTreeViewTest)
#include "gsd_tree_view_test.moc"
