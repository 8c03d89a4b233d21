// SPDX-License-Identifier: GPL-3.0-or-later
#include "language/Language.h"

#include <QCoreApplication>
#include <QLocale>
#include <QTranslator>

#include "base/UiText.h"

namespace tolvane {

bool prefersChinese(const QStringList& uiLanguages, const QString& localeName) {
    for (const QString& language : uiLanguages) {
        if (language.startsWith(QLatin1String("zh"))) return true;
        if (language.startsWith(QLatin1String("en"))) return false;
    }
    if (localeName == QLatin1String("C") || localeName == QLatin1String("POSIX")) return true;
    // A desktop in a language we have no translation for reads English sooner than Chinese.
    return uiLanguages.isEmpty();
}

namespace {
bool g_english = false;

// Lives as long as the program: the core's texts are looked up in it from any thread.
QTranslator& englishTranslator() {
    static QTranslator english;
    static const bool loaded = english.load(QStringLiteral(":/i18n/tolvane_en.qm"));
    (void)loaded;
    return english;
}
}  // namespace

bool useDesktopLanguage(QCoreApplication* app) {
    const QLocale desktop = QLocale::system();
    if (prefersChinese(desktop.uiLanguages(), desktop.name())) {
        // Qt's own buttons and menus (是, 否, 确定) speak the interface's language too.
        static QTranslator qtInChinese;
        if (app && qtInChinese.load(QStringLiteral(":/i18n/qtbase_zh_CN.qm")))
            app->installTranslator(&qtInChinese);
        return false;
    }
    const UiTextTranslator* english = englishUiTexts();
    if (!english) return false;
    if (app) app->installTranslator(&englishTranslator());
    g_english = true;
    setUiTextTranslator(*english);
    return true;
}

const UiTextTranslator* englishUiTexts() {
    static const UiTextTranslator texts = [] {
        QTranslator& english = englishTranslator();
        return english.isEmpty()
                   ? UiTextTranslator()
                   : UiTextTranslator([&english](const char* context, const char* source) {
                         return english.translate(context, source).toStdString();
                     });
    }();
    return texts ? &texts : nullptr;
}

bool translationInUse() {
    return g_english;
}

QLocale interfaceLocale() {
    return g_english ? QLocale(QLocale::English, QLocale::UnitedStates)
                     : QLocale(QLocale::Chinese, QLocale::China);
}

}  // namespace tolvane
