#include "messaging/cyrillic.h"

#include <QHash>

namespace tessaro {

namespace {
// Unicode of the 1251 codes 0x80..0xBF (0 where the code page leaves a code unassigned);
// 0xC0..0xFF are the contiguous letters U+0410..U+044F.
constexpr char16_t kHigh1251[64] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039, 0x040A,
    0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x0000, 0x2122,
    0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6,
    0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456,
    0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457};

const QHash<char16_t, char>& unicodeTo1251() {
    static const QHash<char16_t, char> table = [] {
        QHash<char16_t, char> t;
        for (int i = 0; i < 64; ++i)
            if (kHigh1251[i] >= 0x100)
                t.insert(kHigh1251[i], char(0x80 + i));
        for (int i = 0; i < 64; ++i)
            t.insert(char16_t(0x0410 + i), char(0xC0 + i));
        return t;
    }();
    return table;
}
} // namespace

QByteArray ToCp1251(const QString& text) {
    QByteArray out;
    out.reserve(text.size());
    const auto& table = unicodeTo1251();
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x100)
            out += char(u);
        else
            out += table.value(u, '?');
    }
    return out;
}

QByteArray Cp1251To866(const QByteArray& cp1251) {
    QByteArray out = cp1251;
    for (char& ch : out) {
        const auto code = static_cast<unsigned char>(ch);
        if (code >= 192 && code <= 239)
            ch = char(code - 64);
        else if (code >= 240)
            ch = char(code - 16);
        else if (code == 168)
            ch = char(240);
        else if (code == 184)
            ch = char(241);
    }
    return out;
}

MessageCodePage MessageCodePageOf(const QString& setting) {
    const QString value = setting.trimmed();
    if (value == QLatin1String("866"))
        return MessageCodePage::Dos866;
    if (value == QLatin1String("1251"))
        return MessageCodePage::Windows1251;
    return MessageCodePage::Latin1;
}

QString MessageCodePageName(MessageCodePage codePage) {
    switch (codePage) {
    case MessageCodePage::Dos866:
        return QStringLiteral("IBM/DOS 866 Cyrillic");
    case MessageCodePage::Windows1251:
        return QStringLiteral("Windows 1251 Cyrillic");
    case MessageCodePage::Latin1:
        break;
    }
    return QStringLiteral("Latin-1");
}

QString UncarriedCharacters(const QString& text, MessageCodePage codePage) {
    const auto carried = [codePage](char16_t u) {
        if (u < 0x100)
            return true;
        switch (codePage) {
        case MessageCodePage::Latin1:
            return false;
        case MessageCodePage::Windows1251:
            return unicodeTo1251().contains(u);
        case MessageCodePage::Dos866:
            // The upload conversion gives right 866 codes only for the letters.
            return (u >= 0x0410 && u <= 0x044F) || u == 0x0401 || u == 0x0451;
        }
        return false;
    };
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        // A character outside the 16-bit plane is named whole, surrogate pair and all.
        const QString one = c.isHighSurrogate() && i + 1 < text.size() ? text.mid(i, 2) : QString(c);
        i += one.size() - 1;
        if ((one.size() > 1 || !carried(c.unicode())) && !out.contains(one))
            out += one;
    }
    return out;
}

QString UncarriedCharactersText(const QString& characters, MessageCodePage codePage) {
    QStringList named;
    for (const uint code : characters.toUcs4())
        named << QStringLiteral("%1 (U+%2)")
                     .arg(QString::fromUcs4(reinterpret_cast<const char32_t*>(&code), 1),
                          QString::number(code, 16).toUpper().rightJustified(4, QLatin1Char('0')));
    return QStringLiteral("The message holds characters that %1 cannot carry: %2")
        .arg(MessageCodePageName(codePage), named.join(QStringLiteral(", ")));
}

QString MessageBodyBytes(const QString& text, MessageCodePage codePage) {
    if (codePage == MessageCodePage::Latin1)
        return text;
    return QString::fromLatin1(ToCp1251(text));
}

} // namespace tessaro
