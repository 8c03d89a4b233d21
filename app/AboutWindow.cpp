// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AboutWindow.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "base/Notices.h"
#include "base/UiText.h"

namespace tolvane {

namespace {

QLabel* wrappedLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

QTreeWidget* libraryList(QWidget* parent) {
    auto* list = new QTreeWidget(parent);
    list->setObjectName(QStringLiteral("程序库列表"));
    list->setAccessibleName(AboutWindow::tr("程序库"));
    list->setRootIsDecorated(false);
    list->setHeaderLabels(
        {AboutWindow::tr("程序库"), AboutWindow::tr("许可证"), AboutWindow::tr("用途")});
    for (const LibraryNotice& library : libraryNotices())
        new QTreeWidgetItem(list,
                            {QString::fromUtf8(library.name), QString::fromUtf8(library.licence),
                             QString::fromStdString(uiText("Notices", library.use))});
    // Room between the columns, which fitting them to their texts leaves none of.
    for (int column = 0; column < list->columnCount(); ++column) {
        list->resizeColumnToContents(column);
        list->setColumnWidth(column, list->columnWidth(column) + 16);
    }
    list->header()->setStretchLastSection(true);
    return list;
}

}  // namespace

QString licenceTextsPlace(const QString& programFolder) {
    const QString carried = QDir(programFolder).filePath(QStringLiteral("licenses"));
    if (QFileInfo(QDir(carried).filePath(QStringLiteral("Tolvane.txt"))).isFile())
        return QDir::toNativeSeparators(carried);
    const QString installed = QStringLiteral("/usr/share/doc/tolvane/copyright");
    return QFileInfo(installed).isFile() ? installed : QString();
}

AboutWindow::AboutWindow(const QString& programFolder, QWidget* parent)
    : QDialog(parent), m_libraries(libraryList(this)) {
    setObjectName(QStringLiteral("关于窗口"));
    setWindowTitle(tr("关于 Tolvane"));
    resize(620, 480);
    auto* layout = new QVBoxLayout(this);
    auto* title = new QLabel(
        QStringLiteral("<b>%1 %2</b>").arg(QString::fromUtf8(kProgramName), TOLVANE_VERSION), this);
    title->setObjectName(QStringLiteral("版本标签"));
    layout->addWidget(title);
    layout->addWidget(wrappedLabel(tr("学校和工厂的打铃软件。"), this));
    layout->addWidget(wrappedLabel(
        tr("Tolvane 是自由软件：你可以按自由软件基金会发布的 GNU 通用公共许可证第 3 "
           "版，或（由你选择）任何更高的版本（%1）再发布和修改它。发布它是希望它有用，但不提供任何"
           "担保，也没有适销性或适合某一用途的默示担保。")
            .arg(QString::fromUtf8(kProgramLicence)),
        this));
    layout->addWidget(wrappedLabel(tr("它包含或使用下列程序库，各按其许可证："), this));
    layout->addWidget(m_libraries, 1);
    if (const QString place = licenceTextsPlace(programFolder); !place.isEmpty())
        layout->addWidget(wrappedLabel(tr("许可证全文：%1").arg(place), this));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setText(tr("确定"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}

}  // namespace tolvane
