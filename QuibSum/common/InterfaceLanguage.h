#pragma once
// The language of the window's texts: Vietnamese when the desktop's first language is
// Vietnamese, English otherwise. The engine's messages are Vietnamese by nature; the English
// interface shows them in English through the same translations.

#include <QString>
#include <QStringList>

class QCoreApplication;

namespace quibsum::InterfaceLanguage {

// "vi" or "en", from the languages the desktop prefers, most wanted first.
QString choose(const QStringList& uiLanguages);

// The desktop's languages, most wanted first: LANGUAGE (a list separated by ":"), then the
// locale's (LC_ALL, LC_MESSAGES, LANG).
QStringList desktopLanguages();

// Loads the translations built into the program for that language; false when they are
// missing (the texts then stay English, the messages Vietnamese).
bool install(QCoreApplication& app, const QString& language);

}  // namespace quibsum::InterfaceLanguage
