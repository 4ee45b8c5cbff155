#include "reporting/http_request.h"

#include "config/text_util.h"

#include <QUrl>

#include <utility>

namespace tessaro {

HttpRequestGatherer::State HttpRequestGatherer::feed(const QByteArray& bytes) {
    if (m_state != State::Incomplete || bytes.isEmpty())
        return m_state;
    const qsizetype before = m_buffer.size();
    m_buffer += bytes;
    if (m_bodyStart < 0) {
        // Only the seam can hold a newly completed blank line: no rescan of what was already searched.
        findHeaderEnd(qMax<qsizetype>(0, before - 3));
        if (m_bodyStart < 0) {
            if (m_buffer.size() > m_maxBytes)
                m_state = State::TooLarge;
            return m_state;
        }
        m_bodyLength = contentLength(QByteArrayView(m_buffer).first(m_bodyStart));
        if (m_bodyLength < 0 || m_bodyLength > m_maxBytes - m_bodyStart) {
            m_state = State::TooLarge;
            return m_state;
        }
    }
    if (m_buffer.size() - m_bodyStart >= m_bodyLength)
        m_state = State::Complete;
    else if (m_buffer.size() > m_maxBytes)
        m_state = State::TooLarge;
    return m_state;
}

void HttpRequestGatherer::findHeaderEnd(qsizetype searchFrom) {
    // Clients end the header with CR LF CR LF; hand-typed requests (netcat) may use bare LF LF.
    const qsizetype crlf = m_buffer.indexOf("\r\n\r\n", searchFrom);
    const qsizetype lf = m_buffer.indexOf("\n\n", searchFrom);
    if (crlf >= 0 && (lf < 0 || crlf + 2 <= lf))
        m_bodyStart = crlf + 4;
    else if (lf >= 0)
        m_bodyStart = lf + 2;
}

QByteArray HttpRequestGatherer::request() const {
    if (m_bodyStart < 0)
        return m_buffer;
    return m_buffer.left(m_bodyStart + qsizetype(m_bodyLength));
}

qint64 HttpRequestGatherer::contentLength(QByteArrayView header) {
    static const QByteArray label("content-length:");
    qsizetype lineStart = 0;
    while (lineStart < header.size()) {
        qsizetype lineEnd = header.indexOf('\n', lineStart);
        if (lineEnd < 0)
            lineEnd = header.size();
        const QByteArrayView line = header.sliced(lineStart, lineEnd - lineStart);
        if (line.size() >= label.size() && line.first(label.size()).compare(label, Qt::CaseInsensitive) == 0)
            return Val(QString::fromLatin1(line.sliced(label.size()).trimmed()));
        lineStart = lineEnd + 1;
    }
    return 0;
}

HttpRequestParts SplitRequest(const QString& request) {
    HttpRequestParts parts;
    // The request line alone: a missing HTTP version must not pull header text into the path.
    qsizetype lineEnd = request.indexOf(QLatin1Char('\n'));
    if (lineEnd < 0)
        lineEnd = request.size();
    QStringView line = QStringView(request).first(lineEnd);
    if (line.endsWith(u'\r'))
        line.chop(1);
    const qsizetype firstBlank = line.indexOf(u' ');
    if (firstBlank >= 0) {
        QStringView word = line.sliced(firstBlank + 1);
        const qsizetype secondBlank = word.indexOf(u' ');
        if (secondBlank >= 0)
            word = word.first(secondBlank);
        const qsizetype question = word.indexOf(u'?');
        if (question >= 0) {
            parts.path = word.first(question).toString();
            parts.query = word.sliced(question + 1).toString();
        } else {
            parts.path = word.toString();
        }
    }

    qsizetype blank = request.indexOf(QLatin1String("\r\n\r\n"));
    qsizetype bodyStart = blank >= 0 ? blank + 4 : -1;
    if (blank < 0) {
        blank = request.indexOf(QLatin1String("\n\n"));
        bodyStart = blank >= 0 ? blank + 2 : -1;
    }
    if (bodyStart >= 0 && bodyStart < request.size()) {
        QString body = request.sliced(bodyStart).trimmed();
        body.remove(QLatin1String("\r\n"));
        parts.body = body;
    }
    return parts;
}

QList<RequestParameter> ParseParameters(const QString& query, const QString& body) {
    QString all = query + QLatin1Char('&') + body;
    if (all.startsWith(QLatin1Char('&')))
        all.remove(0, 1);
    if (all.endsWith(QLatin1Char('&')))
        all.chop(1);
    QList<RequestParameter> params;
    if (all.isEmpty())
        return params;
    const QList<QStringView> pieces = QStringView(all).split(u'&');
    params.reserve(pieces.size());
    for (const QStringView piece : pieces) {
        const qsizetype eq = piece.indexOf(u'=');
        if (eq < 0)
            params.append({piece.toString(), QString()});
        else
            params.append({UrlDecode(piece.first(eq)), UrlDecode(piece.sliced(eq + 1))});
    }
    return params;
}

namespace {
// The header lines of a request, after the request line and up to the blank line, as (name, value) pairs.
QList<std::pair<QByteArray, QByteArray>> headerFields(QByteArrayView request) {
    QList<std::pair<QByteArray, QByteArray>> fields;
    qsizetype lineStart = request.indexOf('\n');
    while (lineStart >= 0 && lineStart + 1 < request.size()) {
        ++lineStart;
        qsizetype lineEnd = request.indexOf('\n', lineStart);
        if (lineEnd < 0)
            lineEnd = request.size();
        QByteArrayView line = request.sliced(lineStart, lineEnd - lineStart);
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.isEmpty())
            break; // the body follows
        const qsizetype colon = line.indexOf(':');
        if (colon > 0)
            fields.append(
                {line.first(colon).trimmed().toByteArray().toLower(), line.sliced(colon + 1).trimmed().toByteArray()});
        lineStart = lineEnd < request.size() ? lineEnd : -1;
    }
    return fields;
}

bool isOwn(const QUrl& url, const OwnOrigin& own) {
    if (!url.isValid() || url.scheme() != QLatin1String("http") || !url.userInfo().isEmpty() || url.host().isEmpty())
        return false;
    if (url.port(80) != own.port)
        return false;
    for (const QString& host : own.hosts)
        if (url.host().compare(host, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

QString refusal(const char* header, const QByteArray& value, const char* why) {
    return QStringLiteral("Refused: the %1 header \"%2\" %3.")
        .arg(QLatin1String(header), QString::fromLatin1(value.left(200)), QLatin1String(why));
}
} // namespace

QString ForeignRequestReason(QByteArrayView request, const OwnOrigin& own) {
    for (const auto& [name, value] : headerFields(request)) {
        if (name == "host") {
            // A Host value is an authority only; anything with a path or user part is not one of ours.
            const QUrl url(QStringLiteral("http://") + QString::fromLatin1(value), QUrl::StrictMode);
            const bool plain = !value.isEmpty() && !value.contains('/') && !value.contains('@');
            if (!value.isEmpty() && !(plain && isOwn(url, own)))
                return refusal("Host", value, "does not name this server");
        } else if (name == "origin" || name == "referer") {
            if (!isOwn(QUrl(QString::fromLatin1(value)), own))
                return refusal(name == "origin" ? "Origin" : "Referer", value, "names another web site");
        } else if (name == "sec-fetch-site") {
            if (value.compare("cross-site", Qt::CaseInsensitive) == 0 ||
                value.compare("same-site", Qt::CaseInsensitive) == 0)
                return refusal("Sec-Fetch-Site", value, "says the request comes from another web site");
        }
    }
    return {};
}

namespace {
int hexValue(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}
} // namespace

QString UrlDecode(QStringView text, bool plusIsBlank) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'+' && plusIsBlank) {
            out += QLatin1Char(' ');
        } else if (c == u'%' && i + 2 < text.size() && hexValue(text[i + 1]) >= 0 && hexValue(text[i + 2]) >= 0) {
            // One byte per escape: the page's bytes arrive as they were, Latin-1 like every other text.
            out += QChar(char16_t(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2])));
            i += 2;
        } else {
            out += c;
        }
    }
    return out;
}

QString HtmlEscape(QStringView text) {
    QString out;
    out.reserve(text.size() + text.size() / 8);
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'&':
            out += QLatin1String("&amp;");
            break;
        case u'<':
            out += QLatin1String("&lt;");
            break;
        case u'>':
            out += QLatin1String("&gt;");
            break;
        case u'"':
            out += QLatin1String("&quot;");
            break;
        default:
            out += c;
        }
    }
    return out;
}

} // namespace tessaro
