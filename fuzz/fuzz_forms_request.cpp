// Any bytes as a forms-server request, arriving in pieces: gathering must never over- or under-read, and
// request handling must never crash nor show a file from outside the forms folder.
#include "../tests/reporting/fake_forms_backend.h"
#include "config/clock.h"
#include "config/configuration.h"
#include "reporting/forms_server_processing.h"
#include "reporting/http_request.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdlib>

namespace {
const QByteArray kSecret("FUZZ-SECRET-7f3a");

struct Env {
    QTemporaryDir dir;
    QString data = dir.path() + QStringLiteral("/");
    tessaro::ManualClock clock;
    tessaro::CConfiguration config{data, false, data + QStringLiteral("settings.ini")};
    FakeFormsBackend backend;
    tessaro::cHttpServerProcessing processing{config, backend, clock};

    Env() {
        QDir().mkpath(data + QStringLiteral("html/sub"));
        write(QStringLiteral("secret.txt"), kSecret);
        write(QStringLiteral("html/index.htm"), "<%=REQUESTPOSITION%> <%=REQUESTOUTBOX 3 0 1%> <%=REQUESTSHIPNAME");
        write(QStringLiteral("html/sub/a.htm"), "<%=REQUESTINBOX 2 1 0 1%><%=requestspeed%>");
        backend.inboxFiles.insert(QStringLiteral("m.txt"), QStringLiteral("<script>\r\nx"));
    }
    void write(const QString& name, const QByteArray& bytes) {
        QFile f(data + name);
        if (f.open(QIODevice::WriteOnly))
            f.write(bytes);
    }
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Env env;
    if (size == 0)
        return 0;
    env.backend.sent.clear();
    env.backend.bodyRequests.clear();
    env.backend.listingCalls.clear();
    // The first byte chooses the piece size, so the same request is also tried split at every seam.
    const qsizetype piece = qsizetype(data[0] % 16) + 1;
    const QByteArray input(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));

    tessaro::HttpRequestGatherer gatherer(4096);
    tessaro::HttpRequestGatherer::State state = tessaro::HttpRequestGatherer::State::Incomplete;
    for (qsizetype at = 0; at < input.size() && state == tessaro::HttpRequestGatherer::State::Incomplete; at += piece)
        state = gatherer.feed(input.mid(at, piece));
    const QByteArray request = gatherer.request();
    if (state == tessaro::HttpRequestGatherer::State::Complete) {
        // A complete request is a prefix of what was sent, and no more than what arrived.
        if (!input.startsWith(request) || request.size() > gatherer.bufferedBytes())
            std::abort();
        // Fed whole, the same bytes give the same request.
        tessaro::HttpRequestGatherer whole(4096);
        if (whole.feed(input) != state || whole.request() != request)
            std::abort();
    }

    const QString answer = env.processing.ProcessData(QString::fromLatin1(request));
    const QString decoded = tessaro::UrlDecode(QString::fromLatin1(input), false);
    if (answer.contains(QLatin1String(kSecret)) && !decoded.contains(QLatin1String(kSecret), Qt::CaseInsensitive) &&
        !QString::fromLatin1(input).contains(QLatin1String(kSecret), Qt::CaseInsensitive))
        std::abort(); // a file outside the forms folder was served
    if (answer.contains(QLatin1String("<script>")) && !request.contains("<script>") &&
        !decoded.contains(QLatin1String("<script>"), Qt::CaseInsensitive))
        std::abort(); // received text reached the page as markup
    return 0;
}
