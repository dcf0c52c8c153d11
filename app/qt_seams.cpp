#include "app/qt_seams.h"

#include <QApplication>
#include <QMessageBox>
#include <QStatusBar>

#include "app/cp1252.h"

namespace {

QString Key(const std::string& section, const std::string& name) {
    return QString::fromStdString(section) + '/' + QString::fromStdString(name);
}

}  // namespace

CQtProfileStore::CQtProfileStore() : m_pSettings(std::make_unique<QSettings>("Velmar", "Taluna")) {}

int CQtProfileStore::GetInt(const std::string& section, const std::string& name, int def) const {
    bool ok = false;
    const int value = m_pSettings->value(Key(section, name)).toInt(&ok);
    return ok ? value : def;
}

std::string CQtProfileStore::GetString(const std::string& section, const std::string& name,
                                       const std::string& def) const {
    const QVariant value = m_pSettings->value(Key(section, name));
    if (!value.isValid()) return def;
    return EncodeCp1252(value.toString());
}

bool CQtProfileStore::MayHaveSection(const std::string& section) const {
    return m_pSettings->childGroups().contains(QString::fromStdString(section));
}

void CQtProfileStore::PutInt(const std::string& section, const std::string& name, int value) {
    m_pSettings->setValue(Key(section, name), value);
}

void CQtProfileStore::PutString(const std::string& section, const std::string& name, const std::string& value) {
    m_pSettings->setValue(Key(section, name), DecodeCp1252(value));
}

void CQtNotifier::Notify(const std::string& text, ENotifyIcon icon) {
    const QString message = DecodeCp1252(text);
    if (m_Recorder) {
        m_Recorder(message, icon);
        return;
    }
    QWidget* parent = m_pParent ? m_pParent : QApplication::activeWindow();
    switch (icon) {
        case ENotifyIcon::Information: QMessageBox::information(parent, "Taluna", message); break;
        case ENotifyIcon::Question: QMessageBox::question(parent, "Taluna", message); break;
        default: QMessageBox::warning(parent, "Taluna", message); break;
    }
}

void CQtStatusText::SetStatusText(const std::string& text) {
    m_pBar->showMessage(DecodeCp1252(text));
    m_pBar->repaint();
}

CQtNotifier& AppNotifier() {
    static CQtNotifier notifier(nullptr);
    return notifier;
}

void ShowMessage(const QString& text, ENotifyIcon icon) {
    AppNotifier().Notify(EncodeCp1252(text), icon);
}

bool AskQuestion(const QString& text) {
    CQtNotifier& notifier = AppNotifier();
    if (notifier.m_Answerer) return notifier.m_Answerer(text);
    return QMessageBox::question(QApplication::activeWindow(), "Taluna", text, QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
}
