#include "link/slp_codec.h"

namespace tessaro::slp {

namespace {

constexpr int kFixedHeader = 14; // up to and including the language tag's length

void put16(QByteArray& out, quint32 v) {
    out.append(char((v >> 8) & 0xFF));
    out.append(char(v & 0xFF));
}

void put24(QByteArray& out, quint32 v) {
    out.append(char((v >> 16) & 0xFF));
    put16(out, v);
}

// A string with its 16-bit length; longer strings are cut, since the field cannot say more.
void putString(QByteArray& out, const QByteArray& s) {
    const QByteArray cut = s.left(0xFFFF);
    put16(out, quint32(cut.size()));
    out.append(cut);
}

QByteArray joinList(const QList<QByteArray>& items) {
    QByteArray out;
    for (const QByteArray& item : items) {
        if (!out.isEmpty())
            out.append(',');
        out.append(item);
    }
    return out;
}

// The header with a zero length; finish() fills the length in once the body is appended.
QByteArray header(Function function, quint16 flags, quint16 xid, const QByteArray& language) {
    QByteArray out;
    out.append(char(2));
    out.append(char(function));
    put24(out, 0);
    put16(out, flags);
    put24(out, 0); // no extensions
    put16(out, xid);
    putString(out, language);
    return out;
}

QByteArray finish(QByteArray message) {
    const quint32 n = quint32(message.size());
    message[2] = char((n >> 16) & 0xFF);
    message[3] = char((n >> 8) & 0xFF);
    message[4] = char(n & 0xFF);
    return message;
}

// Bounds-checked reading: every read past the end fails and leaves the reader failed.
class Reader {
public:
    Reader(const QByteArray& data, int pos, int end) : m_data(data), m_pos(pos), m_end(end) {}
    bool ok() const { return m_ok; }
    int pos() const { return m_pos; }
    bool atEnd() const { return m_pos >= m_end; }

    quint32 u8() { return take(1); }
    quint32 u16() { return take(2); }
    quint32 u24() { return take(3); }
    QByteArray bytes(quint32 n) {
        if (!m_ok || n > quint32(m_end - m_pos)) {
            m_ok = false;
            return {};
        }
        const QByteArray out = m_data.mid(m_pos, int(n));
        m_pos += int(n);
        return out;
    }
    QByteArray string() { return bytes(u16()); }
    void skip(quint32 n) { (void)bytes(n); }

private:
    quint32 take(int n) {
        if (!m_ok || n > m_end - m_pos) {
            m_ok = false;
            return 0;
        }
        quint32 v = 0;
        for (int i = 0; i < n; ++i)
            v = (v << 8) | quint8(m_data[m_pos + i]);
        m_pos += n;
        return v;
    }

    const QByteArray& m_data;
    int m_pos;
    int m_end;
    bool m_ok = true;
};

// Skips the authentication blocks that follow a URL entry or an attribute list: each carries its own length,
// which includes its 4-byte start.
bool skipAuthBlocks(Reader& r, quint32 count) {
    for (quint32 i = 0; i < count && r.ok(); ++i) {
        r.u16(); // block structure descriptor
        const quint32 length = r.u16();
        if (length < 4)
            return false;
        r.skip(length - 4);
    }
    return r.ok();
}

template <typename T> Parsed<T> fail(ParseStatus status) {
    Parsed<T> p;
    p.status = status;
    return p;
}

// The header of a reply to one request, or why it is not one.
ParseStatus checkReply(const Parsed<Header>& h, Function function, quint16 xid, const QByteArray& language) {
    if (!h.ok())
        return h.status;
    if (h.value.function != quint8(function))
        return ParseStatus::WrongFunction;
    if (h.value.xid != xid)
        return ParseStatus::WrongXid;
    if (h.value.language.compare(language, Qt::CaseInsensitive) != 0)
        return ParseStatus::WrongLanguage;
    return ParseStatus::Ok;
}

} // namespace

QString ParseStatusText(ParseStatus status) {
    switch (status) {
    case ParseStatus::Ok:
        return QStringLiteral("ok");
    case ParseStatus::TooShort:
        return QStringLiteral("shorter than a header");
    case ParseStatus::BadVersion:
        return QStringLiteral("not SLP version 2");
    case ParseStatus::WrongFunction:
        return QStringLiteral("unexpected message type");
    case ParseStatus::LengthMismatch:
        return QStringLiteral("length field does not match the datagram");
    case ParseStatus::WrongXid:
        return QStringLiteral("reply to another request");
    case ParseStatus::WrongLanguage:
        return QStringLiteral("reply in another language");
    case ParseStatus::Malformed:
        return QStringLiteral("a field runs past the end of the message");
    }
    return {};
}

QByteArray BuildServiceRequest(quint16 xid, const QByteArray& serviceType, bool multicast,
                               const QList<QByteArray>& previousResponders, const QByteArray& language,
                               const QByteArray& scopes, const QByteArray& predicate) {
    QByteArray m = header(Function::SrvRqst, multicast ? kFlagMulticast : 0, xid, language);
    putString(m, joinList(previousResponders));
    putString(m, serviceType);
    putString(m, scopes);
    putString(m, predicate);
    putString(m, {}); // no security parameter index: unauthenticated
    return finish(m);
}

QByteArray BuildAttributeRequest(quint16 xid, const QByteArray& urlOrType, bool multicast,
                                 const QList<QByteArray>& previousResponders, const QByteArray& language,
                                 const QByteArray& scopes, const QByteArray& tags) {
    QByteArray m = header(Function::AttrRqst, multicast ? kFlagMulticast : 0, xid, language);
    putString(m, joinList(previousResponders));
    putString(m, urlOrType);
    putString(m, scopes);
    putString(m, tags);
    putString(m, {});
    return finish(m);
}

QByteArray BuildServiceReply(quint16 xid, const QByteArray& language, quint16 error, const QList<UrlEntry>& urls) {
    QByteArray m = header(Function::SrvRply, 0, xid, language);
    put16(m, error);
    put16(m, quint32(urls.size()));
    for (const UrlEntry& e : urls) {
        m.append(char(0)); // reserved
        put16(m, e.lifetime);
        putString(m, e.url);
        m.append(char(0)); // no authentication blocks
    }
    return finish(m);
}

QByteArray BuildAttributeReply(quint16 xid, const QByteArray& language, quint16 error, const QByteArray& attributes) {
    QByteArray m = header(Function::AttrRply, 0, xid, language);
    put16(m, error);
    putString(m, attributes);
    m.append(char(0));
    return finish(m);
}

Parsed<Header> ParseHeader(const QByteArray& datagram) {
    if (datagram.size() < kFixedHeader)
        return fail<Header>(ParseStatus::TooShort);
    Reader r(datagram, 0, int(datagram.size()));
    Header h;
    h.version = quint8(r.u8());
    h.function = quint8(r.u8());
    h.length = r.u24();
    h.flags = quint16(r.u16());
    h.nextExtension = r.u24();
    h.xid = quint16(r.u16());
    if (h.version != 2)
        return fail<Header>(ParseStatus::BadVersion);
    if (h.length != quint32(datagram.size()))
        return fail<Header>(ParseStatus::LengthMismatch);
    h.language = r.string();
    if (!r.ok())
        return fail<Header>(ParseStatus::Malformed);
    h.size = r.pos();
    return {ParseStatus::Ok, h};
}

Parsed<ServiceReply> ParseServiceReply(const QByteArray& datagram, quint16 xid, const QByteArray& language) {
    const Parsed<Header> h = ParseHeader(datagram);
    const ParseStatus s = checkReply(h, Function::SrvRply, xid, language);
    if (s != ParseStatus::Ok)
        return fail<ServiceReply>(s);
    Reader r(datagram, h.value.size, int(h.value.length));
    ServiceReply reply;
    reply.error = quint16(r.u16());
    const quint32 count = r.u16();
    if (!r.ok())
        return fail<ServiceReply>(ParseStatus::Malformed);
    // An agent whose answer did not fit sets the overflow flag and cuts the message: the whole entries
    // before the cut are still good.
    const bool overflow = (h.value.flags & kFlagOverflow) != 0;
    for (quint32 i = 0; i < count; ++i) {
        UrlEntry e;
        r.u8(); // reserved
        e.lifetime = quint16(r.u16());
        e.url = r.string();
        const quint32 auths = r.u8();
        if (!r.ok() || !skipAuthBlocks(r, auths)) {
            if (overflow)
                break;
            return fail<ServiceReply>(ParseStatus::Malformed);
        }
        reply.urls.append(e);
    }
    return {ParseStatus::Ok, reply};
}

Parsed<AttributeReply> ParseAttributeReply(const QByteArray& datagram, quint16 xid, const QByteArray& language) {
    const Parsed<Header> h = ParseHeader(datagram);
    const ParseStatus s = checkReply(h, Function::AttrRply, xid, language);
    if (s != ParseStatus::Ok)
        return fail<AttributeReply>(s);
    Reader r(datagram, h.value.size, int(h.value.length));
    AttributeReply reply;
    reply.error = quint16(r.u16());
    reply.attributes = r.string();
    if (!r.ok())
        return fail<AttributeReply>(ParseStatus::Malformed);
    // The authentication blocks after the list are not used; a cut-off count is tolerated.
    return {ParseStatus::Ok, reply};
}

Parsed<Request> ParseRequest(const QByteArray& datagram) {
    const Parsed<Header> h = ParseHeader(datagram);
    if (!h.ok())
        return fail<Request>(h.status);
    if (h.value.function != quint8(Function::SrvRqst) && h.value.function != quint8(Function::AttrRqst))
        return fail<Request>(ParseStatus::WrongFunction);
    Reader r(datagram, h.value.size, int(h.value.length));
    Request q;
    q.header = h.value;
    const QByteArray pr = r.string();
    if (!pr.isEmpty())
        q.previousResponders = pr.split(',');
    q.serviceTypeOrUrl = r.string();
    q.scopes = r.string();
    q.predicateOrTags = r.string();
    q.spi = r.string();
    if (!r.ok())
        return fail<Request>(ParseStatus::Malformed);
    return {ParseStatus::Ok, q};
}

QByteArray UrlLine(const UrlEntry& entry) {
    return entry.url + ',' + QByteArray::number(entry.lifetime);
}

} // namespace tessaro::slp
