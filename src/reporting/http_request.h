#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace tessaro {

// Collects the bytes of one HTTP request as they arrive on a connection: the request is complete once the
// header block has ended and as many body bytes as Content-Length announces have followed. Browsers may
// send a form's body in a separate packet, so one read is never assumed to hold the whole request.
class HttpRequestGatherer final {
public:
    enum class State { Incomplete, Complete, TooLarge };
    static constexpr qsizetype kDefaultMaxBytes = 1024 * 1024;

    explicit HttpRequestGatherer(qsizetype maxBytes = kDefaultMaxBytes) : m_maxBytes(maxBytes) {}

    State feed(const QByteArray& bytes);
    State state() const { return m_state; }
    // The request cut to header plus Content-Length body bytes; valid once Complete.
    QByteArray request() const;
    qsizetype bufferedBytes() const { return m_buffer.size(); }

    // Content-Length of a header block: lenient like the rest of the program, 0 when absent or unreadable.
    static qint64 contentLength(QByteArrayView header);

private:
    void findHeaderEnd(qsizetype searchFrom);

    qsizetype m_maxBytes;
    QByteArray m_buffer;
    qsizetype m_bodyStart = -1; // first byte after the blank line, -1 until seen
    qint64 m_bodyLength = 0;
    State m_state = State::Incomplete;
};

// The three parts of a request that the forms logic reads.
struct HttpRequestParts {
    QString path;  // request line's second word, before any "?"
    QString query; // after the "?", or empty
    QString body;  // after the blank line, trimmed, with every CR LF removed
};
HttpRequestParts SplitRequest(const QString& request);

struct RequestParameter {
    QString name;
    QString value;
};
// Query and body joined with "&" and split into name/value pairs in order; names and values of pieces
// with "=" are URL-decoded, a piece without "=" is a bare name with an empty value.
QList<RequestParameter> ParseParameters(const QString& query, const QString& body);

// "+" becomes a blank and "%" with two hexadecimal digits the character of that code; anything else stays.
QString UrlDecode(QStringView text, bool plusIsBlank = true);

// The names under which browsers reach this server: address literals (IPv6 without brackets) and host
// names, compared case-blind, all with the one port.
struct OwnOrigin {
    QStringList hosts;
    quint16 port = 80;
};

// Why a request must be refused because it comes from another web site or under a foreign name, as a
// short plain text starting "Refused: "; empty when it may be answered. Refused: an Origin or Referer that
// is not "http://" + an own host + the port (an opaque "null" origin included), a Host that is not an own
// host with the port (without a port it means 80), and a browser's "Sec-Fetch-Site" of "cross-site" or
// "same-site" (which covers an <img> or link whose page hides its Referer). Headers that are absent (or
// an empty Host) are no reason: plain clients and HTTP/1.0 may send none, while a browser always sends
// Host, so a name that DNS rebinding pointed at this machine is still caught.
QString ForeignRequestReason(QByteArrayView request, const OwnOrigin& own);

// Text made safe to put into a page or a double-quoted attribute: "&", "<", ">" and '"' become entities.
QString HtmlEscape(QStringView text);

} // namespace tessaro
