#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// The Service Location Protocol, version 2, as far as transceiver discovery needs it: the user agent's
// Service Request and Attribute Request, and the service agent's two replies. Shared by the program, the
// tessaro-slp tool and the simulator's agent, so it depends on QtCore only.
namespace tessaro::slp {

inline constexpr quint16 kPort = 427;
inline constexpr char kMulticastGroup[] = "239.255.255.253";
inline constexpr char kServiceType[] = "service:device.devsvc";
inline constexpr char kDefaultScope[] = "DEFAULT";
inline constexpr char kLanguage[] = "en";

enum class Function : quint8 {
    SrvRqst = 1,
    SrvRply = 2,
    AttrRqst = 6,
    AttrRply = 7,
};

inline constexpr quint16 kFlagOverflow = 0x8000;
inline constexpr quint16 kFlagFresh = 0x4000;
inline constexpr quint16 kFlagMulticast = 0x2000;

// Error codes a reply may carry.
enum ErrorCode : quint16 {
    kOk = 0,
    kLanguageNotSupported = 1,
    kParseError = 2,
    kScopeNotSupported = 4,
};

struct Header {
    quint8 version = 0;
    quint8 function = 0;
    quint32 length = 0; // the whole message, header included
    quint16 flags = 0;
    quint32 nextExtension = 0;
    quint16 xid = 0;
    QByteArray language;
    int size = 0; // bytes of the header itself
};

enum class ParseStatus {
    Ok,
    TooShort,       // not even a whole header
    BadVersion,     // not version 2
    WrongFunction,  // not the reply (or request) that was expected
    LengthMismatch, // the length field and the datagram's size disagree
    WrongXid,       // a reply to someone else's request (or a stale one)
    WrongLanguage,  // not in the language that was asked in
    Malformed,      // a length inside the body runs past the message
};
QString ParseStatusText(ParseStatus status);

struct UrlEntry {
    quint16 lifetime = 0;
    QByteArray url;
    friend bool operator==(const UrlEntry&, const UrlEntry&) = default;
};

struct ServiceReply {
    quint16 error = kOk;
    QList<UrlEntry> urls;
};

struct AttributeReply {
    quint16 error = kOk;
    QByteArray attributes; // "(name=value),(name=value)"
};

// A request as the service agent reads it: a Service Request (serviceTypeOrUrl holds the type) or an
// Attribute Request (it holds a URL or a service type).
struct Request {
    Header header;
    QList<QByteArray> previousResponders;
    QByteArray serviceTypeOrUrl;
    QByteArray scopes;
    QByteArray predicateOrTags;
    QByteArray spi;
};

template <typename T> struct Parsed {
    ParseStatus status = ParseStatus::Malformed;
    T value{};
    bool ok() const { return status == ParseStatus::Ok; }
};

// Requests. A multicast request carries the "request multicast" flag and the list of agents that have
// already answered, so that they stay silent on a retransmission.
QByteArray BuildServiceRequest(quint16 xid, const QByteArray& serviceType, bool multicast,
                               const QList<QByteArray>& previousResponders = {}, const QByteArray& language = kLanguage,
                               const QByteArray& scopes = kDefaultScope, const QByteArray& predicate = {});
QByteArray BuildAttributeRequest(quint16 xid, const QByteArray& urlOrType, bool multicast,
                                 const QList<QByteArray>& previousResponders = {},
                                 const QByteArray& language = kLanguage, const QByteArray& scopes = kDefaultScope,
                                 const QByteArray& tags = {});

// Replies (the service agent's side).
QByteArray BuildServiceReply(quint16 xid, const QByteArray& language, quint16 error, const QList<UrlEntry>& urls);
QByteArray BuildAttributeReply(quint16 xid, const QByteArray& language, quint16 error, const QByteArray& attributes);

// Every length is checked against the datagram; nothing is read outside it. The header's length must be the
// datagram's size exactly.
Parsed<Header> ParseHeader(const QByteArray& datagram);
// A reply to the request with this XID in this language (compared without case).
Parsed<ServiceReply> ParseServiceReply(const QByteArray& datagram, quint16 xid, const QByteArray& language = kLanguage);
Parsed<AttributeReply> ParseAttributeReply(const QByteArray& datagram, quint16 xid,
                                           const QByteArray& language = kLanguage);
Parsed<Request> ParseRequest(const QByteArray& datagram);

// The line a user agent prints for a URL entry: URL "," lifetime.
QByteArray UrlLine(const UrlEntry& entry);

} // namespace tessaro::slp
