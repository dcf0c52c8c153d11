#pragma once
// The about box: picture, version line, free physical memory and free disk space
// of the current directory.

#include <QDialog>
#include <QString>
#include <cstdint>
#include <optional>

class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);

    QString MemoryText() const { return m_MemoryText; }
    QString DiskText() const { return m_DiskText; }

    // MemAvailable of /proc/meminfo in KB; empty when it cannot be read.
    static std::optional<std::uint64_t> FreeMemoryKb();
    // Free space of the current directory in KB; empty when it cannot be read.
    static std::optional<std::uint64_t> FreeDiskKb();

private:
    QString m_MemoryText;
    QString m_DiskText;
};

// The program's picture, used by the about box and the splash window.
class QPixmap;
QPixmap ProgramPicture(int width, int height);
