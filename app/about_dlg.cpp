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

namespace {

// The about box's own texts; their resource ids (53, 54, 55) are taken by help
// texts in the core's string table.
constexpr const char* kMemoryFormat = "%lu KB";
constexpr const char* kDiskFormat = "%lu KB Free on %s";
constexpr const char* kUnavailable = "Unavailable";

}  // namespace

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
    // /proc files report a size of 0, so the whole text is read at once.
    for (const QByteArray& line : meminfo.readAll().split('\n')) {
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
    m_MemoryText = memory ? QString(kMemoryFormat).replace("%lu", QString::number(*memory)) : QString(kUnavailable);
    const auto disk = FreeDiskKb();
    m_DiskText = disk ? QString(kDiskFormat)
                            .replace("%lu", QString::number(*disk))
                            .replace("%s", QDir::toNativeSeparators(QDir::currentPath()))
                      : QString(kUnavailable);
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
