// Any text as a reply to each status command: the first byte picks the parser, the rest is the reply.
#include "status/identity.h"
#include "status/link_test.h"
#include "status/position.h"
#include "status/terminal_status.h"
#include "status/transceiver_time.h"

#include <cstdlib>

namespace {

bool hasLineEnd(const QString& s) {
    return s.contains(QLatin1Char('\r')) || s.contains(QLatin1Char('\n'));
}

void check(bool ok) {
    if (!ok)
        std::abort();
}

const QString kLineEnds[] = {QStringLiteral("\n"), QStringLiteral("\r\n"), QStringLiteral("\r\r\n"), QString()};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const QString reply = QString::fromLatin1(reinterpret_cast<const char*>(data) + 1, qsizetype(size - 1));
    const uint8_t selector = data[0];
    switch (selector % 7) {
    case 0: {
        const tessaro::TerminalStatusReply r = tessaro::ParseTerminalStatus(reply);
        // Values cut from fixed widths or up to a line end never keep a CR or LF.
        for (const auto* v : {&r.swVersion, &r.protocol, &r.channel, &r.serialNumber, &r.mobileNumberText})
            check(!*v || !hasLineEnd(**v));
        check(!r.protocol || r.protocol->size() <= 25);
        check(!r.swVersion || r.swVersion->size() <= 5);
        if (r.protocolWord)
            (void)tessaro::ProtocolStatusIndex(*r.protocolWord, selector & 8);
        (void)tessaro::TerminalStatusWindowText(reply);
        break;
    }
    case 1: {
        const bool ab = tessaro::ParseSoftwareBanner(reply);
        const tessaro::TransceiverIdentity id = tessaro::ParseIdentity(reply, ab || (selector & 8), {});
        check(id.ProductModel >= 0 && id.ProductModel <= 20);
        (void)tessaro::ProductModelName(id.ProductModel);
        break;
    }
    case 2: {
        if (const auto v = tessaro::ParseVersions(reply))
            check(v->major >= 0 && v->major <= 99 && v->minor >= 0 && v->minor <= 99);
        break;
    }
    case 3: {
        if (const auto t = tessaro::ParseTransceiverTime(reply, kLineEnds[(selector >> 3) % 4]))
            check(t->isValid());
        break;
    }
    case 4: {
        const tessaro::PositionReply r = tessaro::ParsePosition(reply);
        for (const QString* v : {&r.position, &r.course, &r.time, &r.speed})
            check(!hasLineEnd(*v) && !v->contains(QChar(2)) && !v->contains(QChar(3)));
        tessaro::PositionRecord rec;
        tessaro::ApplyPosition(rec, r.position, r.course, r.time, r.speed, r.valid);
        // The raw reply as a position text too: the eight-piece rule must hold for any text.
        tessaro::ApplyPosition(rec, reply, reply, reply, reply, true);
        break;
    }
    case 5:
        (void)tessaro::ParseGpsStatus(reply);
        break;
    case 6: {
        if (const auto block = tessaro::ParseLinkTestResults(reply)) {
            check(!block->contains(QChar(2)) && !block->contains(QChar(3)));
            const QString text =
                tessaro::LinkTestWindowText(*block, kLineEnds[(selector >> 3) % 4], QStringLiteral("can0:/$ "));
            check(text.isEmpty() || text.endsWith(QStringLiteral("\r\n")));
        }
        break;
    }
    }
    return 0;
}
