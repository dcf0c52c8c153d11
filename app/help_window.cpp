#include "app/help_window.h"

#include <QAction>
#include <QFile>
#include <QScreen>
#include <QTextBrowser>
#include <QToolBar>
#include <QUrl>
#include <algorithm>

#include "app/command_ids.h"
#include "app/help_topics.h"

namespace {
const QString kDefaultPage = "default.htm";
}  // namespace

CHelpWindow::CHelpWindow(QWidget* parent) : QMainWindow(parent, Qt::Window) {
    setObjectName("HelpWindow");
    setWindowTitle(tr("Taluna Help"));
    m_pBrowser = new QTextBrowser(this);
    m_pBrowser->setSearchPaths({":/help"});
    m_pBrowser->setOpenExternalLinks(true);
    setCentralWidget(m_pBrowser);
    auto* bar = addToolBar(tr("Help"));
    bar->setObjectName("HelpToolBar");
    bar->addAction(tr("Back"), m_pBrowser, &QTextBrowser::backward);
    bar->addAction(tr("Forward"), m_pBrowser, &QTextBrowser::forward);
    bar->addAction(tr("Contents"), this, [this] { WinHelp(kDefaultPage, HELP_DISPLAY_TOC); });
    bar->addAction(tr("Index"), this, [this] { WinHelp(kDefaultPage, HELP_DISPLAY_INDEX); });
    resize(760, 560);
}

void CHelpWindow::ShowPage(const QString& page, const QString& anchor) {
    QString name = page;
    if (!QFile::exists(":/help/" + name)) name = kDefaultPage;
    m_CurrentPage = name;
    m_CurrentAnchor = anchor;
    QUrl url("qrc:/help/" + name);
    if (!anchor.isEmpty()) url.setFragment(anchor);
    m_pBrowser->setSource(url);
    if (!anchor.isEmpty()) m_pBrowser->scrollToAnchor(anchor);
    if (!isVisible()) PlaceOverOwner();
    show();
    raise();
    activateWindow();
}

void CHelpWindow::PlaceOverOwner() {
    const QWidget* owner = parentWidget() != nullptr ? parentWidget()->window() : nullptr;
    QScreen* screen = owner != nullptr ? owner->screen() : this->screen();
    if (screen == nullptr) return;
    const QRect available = screen->availableGeometry();
    // Before it is first shown the window's frame is not known yet: the main
    // window's frame stands in for it.
    QMargins frame;
    if (isVisible() || testAttribute(Qt::WA_WState_Created)) {
        frame = QMargins(geometry().left() - frameGeometry().left(), geometry().top() - frameGeometry().top(),
                         frameGeometry().right() - geometry().right(), frameGeometry().bottom() - geometry().bottom());
    } else if (owner != nullptr) {
        const QRect outer = owner->frameGeometry(), inner = owner->geometry();
        frame = QMargins(inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
                         outer.bottom() - inner.bottom());
    }
    resize(size().grownBy(frame).boundedTo(available.size()).shrunkBy(frame));
    QRect placed(QPoint(), size().grownBy(frame));
    placed.moveCenter(owner != nullptr && owner->isVisible() ? owner->frameGeometry().center() : available.center());
    move(std::clamp(placed.left(), available.left(), available.right() + 1 - placed.width()),
         std::clamp(placed.top(), available.top(), available.bottom() + 1 - placed.height()));
}

void CHelpWindow::ShowHelp(const std::string& page, const std::string& anchor) {
    ShowPage(QString::fromStdString(page), QString::fromStdString(anchor));
}

void CHelpWindow::ContextHelp(int contextId) {
    const std::string topic = HelpTopicForContext(contextId);
    if (topic.empty())
        WinHelp(kDefaultPage, HELP_DISPLAY_TOC);
    else
        ShowPage(QString::fromStdString(topic));
}

void CHelpWindow::WinHelp(const QString& data, int command) {
    switch (command) {
        case HELP_CONTEXT: ContextHelp(data.toInt()); break;
        case HELP_DISPLAY_TOC: ShowPage(data.isEmpty() ? kDefaultPage : data, "contents"); break;
        case HELP_DISPLAY_INDEX: ShowPage(data.isEmpty() ? kDefaultPage : data, "index"); break;
        default: {
            const qsizetype hash = data.indexOf('#');
            if (hash < 0)
                ShowPage(data);
            else
                ShowPage(data.left(hash), data.mid(hash + 1));
            break;
        }
    }
}
