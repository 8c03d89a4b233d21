// SPDX-License-Identifier: GPL-3.0-or-later
#include "schedule/ui/MusicChooser.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QStandardPaths>
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

bool isOnVolume(const QString& path, const QString& volume) {
    const Qt::CaseSensitivity pathCase =
        pathsIgnoreCase() ? Qt::CaseInsensitive : Qt::CaseSensitive;
    if (volume.endsWith('/') || volume.endsWith(QDir::separator()))
        return path.startsWith(volume, pathCase);
    return path.compare(volume, pathCase) == 0 ||
           path.startsWith(volume + QDir::separator(), pathCase) ||
           path.startsWith(volume + '/', pathCase);
}
}  // namespace

MusicChooser::MusicChooser(QComboBox* driveBox, QListWidget* directories, QListWidget* files,
                           QLineEdit* path, QObject* parent)
    : QObject(parent),
      m_drives(driveBox),
      m_directories(directories),
      m_files(files),
      m_path(path) {
    for (const QString& drive : MusicChooser::drives()) m_drives->addItem(drive, drive);
    connect(m_drives, &QComboBox::activated, this, [this](int index) {
        const QString folder = m_drives->itemData(index).toString();
        if (!folder.isEmpty()) setDirectory(folder);
    });
    // Double-clicking a folder opens it and makes it the bell: a folder bell plays all its MP3s.
    connect(m_directories, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        if (item->flags() & Qt::ItemIsEnabled) onDirectoryActivated(item->text());
    });
    const auto pickFile = [this](QListWidgetItem* item) {
        if (item) m_path->setText(joined(m_directory, item->text()));
    };
    connect(m_files, &QListWidget::currentItemChanged, this, pickFile);
    connect(m_files, &QListWidget::itemDoubleClicked, this, pickFile);
}

QStringList MusicChooser::drives() {
    QStringList list;
    for (const std::string& volume : listVolumes()) list << QString::fromStdString(volume);
    return list;
}

void MusicChooser::selectDriveOf(const QString& path) {
    int best = -1;
    const auto folderOf = [this](int i) { return m_drives->itemData(i).toString(); };
    for (int i = 0; i < m_drives->count(); ++i)
        if (!folderOf(i).isEmpty() && isOnVolume(path, folderOf(i)) &&
            (best < 0 || folderOf(i).size() > folderOf(best).size()))
            best = i;
    m_drives->setCurrentIndex(std::max(best, 0));
}

void MusicChooser::addPlaces(const QString& library) {
    const std::pair<QString, QString> places[] = {
        {tr("铃声库"), library},
        {tr("主目录"), QDir::homePath()},
        {tr("音乐"), QStandardPaths::writableLocation(QStandardPaths::MusicLocation)},
        {tr("桌面"), QStandardPaths::writableLocation(QStandardPaths::DesktopLocation)},
    };
    int at = 0;
    for (const auto& [name, where] : places) {
        const QString folder = QDir::toNativeSeparators(where);
        // Without a music or desktop folder of its own, a system names the home folder again.
        if (where.isEmpty() || !QDir(where).exists() || m_drives->findData(folder) >= 0) continue;
        m_drives->insertItem(at, name, folder);
        m_drives->setItemData(at, folder, Qt::ToolTipRole);
        ++at;
    }
    if (at > 0) m_drives->insertSeparator(at);
}

void MusicChooser::setDirectory(const QString& folder) {
    m_directory = folder;
    m_directories->clear();
    m_files->clear();
    selectDriveOf(folder);
    // The first row says which folder this is: it is not one to open.
    auto* here = new QListWidgetItem(QDir::toNativeSeparators(folder), m_directories);
    here->setFlags(Qt::NoItemFlags);
    QFont bold = here->font();
    bold.setBold(true);
    here->setFont(bold);
    here->setToolTip(QDir::toNativeSeparators(folder));
    m_directories->setToolTip(QDir::toNativeSeparators(folder));
    const QDir dir(folder);
    if (!dir.isRoot()) m_directories->addItem(kParent);
    m_directories->addItems(
        dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase));
    // In the order a folder bell plays them.
    for (const std::string& name : listMp3Files(folder.toStdString()))
        m_files->addItem(QString::fromStdString(name));
}

void MusicChooser::onDirectoryActivated(const QString& name) {
    // Going up only moves the chooser; a folder double-clicked is chosen as the bell's music.
    if (name == kParent)
        return setDirectory(
            QDir::toNativeSeparators(QDir::cleanPath(m_directory + QStringLiteral("/.."))));
    setDirectory(joined(m_directory, name));
    m_path->setText(m_directory);
}

}  // namespace tolvane
