#include "views/template_dlg.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/cp1252.h"
#include "app/qt_seams.h"
#include "base/string_table.h"
#include "model/seams.h"
#include "views/list_box_bar.h"

namespace {

constexpr int MAX_FIRST_LINE = 254;
constexpr int DESCRIPTION_OFFSET = 10;
const char* const kMarker = "Taluna:";

QString Text(int id) {
    return DecodeCp1252(LoadString(id));
}

QString WithSeparator(const QString& dir) {
    return dir.endsWith('/') ? dir : dir + '/';
}

}  // namespace

QString CTemplateDlg::BundledTemplateDir() {
    const QString appDir = QCoreApplication::applicationDirPath();
    for (const QString& candidate :
         {appDir + "/templates", appDir + "/../share/taluna/templates", QString(TALUNA_TEMPLATES_DIR)}) {
        if (QFileInfo(candidate).isDir()) return WithSeparator(QDir(candidate).absolutePath());
    }
    return {};
}

QString CTemplateDlg::DefaultTemplateDir(const IProfileStore* profile) {
    if (profile != nullptr) {
        const std::string stored = profile->GetString("Settings", "Tpl_Path", "");
        if (!stored.empty()) return WithSeparator(DecodeCp1252(stored));
    }
    const QString local = QDir::current().filePath("Templates");
    if (QFileInfo(local).isDir()) return WithSeparator(local);
    const QString bundled = BundledTemplateDir();
    return bundled.isEmpty() ? WithSeparator(local) : bundled;
}

QString CTemplateDlg::DescriptionOf(const QByteArray& firstLine) {
    if (!firstLine.contains(kMarker)) return {};
    return DecodeCp1252(std::string_view(firstLine.constData(), static_cast<size_t>(firstLine.size())))
        .mid(DESCRIPTION_OFFSET)
        .trimmed();
}

CTemplateDlg::CTemplateDlg(IProfileStore* profile, QWidget* parent, int titleId)
    : QDialog(parent), m_pProfile(profile) {
    setWindowTitle(Text(titleId == 0 ? 65095 : titleId));
    m_TemplateDir = DefaultTemplateDir(profile);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(Text(65093), this));
    m_pList = new QTreeWidget(this);
    m_pList->setObjectName("TemplateList");
    m_pList->setColumnCount(2);
    m_pList->setHeaderLabels({tr("File"), tr("Description")});
    m_pList->setColumnWidth(0, 90 * 2);
    m_pList->setColumnWidth(1, 180 * 2);
    m_pList->setRootIsDecorated(false);
    m_pList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_pList->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_pList->installEventFilter(this);
    layout->addWidget(m_pList);
    m_pPathLabel = new QLabel(this);
    m_pPathLabel->setObjectName("PathLabel");
    layout->addWidget(m_pPathLabel);
    auto* buttons = new QHBoxLayout;
    auto* browse = new QPushButton(tr("&Browse..."), this);
    auto* empty = new QPushButton(tr("&Empty Doc"), this);
    m_pOpen = new QPushButton(tr("&Open >>"), this);
    m_pOpen->setEnabled(false);
    m_pOpen->setDefault(true);
    auto* cancel = new QPushButton(tr("&Cancel"), this);
    buttons->addWidget(browse);
    buttons->addWidget(empty);
    buttons->addStretch();
    buttons->addWidget(m_pOpen);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(browse, &QPushButton::clicked, this, [this] { FillList(true); });
    connect(empty, &QPushButton::clicked, this, [this] {
        m_bEmptyDoc = true;
        accept();
    });
    connect(m_pOpen, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_pList, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item) { SelectRow(m_pList->indexOfTopLevelItem(item)); });
    connect(m_pList, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
        SelectRow(m_pList->indexOfTopLevelItem(item));
        if (item->text(0).toLower().contains(".tpl")) accept();
    });
    resize(600, 360);
    m_bFilling = true;
    FillList(false);
    m_bFilling = false;
}

void CTemplateDlg::AddErrorRow(const QString& description) {
    auto* item = new QTreeWidgetItem(m_pList, {tr("Error !"), description});
    item->setIcon(0, CMyListBoxBar::KindIcon(1));
}

void CTemplateDlg::FillList(bool browse) {
    m_pList->clear();
    if (browse) {
        const QString chosen =
            m_BrowseHook ? m_BrowseHook()
                         : QFileDialog::getOpenFileName(this, Text(65097), m_TemplateDir, tr("Templates (*.tpl)"));
        if (chosen.isEmpty()) {
            m_TemplateDir.clear();
            AddErrorRow(tr("No directory selected."));
            return;
        }
        m_TemplateDir = WithSeparator(QFileInfo(chosen).absolutePath());
        if (m_pProfile) m_pProfile->PutString("Settings", "Tpl_Path", EncodeCp1252(m_TemplateDir));
    }
    QDir dir(m_TemplateDir);
    const QStringList files =
        m_TemplateDir.isEmpty()
            ? QStringList()
            : dir.entryList({"*.tpl"}, QDir::Files | QDir::Hidden | QDir::System, QDir::Name | QDir::IgnoreCase);
    if (files.isEmpty()) {
        AddErrorRow(tr("No files found. Use Browse.."));
        return;
    }
    const QIcon icon = style()->standardIcon(QStyle::SP_FileIcon);
    for (const QString& name : files) {
        QFile file(dir.filePath(name));
        if (!QFileInfo(file.fileName()).isFile() || !file.open(QIODevice::ReadOnly)) {
            ShowMessage(tr("Error opening file %1.").arg(name));
            return;
        }
        QByteArray first = file.readLine(MAX_FIRST_LINE + 1);
        while (first.endsWith('\n') || first.endsWith('\r')) first.chop(1);
        if (first.contains(kMarker)) {
            auto* item = new QTreeWidgetItem(m_pList, {name, DescriptionOf(first)});
            item->setIcon(0, icon);
        }
    }
}

void CTemplateDlg::SelectRow(int row) {
    if (row < 0) return;
    QTreeWidgetItem* item = m_pList->topLevelItem(row);
    const QString name = item ? item->text(0) : QString();
    m_SelectedPath = m_TemplateDir + name;
    m_pPathLabel->setText(QDir::toNativeSeparators(m_SelectedPath));
    m_pOpen->setEnabled(name.toLower().contains(".tpl"));
}

bool CTemplateDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_pList && event->type() == QEvent::KeyPress) {
        // The selection has not moved yet: Down takes the next row, Up the previous.
        const int key = static_cast<QKeyEvent*>(event)->key();
        QTreeWidgetItem* current = m_pList->currentItem();
        int row = current ? m_pList->indexOfTopLevelItem(current) : -1;
        if (key == Qt::Key_Down)
            row = current ? row + 1 : -1;
        else if (key == Qt::Key_Up)
            row = row - 1;
        SelectRow(row);
    }
    return QDialog::eventFilter(watched, event);
}
