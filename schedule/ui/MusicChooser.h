// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The music chooser of both editing windows: drive box, directory box, file box listing the
// folder's MP3 files, and the path edit box whose text is the bell's 音乐 value.

#include <QObject>
#include <QString>

class QComboBox;
class QLineEdit;
class QListWidget;

namespace tolvane {

class MusicChooser final : public QObject {
    Q_OBJECT
public:
    MusicChooser(QComboBox* drives, QListWidget* directories, QListWidget* files, QLineEdit* path,
                 QObject* parent = nullptr);

    // Shows folder in the directory and file boxes (the directory text).
    void setDirectory(const QString& folder);
    const QString& directory() const { return m_directory; }
    // Sets the drive box to the place or volume that holds path, the nearest when several do.
    void selectDriveOf(const QString& path);
    // Puts the places a caretaker knows before the drives, one choice away: the 铃声库 (library),
    // the home folder, 音乐 and 桌面, each where it exists.
    void addPlaces(const QString& library);

    // The drives: on Linux "/" and the volumes mounted under /media, /run/media and /mnt; on
    // Windows the drive roots ("C:\\").
    static QStringList drives();

private:
    void onDirectoryActivated(const QString& name);

    QComboBox* m_drives;
    QListWidget* m_directories;
    QListWidget* m_files;
    QLineEdit* m_path;
    QString m_directory;
};

}  // namespace tolvane
