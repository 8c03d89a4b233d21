#include "schedule/ui/MusicChooser.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <algorithm>

#include "platform/FolderListing.h"

namespace tolvane {

namespace {
const QString kParent = QStringLiteral("..");

// Paths in the bell's 音乐 value use the system's own separator ("\" on Windows).
QString joined(const QString& folder, const QString& name) {
    const QString separator = QDir::separator();
    return folder.endsWith(separator) || folder.endsWith('/') ? folder + name
                                                              : folder + separator + name;
}

// Drive letters and Windows paths ignore letter case; Linux paths do not.
#ifdef Q_OS_WIN
constexpr Qt::CaseSensitivity kPathCase = Qt::CaseInsensitive;
#else
constexpr Qt::CaseSensitivity kPathCase = Qt::CaseSensitive;
#endif

bool isOnVolume(const QString& path, const QString& volume) {
    if (volume.endsWith('/') || volume.endsWith(QDir::separator()))
        return path.startsWith(volume, kPathCase);
    return path.startsWith(volume + QDir::separator(), kPathCase) ||
           path.startsWith(volume + '/', kPathCase);
}
}  // namespace

MusicChooser::MusicChooser(QComboBox* driveBox, QListWidget* directories, QListWidget* files,
                           QLineEdit* path, QObject* parent)
    : QObject(parent),
      m_drives(driveBox),
      m_directories(directories),
      m_files(files),
      m_path(path) {
    m_drives->addItems(MusicChooser::drives());
    connect(m_drives, &QComboBox::textActivated, this,
            [this](const QString& drive) { setDirectory(drive); });
    // Double-clicking a folder opens it and makes it the bell: a folder bell plays all its MP3s.
    connect(m_directories, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { onDirectoryActivated(item->text()); });
    const auto pickFile = [this](QListWidgetItem* item) {
        if (item) m_path->setText(joined(m_directory, item->text()));
    };
    connect(m_files, &QListWidget::currentItemChanged, this, pickFile);
    connect(m_files, &QListWidget::itemDoubleClicked, this, pickFile);
}

QStringList MusicChooser::drives() {
#ifdef Q_OS_WIN
    QStringList list;
    for (const QFileInfo& drive : QDir::drives())
        list << QDir::toNativeSeparators(drive.absolutePath());
    return list;
#else
    QStringList list{QStringLiteral("/")};
    QFile mounts(QStringLiteral("/proc/mounts"));
    if (!mounts.open(QIODevice::ReadOnly)) return list;
    for (const QByteArray& line : mounts.readAll().split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() < 2) continue;
        // Mount points escape spaces as \040.
        const QString point =
            QString::fromUtf8(fields[1]).replace(QStringLiteral("\\040"), QStringLiteral(" "));
        for (const char* root : {"/media/", "/run/media/", "/mnt/"})
            if (point.startsWith(QLatin1String(root))) list << point;
    }
    list.removeDuplicates();
    return list;
#endif
}

void MusicChooser::selectDriveOf(const QString& path) {
    int best = -1;
    for (int i = 0; i < m_drives->count(); ++i)
        if (isOnVolume(path, m_drives->itemText(i)) &&
            (best < 0 || m_drives->itemText(i).size() > m_drives->itemText(best).size()))
            best = i;
    m_drives->setCurrentIndex(std::max(best, 0));
}

void MusicChooser::setDirectory(const QString& folder) {
    m_directory = folder;
    m_directories->clear();
    m_files->clear();
    const QDir dir(folder);
    if (!dir.isRoot()) m_directories->addItem(kParent);
    m_directories->addItems(
        dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase));
    // In the order a folder bell plays them.
    for (const std::string& name : listMp3Files(folder.toStdString()))
        m_files->addItem(QString::fromStdString(name));
}

void MusicChooser::onDirectoryActivated(const QString& name) {
    const QString target =
        name == kParent
            ? QDir::toNativeSeparators(QDir::cleanPath(m_directory + QStringLiteral("/..")))
            : joined(m_directory, name);
    setDirectory(target);
    m_path->setText(m_directory);
}

}  // namespace tolvane
