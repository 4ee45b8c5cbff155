#pragma once

#include <QHash>
#include <QString>

namespace tessaro {

class CConfiguration;

// Language ids of the string tables.
enum LanguageId : int { English = 1033, French = 1036, Russian = 1049 };

// Text of resource string id in the current language, or defaultText when the table has none.
// English texts are the callers' defaults, so the English table only needs entries that differ.
QString GetText(int id, const QString& defaultText);

// Selects the language for every later GetText; unknown ids fall back to English. Returns the id in force.
int SetLanguage(int langId);
int CurrentLanguage();

// Selects the language stored under "MultiLang"/"LangId" (English when none is stored). Returns the id in force.
int LoadLanguage(CConfiguration& config);

// Parses a string table: one "id<TAB>text" per line, "\n" and "\t" escaped, "#" starts a comment line.
QHash<int, QString> ParseStringTable(const QByteArray& utf8);

} // namespace tessaro
