// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The interface's language. Chinese is the source language of every text and the default; the
// English translation is embedded in the program (translations/tolvane_en.ts) and used when the
// desktop's language is not Chinese.

#include <QLocale>
#include <QStringList>

#include "base/UiText.h"

class QCoreApplication;

namespace tolvane {

// Whether the desktop asks for Chinese: its first preferred language that we have (Chinese or
// English) decides; none of them, or the C/POSIX locale, keeps Chinese.
bool prefersChinese(const QStringList& uiLanguages, const QString& localeName);

// Loads the translation the desktop's language asks for (QLocale::system()) and makes the core's
// texts and, given an application, the windows' texts use it. Call once at start, before any
// window exists. Returns whether a translation is in use.
bool useDesktopLanguage(QCoreApplication* app);

// The English translation as the core's texts use it, whatever the program's language (the web
// page's readers choose theirs); null when it cannot be loaded.
const UiTextTranslator* englishUiTexts();

// Whether the texts are translated (the windows' Chinese geometry holds only the Chinese texts).
bool translationInUse();

// The locale of the interface's language, for month and weekday names: Chinese, or English when
// the English translation is in use.
QLocale interfaceLocale();

}  // namespace tolvane
