#include "app/about_dlg.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>
#include <QVBoxLayout>
#include <filesystem>
#include <system_error>

#include "app/cp1252.h"
#include "check/string_table.h"

QPixmap ProgramPicture(int width, int height) {
    QPixmap pixmap(width, height);
    QPainter painter(&pixmap);
    QLinearGradient gradient(0, 0, width, height);
    gradient.setColorAt(0, QColor(0, 40, 110));
    gradient.setColorAt(1, QColor(0, 120, 170));
    painter.fillRect(pixmap.rect(), gradient);
    painter.setPen(Qt::white);
    QFont title("Arial");
    title.setPixelSize(height / 4);
    title.setBold(true);
    painter.setFont(title);
    painter.drawText(QRect(0, 0, width, height * 2 / 3), Qt::AlignCenter, "Taluna");
    QFont sub("Arial");
    sub.setPixelSize(std::max(9, height / 14));
    painter.setFont(sub);
    painter.drawText(QRect(0, height / 2, width, height / 2), Qt::AlignCenter,
                     "Orvan Taluna V2.1\nEditor and checker for PROFIBUS-DP GSD files");
    return pixmap;
}

std::optional<std::uint64_t> CAboutDlg::FreeMemoryKb() {
    QFile meminfo("/proc/meminfo");
    if (!meminfo.open(QIODevice::ReadOnly | QIODevice::Text)) return std::nullopt;
    while (!meminfo.atEnd()) {
        const QByteArray line = meminfo.readLine();
        if (!line.startsWith("MemAvailable:")) continue;
        bool ok = false;
        const std::uint64_t kb = line.mid(13).trimmed().split(' ').value(0).toULongLong(&ok);
        if (ok) return kb;
    }
    return std::nullopt;
}

std::optional<std::uint64_t> CAboutDlg::FreeDiskKb() {
    std::error_code ec;
    const auto space = std::filesystem::space(std::filesystem::current_path(ec), ec);
    if (ec) return std::nullopt;
    return space.available / 1024;
}

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("About Taluna..."));
    auto* layout = new QVBoxLayout(this);
    auto* picture = new QLabel(this);
    picture->setPixmap(ProgramPicture(320, 120));
    layout->addWidget(picture);
    layout->addWidget(new QLabel(tr("Taluna Version 2.1"), this));

    const auto memory = FreeMemoryKb();
    m_MemoryText = memory ? DecodeCp1252(LoadString(53)).replace("%lu", QString::number(*memory))
                          : DecodeCp1252(LoadString(55));
    const auto disk = FreeDiskKb();
    m_DiskText = disk ? DecodeCp1252(LoadString(54))
                            .replace("%lu", QString::number(*disk))
                            .replace("%s", QDir::toNativeSeparators(QDir::currentPath()))
                      : DecodeCp1252(LoadString(55));
    auto* memoryLabel = new QLabel(tr("Free memory: %1").arg(m_MemoryText), this);
    memoryLabel->setObjectName("memory");
    auto* diskLabel = new QLabel(tr("Free disk space: %1").arg(m_DiskText), this);
    diskLabel->setObjectName("disk");
    layout->addWidget(memoryLabel);
    layout->addWidget(diskLabel);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}
