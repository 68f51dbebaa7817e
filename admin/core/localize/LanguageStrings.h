#pragma once
// The administration's texts by string id (1000 on, see StringTable.h): from the language
// file of the current language beside the program, else from the English
// table compiled in. (The fonts a language needs are the windows' business:
// admin/localize/modLocalize.h.)
//
// Language files: "<program name>_<CODE>.lng" in the program's folder (e.g.
// VoxarenStavioAdmin_DEU.lng), UTF-8, one "id<TAB>text" per line; in a text,
// "\n" stands for a line break, "\t" for a tab and "\\" for a backslash.
// Lines starting with "#" are comments. They are read as data only.
#include <QString>
#include <QStringList>

namespace modLocalize {

// The text of a string id.
QString myLoadResString(int id);
// The English text compiled into the program ("" for an id it lacks).
QString englishString(int id);

// (Re)loads the language file of the current language (the user's default
// language when none is set yet) and rebuilds the language list.
void LoadCurrentLanguage();

qint32 currentLanguage();  // 0 until first set
void setCurrentLanguage(qint32 languageId);

// The codes of the language files found, in the order of their names; one
// empty entry when none is found.
QStringList languageList();

// Codes are compared exactly, in upper case; unknown codes give 1033.
qint32 LanguageCodeToId(const QString& code);
// The three-letter code of a language id ("ENX" for 33801); "ERR" when unknown.
QString LanguageIdToCode(qint32 languageId);
// The language's name, e.g. "German (Germany)"; "(error)" when unknown.
QString LanguageIdToName(qint32 languageId);

// The current language's name in that language; "" before the first set-up.
QString CurrentLanguageName();

// A caption as it reads, without the "&" that marks its access key ("&&" is one "&").
QString captionText(const QString& caption);

}  // namespace modLocalize
