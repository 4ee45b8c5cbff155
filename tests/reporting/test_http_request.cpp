#include "reporting/http_request.h"

#include <gtest/gtest.h>

using namespace tessaro;
using State = HttpRequestGatherer::State;

namespace {
const QByteArray kPost("POST /TXMESSAGE HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: 20\r\n\r\nMSGTEXT=Hello&Deck=3");

// Feeds the request in pieces cut at the given offsets and returns the state after every piece.
QList<State> feedInPieces(HttpRequestGatherer& g, const QByteArray& bytes, const QList<qsizetype>& cuts) {
    QList<State> states;
    qsizetype from = 0;
    QList<qsizetype> ends = cuts;
    ends.append(bytes.size());
    for (qsizetype end : ends) {
        states.append(g.feed(bytes.mid(from, end - from)));
        from = end;
    }
    return states;
}
} // namespace

TEST(HttpRequestGatherer, RequestSplitAnywhereIsCompleteOnlyWithItsLastByte) {
    const qsizetype headerEnd = kPost.indexOf("\r\n\r\n");
    struct Case {
        const char* name;
        QList<qsizetype> cuts;
    };
    const QList<Case> cases = {
        {"one piece", {}},
        {"header, then body", {headerEnd + 4}},
        {"inside the blank line", {headerEnd + 1, headerEnd + 3}},
        {"inside the body", {headerEnd + 10}},
        {"one byte before the end", {kPost.size() - 1}},
    };
    for (const Case& c : cases) {
        HttpRequestGatherer g;
        const QList<State> states = feedInPieces(g, kPost, c.cuts);
        for (qsizetype i = 0; i + 1 < states.size(); ++i)
            EXPECT_EQ(states[i], State::Incomplete) << c.name << " piece " << i;
        EXPECT_EQ(states.last(), State::Complete) << c.name;
        EXPECT_EQ(g.request(), kPost) << c.name;
    }

    HttpRequestGatherer byteByByte;
    for (qsizetype i = 0; i < kPost.size(); ++i)
        ASSERT_EQ(byteByByte.feed(kPost.mid(i, 1)), i + 1 == kPost.size() ? State::Complete : State::Incomplete) << i;
}

TEST(HttpRequestGatherer, HeaderEndsAndContentLengthForms) {
    struct Case {
        const char* name;
        QByteArray bytes;
        State state;
        QByteArray request;
    };
    const QList<Case> cases = {
        {"GET without body", "GET / HTTP/1.1\r\nHost: x\r\n\r\n", State::Complete, "GET / HTTP/1.1\r\nHost: x\r\n\r\n"},
        {"header not ended", "GET / HTTP/1.1\r\nHost: x\r\n", State::Incomplete, "GET / HTTP/1.1\r\nHost: x\r\n"},
        {"bare LF header", "POST /a HTTP/1.0\ncontent-length: 3\n\nabc", State::Complete,
         "POST /a HTTP/1.0\ncontent-length: 3\n\nabc"},
        {"label case and blanks", "POST /a HTTP/1.1\r\nCONTENT-LENGTH:   2 \r\n\r\nab", State::Complete,
         "POST /a HTTP/1.1\r\nCONTENT-LENGTH:   2 \r\n\r\nab"},
        {"bytes past the body are not part of it", "POST /a HTTP/1.1\r\nContent-Length: 1\r\n\r\nxGET", State::Complete,
         "POST /a HTTP/1.1\r\nContent-Length: 1\r\n\r\nx"},
        {"unreadable length counts as none", "POST /a HTTP/1.1\r\nContent-Length: abc\r\n\r\n", State::Complete,
         "POST /a HTTP/1.1\r\nContent-Length: abc\r\n\r\n"},
        {"negative length is refused", "POST /a HTTP/1.1\r\nContent-Length: -5\r\n\r\n", State::TooLarge, {}},
        {"length beyond the cap is refused at once",
         "POST /a HTTP/1.1\r\nContent-Length: 99999999999\r\n\r\n",
         State::TooLarge,
         {}},
    };
    for (const Case& c : cases) {
        HttpRequestGatherer g;
        EXPECT_EQ(g.feed(c.bytes), c.state) << c.name;
        if (c.state != State::TooLarge) {
            EXPECT_EQ(g.request(), c.request) << c.name;
        }
    }
}

TEST(HttpRequestGatherer, EndlessHeaderOrBodyHitsTheCap) {
    HttpRequestGatherer header(64);
    State s = State::Incomplete;
    for (int i = 0; i < 10 && s == State::Incomplete; ++i)
        s = header.feed(QByteArray(10, 'a'));
    EXPECT_EQ(s, State::TooLarge);
    EXPECT_EQ(header.feed("\r\n\r\n"), State::TooLarge); // stays refused

    HttpRequestGatherer body(64);
    EXPECT_EQ(body.feed("POST / HTTP/1.1\r\nContent-Length: 50\r\n\r\n"), State::TooLarge);
    HttpRequestGatherer fits(64);
    EXPECT_EQ(fits.feed("POST / HTTP/1.1\r\nContent-Length: 5\r\n\r\n12"), State::Incomplete);
    EXPECT_EQ(fits.feed("345"), State::Complete);
}

TEST(SplitRequest, PathQueryAndBody) {
    struct Case {
        const char* name;
        QString request;
        QString path, query, body;
    };
    const QList<Case> cases = {
        {"plain GET",
         QStringLiteral("GET /index.htm HTTP/1.1\r\nHost: x\r\n\r\n"),
         QStringLiteral("/index.htm"),
         {},
         {}},
        {"query",
         QStringLiteral("GET /REQUESTMSGSTATUS?REF=12&x=1 HTTP/1.1\r\n\r\n"),
         QStringLiteral("/REQUESTMSGSTATUS"),
         QStringLiteral("REF=12&x=1"),
         {}},
        {"body trimmed, CR LF removed",
         QStringLiteral("POST /TXMESSAGE HTTP/1.1\r\n\r\n  MSGTEXT=a\r\nb  \r\n"),
         QStringLiteral("/TXMESSAGE"),
         {},
         QStringLiteral("MSGTEXT=ab")},
        {"no HTTP version",
         QStringLiteral("GET /a?b\r\nHost: x y\r\n\r\n"),
         QStringLiteral("/a"),
         QStringLiteral("b"),
         {}},
        {"request line only", QStringLiteral("GET"), {}, {}, {}},
        {"blank line at the very end", QStringLiteral("GET / HTTP/1.1\r\n\r\n"), QStringLiteral("/"), {}, {}},
    };
    for (const Case& c : cases) {
        const HttpRequestParts p = SplitRequest(c.request);
        EXPECT_EQ(p.path, c.path) << c.name;
        EXPECT_EQ(p.query, c.query) << c.name;
        EXPECT_EQ(p.body, c.body) << c.name;
    }
}

TEST(ParseParameters, JoinsQueryAndBodyAndDecodesPairsOnly) {
    auto names = [](const QList<RequestParameter>& ps) {
        QStringList out;
        for (const RequestParameter& p : ps)
            out << p.name + QLatin1Char('=') + p.value;
        return out;
    };
    EXPECT_TRUE(ParseParameters({}, {}).isEmpty());
    EXPECT_EQ(names(ParseParameters(QStringLiteral("a=1"), QStringLiteral("b=2"))),
              QStringList({QStringLiteral("a=1"), QStringLiteral("b=2")}));
    EXPECT_EQ(names(ParseParameters({}, QStringLiteral("MSGTEXT=a%2Cb+c"))),
              QStringList({QStringLiteral("MSGTEXT=a,b c")}));
    // A piece without "=" is a bare name and stays as written.
    EXPECT_EQ(names(ParseParameters(QStringLiteral("flag+x%41"), {})), QStringList({QStringLiteral("flag+x%41=")}));
    // Only the first "=" splits; decoded names too.
    EXPECT_EQ(names(ParseParameters(QStringLiteral("M%53G=a=b"), {})), QStringList({QStringLiteral("MSG=a=b")}));
}

TEST(UrlDecode, EscapesAndBrokenEscapes) {
    const QList<std::pair<QString, QString>> cases = {
        {QStringLiteral("a+b"), QStringLiteral("a b")},
        {QStringLiteral("%41%62"), QStringLiteral("Ab")},
        {QStringLiteral("%e9t%E9"), QString::fromLatin1("\xe9t\xe9")},
        {QStringLiteral("100%"), QStringLiteral("100%")},
        {QStringLiteral("%4"), QStringLiteral("%4")},
        {QStringLiteral("%zz%"), QStringLiteral("%zz%")},
        {QStringLiteral("%0D%0A"), QStringLiteral("\r\n")},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(UrlDecode(in), out) << in.toStdString();
    EXPECT_EQ(UrlDecode(u"a+b", false), QStringLiteral("a+b"));
}

TEST(ForeignRequestReason, OnlyTheServersOwnNamesAndPortPass) {
    const OwnOrigin own{
        {QStringLiteral("127.0.0.1"), QStringLiteral("::1"), QStringLiteral("localhost"), QStringLiteral("shipbox")},
        8080};
    struct Case {
        const char* name;
        QByteArray headers;
        bool allowed;
    };
    const QList<Case> cases = {
        {"no headers at all (HTTP/1.0 client)", "", true},
        {"own address and port", "Host: 127.0.0.1:8080\r\n", true},
        {"IPv6 loopback", "Host: [::1]:8080\r\nOrigin: http://[::1]:8080\r\n", true},
        {"names compare case-blind, header names too",
         "host: ShipBox:8080\r\nREFERER: http://LOCALHOST:8080/a.htm?x=1\r\n", true},
        {"empty Host counts as none", "Host:\r\n", true},
        {"typed or bookmarked address", "Sec-Fetch-Site: none\r\n", true},
        {"a header-like line in the body is no header", "\r\nOrigin: http://evil.example", true},
        {"same-origin fetch", "Sec-Fetch-Site: same-origin\r\n", true},
        {"Host without a port means 80", "Host: 127.0.0.1\r\n", false},
        {"foreign Host", "Host: rebound.example:8080\r\n", false},
        {"Host with a user part", "Host: evil.example@127.0.0.1:8080\r\n", false},
        {"Host with a path", "Host: 127.0.0.1:8080/x\r\n", false},
        {"second Host header", "Host: 127.0.0.1:8080\r\nHost: evil.example\r\n", false},
        {"other port", "Origin: http://127.0.0.1:8081\r\n", false},
        {"other scheme", "Origin: https://127.0.0.1:8080\r\n", false},
        {"opaque origin", "Origin: null\r\n", false},
        {"empty Origin", "Origin:\r\n", false},
        {"own address only in the query", "Referer: http://evil.example/?u=http://127.0.0.1:8080/\r\n", false},
        {"same-site is not same-origin", "Sec-Fetch-Site: same-site\r\n", false},
        {"cross-site", "sec-fetch-site: Cross-Site\r\n", false},
    };
    for (const Case& c : cases) {
        const QByteArray request = "POST /TXMESSAGE HTTP/1.1\r\n" + c.headers + "\r\n";
        const QString reason = ForeignRequestReason(request, own);
        EXPECT_EQ(reason.isEmpty(), c.allowed) << c.name << ": " << reason.toStdString();
        if (!c.allowed) {
            EXPECT_TRUE(reason.startsWith(QStringLiteral("Refused: the "))) << c.name;
        }
    }
    // On port 80 a browser leaves the port out of Host and Origin.
    const OwnOrigin web{{QStringLiteral("localhost")}, 80};
    EXPECT_EQ(ForeignRequestReason("GET / HTTP/1.1\r\nHost: localhost\r\nOrigin: http://localhost\r\n\r\n", web),
              QString());
}
