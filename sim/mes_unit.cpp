#include "mes_unit.h"

#include "soak_commands.h"

#include <QRegularExpression>

namespace tessaro::sim {

namespace {
constexpr int kStorageBytes = 512 * 1024;
constexpr qint64 kSecond = 1000;

QString infoLine(const char* kind, int code, const QString& text) {
    return QStringLiteral("%1 %2: %3").arg(QLatin1String(kind)).arg(code, 3).arg(text);
}
} // namespace

QString twoDigitDate(const QDateTime& t) {
    return t.toUTC().toString(QStringLiteral("yy-MM-dd"));
}

QString hhmm(const QDateTime& t) {
    return t.toUTC().toString(QStringLiteral("hh:mm"));
}

MesUnit::MesUnit(SimClock* clock, const SimOptions& options, QObject* parent)
    : QObject(parent), m_clock(clock), m_options(options), m_random(options.seed) {
    m_model = findModel(options.model);
    if (!m_model)
        m_model = findModel(QStringLiteral("larch-c"));
    if (options.startUtc)
        m_clock->setUtc(*options.startUtc);
    seedData();
}

void MesUnit::seedData() {
    position.pieces =
        QStringList{QStringLiteral("55"), QStringLiteral("40"), QStringLiteral("12"), QStringLiteral("N"),
                    QStringLiteral("12"), QStringLiteral("34"), QStringLiteral("56"), QStringLiteral("E")};
    position.course = 123;
    position.speed = 12;
    position.fixTime = now();
    generator.position = position.pieces;
    generator.hour = position.fixTime.time().hour();
    generator.minute = position.fixTime.time().minute();
    generator.course = position.course;
    generator.speed = position.speed;

    enids = {{QStringLiteral("Fleet Weather Services"), 12345, true},
             {QStringLiteral("Northern Shipping Co."), 23456, false},
             {QStringLiteral("Ocean Routes & Weather"), 34567, true}};
    dnids = {{QStringLiteral("Fleet Tracking & Co"), true, 102, 12345, 7, 0, 1, 0},
             {QStringLiteral("Coastal Monitoring"), false, 212, 4321, 12, 1, 0, 1}};
    programs[0].type = 2;
    programs[0].state = 2;
    programs[0].groups = {QStringLiteral("102,12345,7"), QStringLiteral("000,0,0"), QStringLiteral("212,4321,12"),
                          QStringLiteral("000,0,0")};
    programs[0].start = 0;
    programs[0].interval = 694;
    programs[1].type = 3;
    programs[1].state = 3;
    programs[1].groups = {QStringLiteral("000,0,0"), QStringLiteral("102,12345,7"), QStringLiteral("000,0,0"),
                          QStringLiteral("000,0,0")};
    for (int i = 2; i < 4; ++i)
        programs[i].groups = {QStringLiteral("000,0,0"), QStringLiteral("000,0,0"), QStringLiteral("000,0,0"),
                              QStringLiteral("000,0,0")};

    reportSettings = {{QStringLiteral("f"), QStringLiteral("1")},     {QStringLiteral("m"), QStringLiteral("*")},
                      {QStringLiteral("d"), QStringLiteral("*")},     {QStringLiteral("w"), QStringLiteral("*")},
                      {QStringLiteral("h"), QStringLiteral("12")},    {QStringLiteral("u"), QStringLiteral("0")},
                      {QStringLiteral("n"), QStringLiteral("1")},     {QStringLiteral("s"), QStringLiteral("0")},
                      {QStringLiteral("t"), QStringLiteral("5")},     {QStringLiteral("v"), QStringLiteral("0")},
                      {QStringLiteral("e"), QStringLiteral("12345")}, {QStringLiteral("p"), QStringLiteral("1234")},
                      {QStringLiteral("a"), QStringLiteral("12345")}};
    variables = {
        {QStringLiteral("PRINTER"), QStringLiteral("YES")}, {QStringLiteral("FFEED"), QStringLiteral("NO")},
        {QStringLiteral("PLINES"), QStringLiteral("53")},   {QStringLiteral("PRTYPEMAX"), QStringLiteral("70")},
        {QStringLiteral("PRTYPEREM"), QStringLiteral("3")}, {QStringLiteral("POSFORMAT"), QStringLiteral("DM")}};
    routes = {{10, 1}, {30, 1}, {31, 1}, {32, 3}, {33, 7}};
}

bool MesUnit::setModel(const QString& key) {
    const MesModel* m = findModel(key);
    if (!m)
        return false;
    m_model = m;
    m_options.model = m->key;
    return true;
}

SimFile* MesUnit::findFile(const QString& name) {
    for (SimFile& f : m_files) {
        if (f.name.compare(name.trimmed(), Qt::CaseInsensitive) == 0)
            return &f;
    }
    return nullptr;
}

bool MesUnit::removeFile(const QString& name) {
    for (qsizetype i = 0; i < m_files.size(); ++i) {
        if (m_files[i].name.compare(name.trimmed(), Qt::CaseInsensitive) == 0) {
            m_files.removeAt(i);
            return true;
        }
    }
    return false;
}

QList<const SimFile*> MesUnit::matchFiles(const QString& pattern) const {
    const QRegularExpression re(QRegularExpression::wildcardToRegularExpression(pattern.trimmed()),
                                QRegularExpression::CaseInsensitiveOption);
    QList<const SimFile*> out;
    for (const SimFile& f : m_files) {
        if (re.match(f.name).hasMatch())
            out.append(&f);
    }
    return out;
}

SimFile& MesUnit::storeUpload(const QString& name, const QByteArray& body) {
    removeFile(name);
    SimFile f;
    f.name = name;
    f.body = body;
    f.time = now();
    f.kind = FileKind::Upload;
    m_files.append(f);
    return m_files.last();
}

SimFile& MesUnit::receiveMessage(int les, int priority, int presentation, const QByteArray& body) {
    SimFile f;
    f.name = QStringLiteral("IN.%1").arg(m_nextIn);
    m_nextIn = m_nextIn >= 999 ? 1 : m_nextIn + 1;
    f.body = body;
    f.time = now();
    f.kind = FileKind::Message;
    f.les = les;
    f.priority = priority;
    f.presentation = presentation;
    f.reference = m_nextRef++;
    f.routing = priority >= 2 ? QStringLiteral("Pr+M") : QStringLiteral("Mem");
    removeFile(f.name);
    m_files.append(f);
    return m_files.last();
}

QByteArray MesUnit::fillerText(int size, const QString& title) {
    static const char* words[] = {"weather", "forecast", "position", "cargo", "port",  "arrival", "crew",
                                  "fuel",    "report",   "wind",     "sea",   "state", "north",   "course"};
    QByteArray text = title.toLatin1() + "\r\n";
    int i = 0;
    int column = 0;
    while (text.size() < size) {
        const QByteArray word = words[i++ % 14];
        if (column + word.size() > 60) {
            text += "\r\n";
            column = 0;
        } else if (column > 0) {
            text += ' ';
            ++column;
        }
        text += word;
        column += word.size();
    }
    text.truncate(std::max(0, size - 2));
    if (size >= 2)
        text += "\r\n";
    return text.left(size);
}

int MesUnit::freeBytes() const {
    qint64 used = 0;
    for (const SimFile& f : m_files)
        used += f.body.size();
    return static_cast<int>(std::max<qint64>(0, kStorageBytes - used));
}

void MesUnit::queueInfo(int code, const QString& text) {
    m_pending.append(infoLine("INFO", code, text));
}

void MesUnit::queueError(int code, const QString& text) {
    m_pending.append(infoLine("ERROR", code, text));
}

QStringList MesUnit::takePendingLines() {
    QStringList out;
    out.swap(m_pending);
    markReported(txLog, out);
    return out;
}

void MesUnit::setBaud(int baud) {
    m_options.baud = baud;
    Q_EMIT baudChanged(baud);
}

int MesUnit::ocean() const {
    if (!synchronized || tdmOrigin <= 0 || tdmOrigin >= 400)
        return 4;
    return tdmOrigin / 100;
}

void MesUnit::cancelStateTimer() {
    if (m_stateTimer)
        m_clock->cancel(m_stateTimer);
    m_stateTimer = 0;
}

void MesUnit::login(int ncs) {
    cancelStateTimer();
    const bool change = loggedIn && ncs != tdmOrigin;
    loggedIn = false;
    protocol = change ? QStringLiteral("Changing NCS") : QStringLiteral("Login");
    m_stateTimer = m_clock->callAfter(2 * kSecond, [this, ncs] {
        tdmOrigin = ncs;
        synchronized = true;
        protocol = QStringLiteral("Login");
        m_stateTimer = m_clock->callAfter(3 * kSecond, [this] {
            m_stateTimer = 0;
            loggedIn = true;
            protocol = QStringLiteral("Free");
        });
    });
}

void MesUnit::logout() {
    cancelStateTimer();
    protocol = QStringLiteral("Logout");
    m_stateTimer = m_clock->callAfter(3 * kSecond, [this] {
        m_stateTimer = 0;
        loggedIn = false;
        protocol = QStringLiteral("Free");
    });
}

void MesUnit::scan() {
    cancelStateTimer();
    loggedIn = false;
    synchronized = false;
    protocol = QStringLiteral("Scanning");
    m_stateTimer = m_clock->callAfter(5 * kSecond, [this] {
        m_stateTimer = 0;
        static const QString letters = QStringLiteral("WEPI");
        const qsizetype o = letters.indexOf(preferredOcean);
        tdmOrigin = (o < 0 ? 1 : static_cast<int>(o)) * 100 + 44;
        synchronized = true;
        protocol = QStringLiteral("Free");
    });
}

void MesUnit::setPreferredOcean(QChar letter) {
    preferredOcean = letter.toUpper();
}

void MesUnit::setPosition(const QStringList& pieces, int course, int speed) {
    position.valid = true;
    position.pieces = pieces;
    position.course = course;
    position.speed = speed;
    position.fixTime = now();
}

void MesUnit::clearPosition() {
    position.valid = false;
}

QString MesUnit::startTransmission(const QString& file, int les, const QString& destination, bool confirmation) {
    Transmission t;
    t.outName = QStringLiteral("OUT.%1").arg(m_nextOut, 3, 10, QLatin1Char('0'));
    m_nextOut = m_nextOut >= 999 ? 1 : m_nextOut + 1;
    t.file = file;
    t.les = les;
    t.destination = destination;
    t.confirmation = confirmation;
    t.reference = m_nextRef++;
    const QString out = t.outName;
    t.timers.append(m_clock->callAfter(1 * kSecond, [this, out] {
        if (Transmission* tx = findTransmission(out)) {
            protocol = QStringLiteral("Transmission");
            queueInfo(
                82,
                QStringLiteral("Transmission started, %1 to LES %2").arg(out).arg(tx->les, 3, 10, QLatin1Char('0')));
        }
    }));
    t.timers.append(m_clock->callAfter(9 * kSecond, [this, out] { finishTransmission(out); }));
    m_transmissions.append(t);
    QString firstWord;
    if (const SimFile* f = findFile(file))
        firstWord = QString::fromLatin1(f->body).section(QRegularExpression(QStringLiteral("\\s+")), 0, 0,
                                                         QString::SectionSkipEmpty);
    txLog.append(
        {file, out, firstWord.isEmpty() ? QStringLiteral("-") : firstWord, t.reference, QStringLiteral("pending")});
    return out;
}

Transmission* MesUnit::findTransmission(const QString& outName) {
    for (Transmission& t : m_transmissions) {
        if (t.outName == outName)
            return &t;
    }
    return nullptr;
}

void MesUnit::finishTransmission(const QString& outName) {
    Transmission* t = findTransmission(outName);
    if (!t)
        return;
    protocol = QStringLiteral("Free");
    const QString les = QStringLiteral("%1").arg(t->les, 3, 10, QLatin1Char('0'));
    const QString ref = QStringLiteral("Reference number %1").arg(t->reference);
    const QString file = QStringLiteral("File %1").arg(outName);
    switch (txOutcome) {
    case TxOutcome::Silent:
        break;
    case TxOutcome::Failed:
        queueInfo(80,
                  QStringLiteral("Transmission failed.\nLES %1\nDestination %2\n%3").arg(les, t->destination, file));
        break;
    case TxOutcome::Delivered:
    case TxOutcome::Positive:
    case TxOutcome::Negative: {
        queueInfo(81, QStringLiteral("Message delivered to LES\n%1\n%2\nLES %3").arg(ref, file, les));
        setTxState(txLog, outName, QStringLiteral("pending"), QStringLiteral("delivered"));
        const bool report = txOutcome != TxOutcome::Delivered || t->confirmation;
        if (report) {
            const bool negative = txOutcome == TxOutcome::Negative;
            const QString text = QStringLiteral("%1 delivery notification\n%2\n%3\nLES %4%5")
                                     .arg(negative ? QStringLiteral("Negative") : QStringLiteral("Positive"), ref, file,
                                          les, negative ? QStringLiteral("\nfailure code: 21") : QString());
            const int code = negative ? 140 : 141;
            m_clock->callAfter(6 * kSecond, [this, code, text] { queueInfo(code, text); });
        }
        break;
    }
    }
    // Delivered transmissions stay known for confirmation requests; the timers are spent.
    t->timers.clear();
}

bool MesUnit::clearTransmission(QString* outName) {
    for (qsizetype i = m_transmissions.size() - 1; i >= 0; --i) {
        Transmission& t = m_transmissions[i];
        if (t.timers.isEmpty())
            continue;
        bool running = false;
        for (int id : t.timers)
            running = running || m_clock->isPending(id);
        if (!running)
            continue;
        for (int id : t.timers)
            m_clock->cancel(id);
        if (outName)
            *outName = t.outName;
        m_transmissions.removeAt(i);
        protocol = QStringLiteral("Free");
        return true;
    }
    return false;
}

void MesUnit::requestConfirmation(qint64 reference, int les) {
    bool known = false;
    for (const Transmission& t : m_transmissions)
        known = known || (t.reference == reference && t.timers.isEmpty());
    m_clock->callAfter(5 * kSecond, [this, known, reference, les] {
        if (known)
            queueInfo(131, QStringLiteral("Confirmation received\nReference number %1\nLES %2")
                               .arg(reference)
                               .arg(les, 3, 10, QLatin1Char('0')));
        else
            queueInfo(130, QStringLiteral("No confirmation available\nReference number %1\nLES %2")
                               .arg(reference)
                               .arg(les, 3, 10, QLatin1Char('0')));
    });
}

void MesUnit::raiseDistress(bool acknowledged) {
    queueInfo(22, QStringLiteral("Sending Distress Alert"));
    protocol = QStringLiteral("Sending distress");
    m_clock->callAfter(5 * kSecond, [this, acknowledged] {
        protocol = QStringLiteral("Free");
        if (acknowledged) {
            latestAlert = QStringLiteral("accepted");
            queueInfo(21, QStringLiteral("Distress Acknowledgement received"));
        } else {
            latestAlert = QStringLiteral("rejected");
            queueInfo(20, QStringLiteral("Distress alert not delivered"));
        }
    });
}

void MesUnit::setDistressTest(bool on) {
    distressFunctionEnabled = !on;
    if (on)
        queueInfo(733, QStringLiteral("Distress functionality disabled for test"));
    else
        queueInfo(803, QStringLiteral("Distress functionality enabled"));
}

void MesUnit::startLinkTest() {
    protocol = QStringLiteral("Link test");
    queueInfo(502, QStringLiteral("Link test started"));
    m_clock->callAfter(60 * kSecond, [this] {
        protocol = QStringLiteral("Free");
        linkTestTime = now();
        latestTest = QStringLiteral("accepted");
        queueInfo(353, QStringLiteral("Link test completed"));
    });
}

void MesUnit::stall(int seconds) {
    if (m_stallTimer)
        m_clock->cancel(m_stallTimer);
    m_stalled = true;
    m_stallTimer = m_clock->callAfter(std::max(0, seconds) * kSecond, [this] {
        m_stallTimer = 0;
        m_stalled = false;
        Q_EMIT stallEnded();
    });
}

void MesUnit::restartApplication() {
    for (Transmission& t : m_transmissions) {
        for (int id : t.timers)
            m_clock->cancel(id);
    }
    m_transmissions.clear();
    m_pending.clear();
    loseUnreported(txLog);
    cancelStateTimer();
    const int ncs = tdmOrigin;
    loggedIn = false;
    synchronized = false;
    protocol = QStringLiteral("Init track");
    Q_EMIT unsolicited({QStringLiteral("Starting application program.")});
    m_stateTimer = m_clock->callAfter(5 * kSecond, [this, ncs] { login(ncs); });
}

void MesUnit::exitTerminalProgram() {
    Q_EMIT terminalProgramExited();
}

void MesUnit::dropConnections() {
    Q_EMIT dropRequested();
}

void MesUnit::record(const QByteArray& line, bool isBody) {
    m_received.append({isBody, line});
}

} // namespace tessaro::sim
