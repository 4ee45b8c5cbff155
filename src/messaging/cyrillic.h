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

// The code page message bodies are written in: "[CodePage]" "866" or "1251", Latin-1 otherwise.
enum class MessageCodePage { Latin1, Dos866, Windows1251 };
MessageCodePage MessageCodePageOf(const QString& setting);
// "Latin-1", "IBM/DOS 866 Cyrillic", "Windows 1251 Cyrillic".
QString MessageCodePageName(MessageCodePage codePage);

// The characters of text the code page cannot carry, each once, in the order they first appear. As in
// ToCp1251, characters below 256 count as bytes already written in the code page.
QString UncarriedCharacters(const QString& text, MessageCodePage codePage);
// "The message holds characters that NAME cannot carry: Ж (U+0416), ..." for the characters found.
QString UncarriedCharactersText(const QString& characters, MessageCodePage codePage);
// The body as stored and uploaded (one character a byte): 1251 codes for both Cyrillic pages, since the
// upload step lowers them to 866; unchanged for Latin-1. Only for a text with no uncarried characters.
QString MessageBodyBytes(const QString& text, MessageCodePage codePage);

} // namespace tessaro
