// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MainWindowLook.h"

#include <QCoreApplication>
#include <QFontDatabase>
#include <utility>

#include "app/WindowPictures.h"
#include "ui_MainWindow.h"

namespace tolvane {

namespace {

// The wanted families that are installed, in their order (all of them when none is): a family
// that is not makes the toolkit search every font for a stand-in, before it tries the next one.
QStringList installedFamilies(const QStringList& wanted) {
    const QStringList installed = QFontDatabase::families();
    QStringList found;
    for (const QString& family : wanted)
        if (installed.contains(family)) found.append(family);
    return found.isEmpty() ? wanted : found;
}

void setUpPictures(Ui::MainWindow& ui) {
    ui.图片框1->setPixmap(windowPicture(QStringLiteral("header")));
    const QPixmap strip = windowPicture(QStringLiteral("digits"));
    ui.画板1->setPixmap(strip);
    ui.画板2->setDigitStrip(strip.toImage());
    const std::pair<PictureButton*, const char*> buttons[] = {
        {ui.图形按钮6, "menu"}, {ui.图形按钮9, "minimise"}, {ui.图形按钮8, "close"}};
    for (const auto& [button, name] : buttons) {
        button->setPicture(PictureButton::State::kNormal,
                           windowPicture(name + QStringLiteral("-normal")));
        button->setPicture(PictureButton::State::kHot,
                           windowPicture(name + QStringLiteral("-hot")));
    }
}

void setUpDate(QLabel& date) {
    QPalette palette = date.palette();
    palette.setColor(QPalette::WindowText, Qt::white);
    date.setPalette(palette);
    QFont font;
    font.setFamilies(installedFamilies({QStringLiteral("SimSun"), QStringLiteral("宋体"),
                                        QStringLiteral("WenQuanYi Zen Hei"),
                                        QStringLiteral("Noto Sans CJK SC")}));
    font.setPixelSize(19);
    font.setBold(true);
    date.setFont(font);
    date.setAttribute(Qt::WA_TranslucentBackground);
}

// The next bell, on the date's line after it, in the date's white on the header.
void setUpNextBell(QLabel& next) {
    QPalette palette = next.palette();
    palette.setColor(QPalette::WindowText, Qt::white);
    next.setPalette(palette);
    QFont font = next.font();
    font.setPixelSize(13);
    font.setBold(true);
    next.setFont(font);
    next.setAttribute(Qt::WA_TranslucentBackground);
}

void setUpKeyboard(Ui::MainWindow& ui) {
    QWidget::setTabOrder(ui.按钮1, ui.按钮2);
    QWidget::setTabOrder(ui.按钮2, ui.按钮3);
    QWidget::setTabOrder(ui.按钮3, ui.超级列表框1);
    // Screen readers name the controls that show a picture instead of a text.
    ui.图形按钮6->setAccessibleName(QCoreApplication::translate("tolvane::MainWindow", "系统菜单"));
    ui.图形按钮9->setAccessibleName(QCoreApplication::translate("tolvane::MainWindow", "最小化"));
    ui.图形按钮8->setAccessibleName(QCoreApplication::translate("tolvane::MainWindow", "退出"));
    ui.超级列表框1->setAccessibleName(
        QCoreApplication::translate("tolvane::MainWindow", "铃声计划"));
    ui.画板2->setAccessibleName(QCoreApplication::translate("tolvane::MainWindow", "时钟"));
}

}  // namespace

QPixmap dressMainWindow(Ui::MainWindow& ui) {
    setUpPictures(ui);
    setUpDate(*ui.透明标签2);
    setUpNextBell(*ui.下一铃声标签);
    setUpKeyboard(ui);
    // The background shades from top to bottom, each row one colour: one column of it, repeated
    // across, decodes in microseconds where the whole picture took 3-4 ms of the start.
    return windowPicture(QStringLiteral("background-column"));
}

}  // namespace tolvane
