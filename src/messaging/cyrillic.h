#pragma once

#include <QByteArray>
#include <QString>

namespace tessaro {

// Windows 1251 bytes of a text. Characters below 256 are taken as the bytes they already stand for (text
// in this program holds file and link bytes as Latin-1); Cyrillic and the other 1251 characters typed as
// Unicode get their 1251 code; anything else becomes "?".
QByteArray ToCp1251(const QString& text);

// The upload conversion to DOS 866: 1251 codes 192..239 are lowered by 64, 240..255 by 16. The letters
// Yo and yo (168 and 184 in 1251) get their 866 codes 240 and 241 instead of landing on unrelated letters.
QByteArray Cp1251To866(const QByteArray& cp1251);

} // namespace tessaro
