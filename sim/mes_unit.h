#pragma once

#include "mes_models.h"
#include "sim_clock.h"
#include "sim_options.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QMap>
#include <QObject>
#include <QRandomGenerator>
#include <QString>
#include <QStringList>

#include <array>

namespace tessaro::sim {

enum class FileKind { Message, Egc, Upload };

// A file in the unit's file system; received messages and EGCs carry their log data.
struct SimFile {
    QString name;
    QByteArray body;
    QDateTime time;
    FileKind kind = FileKind::Upload;
    int les = 0;
    int service = 0;
    int priority = 0;
    int presentation = 0; // reception-log code for messages, EGC log code for EGCs
    qint64 reference = 0;
    QString routing;
    bool logged = true; // shown by the EGC log ("st -e"); false makes the log lose its line
};

struct Transmission {
    QString outName; // "OUT.nnn"
    QString file;
    int les = 0;
    QString destination;
    bool confirmation = false;
    qint64 reference = 0;
    QList<int> timers;
};

enum class TxOutcome { Delivered, Failed, Positive, Negative, Silent };

struct Enid {
    QString provider;
    qint64 enid = 0;
    bool enabled = true;
};

struct Dnid {
    QString provider;
    bool enabled = true;
    int les = 0;
    qint64 dnid = 0;
    int member = 0;
    int subAddress = 0;
    int channel = 0;
    int random = 0;
};

struct ReportProgram {
    int type = 1;       // 1 closed, 2 local, 3 remote
    int state = 1;      // 1 none, 2 started, 3 stopped
    QStringList groups; // "LES,DNID,member" as the unit prints them
    int start = 0;
    int interval = 0;
};

struct Position {
    bool valid = true;
    QStringList pieces; // eight pieces: deg min hundredths N|S deg min hundredths E|W
    int course = 0;
    int speed = 0;
    QDateTime fixTime;
};

struct DistressGenerator {
    QString les = QStringLiteral("102");
    QChar nature = u'U';
    QStringList position; // eight pieces
    int hour = 0;
    int minute = 0;
    int course = 0;
    int speed = 0;
    bool useGps = true;
    std::array<QString, 4> alertLes{QStringLiteral("001"), QStringLiteral("102"), QStringLiteral("201"),
                                    QStringLiteral("301")};
};

// A file the PC deleted, with its bytes at that moment: the soak checks each one reached the PC's store.
struct DeletedFile {
    QString name;
    QByteArray body;
    QDateTime time;
};

// What became of one "tx": queued INFO 81 ("delivered"), then taken by an "st -l" ("reported"), or dropped by a
// restart ("lost").
struct TxRecord {
    QString file;
    QString outName;
    QString firstWord; // of the file's body when it was submitted ("-" when empty): tells reused names apart
    qint64 reference = 0;
    QString state = QStringLiteral("pending");
};

// One received command line (or upload body) as the control port reports it.
struct ReceivedItem {
    bool isBody = false;
    QByteArray data;
};

// The virtual transceiver's state, shared by every shell session (TCP connections and the pseudo-terminal all
// talk to the same unit). Progress that a real unit reports later is scheduled on the simulated clock.
class MesUnit final : public QObject {
    Q_OBJECT
public:
    MesUnit(SimClock* clock, const SimOptions& options, QObject* parent = nullptr);

    SimClock* clock() const { return m_clock; }
    const SimOptions& options() const { return m_options; }
    void setLineEnd(LineEnd lineEnd) { m_options.lineEnd = lineEnd; }
    void setPrompt(const QByteArray& prompt) { m_options.prompt = prompt; }
    const MesModel& model() const { return *m_model; }
    bool setModel(const QString& key);
    bool egcOnly() const { return m_options.egcOnly; }
    void setEgcOnly(bool on) { m_options.egcOnly = on; }
    QRandomGenerator& random() { return m_random; }
    QDateTime now() const { return m_clock->utc(); }

    // --- file system
    QList<SimFile>& files() { return m_files; }
    SimFile* findFile(const QString& name);
    bool removeFile(const QString& name);
    QList<const SimFile*> matchFiles(const QString& pattern) const;
    SimFile& storeUpload(const QString& name, const QByteArray& body);
    SimFile& receiveMessage(int les, int priority, int presentation, const QByteArray& body);
    SimFile& receiveEgc(int les, int service, int priority, int presentation, const QString& routing,
                        const QByteArray& body);
    static QByteArray fillerText(int size, const QString& title);
    int freeBytes() const;

    // --- INFO and ERROR lines waiting for the next "st -l"
    void queueInfo(int code, const QString& text);
    void queueError(int code, const QString& text);
    QStringList takePendingLines();
    const QStringList& pendingLines() const { return m_pending; }

    // --- network state
    bool synchronized = true;
    bool loggedIn = true;
    int tdmOrigin = 144; // NCS or LES the unit is tuned to
    int tdmChannel = 12580;
    int signal = 54;
    QChar preferredOcean = u'E';
    QString protocol = QStringLiteral("Free");
    void login(int ncs);
    void logout();
    void scan();
    void setPreferredOcean(QChar letter);
    int ocean() const; // 0..3, 4 none

    // --- identity and clock
    QString mobileNumber = QStringLiteral("492123456");
    QString serialNumber = QStringLiteral("14020K0123");
    QString password = QStringLiteral("0000");
    Position position;
    void setPosition(const QStringList& pieces, int course, int speed);
    void clearPosition();

    // --- messaging
    QString startTransmission(const QString& file, int les, const QString& destination, bool confirmation);
    bool clearTransmission(QString* outName);
    void requestConfirmation(qint64 reference, int les);
    TxOutcome txOutcome = TxOutcome::Delivered;
    int shortNextTy = 0; // bytes the next "ty" leaves out
    QString listing;     // "ls" layout: empty = the model's, "dos" or "long"

    // --- distress
    DistressGenerator generator;
    bool distressFunctionEnabled = true;
    QString latestAlert = QStringLiteral("none");
    QString latestTest = QStringLiteral("none");
    void raiseDistress(bool acknowledged);
    void setDistressTest(bool on);
    QDateTime linkTestTime;
    void startLinkTest();

    // --- EGC receiver
    bool egcReceiverOnly = false;
    bool systemMessages = true;
    bool safetyNet = true;
    bool extraNavareas = false;
    std::array<int, 4> spareNavareas{0, 0, 0, 0};
    QString coastalAreas = QStringLiteral("A");
    QString coastalSubjects = QStringLiteral("ABDL");
    QString fixedPositions;
    QList<Enid> enids;
    void simulateEgc(int code);

    // --- reporting and configuration
    QList<Dnid> dnids;
    std::array<ReportProgram, 4> programs;
    QStringList pendingGroups;             // "pg -o" connections for the next "pg -p"
    QMap<QString, QString> reportSettings; // "rs" option letter -> value
    QMap<QString, QString> variables;      // "set -z" name -> value (names upper case)
    QMap<int, int> routes;                 // "ro" class -> value

    // --- faults and history
    void stall(int seconds);
    bool isStalled() const { return m_stalled; }
    void restartApplication();
    bool announceStart = false; // the next start of the terminal program says so (after a reboot)
    void exitTerminalProgram();
    void dropConnections();
    void record(const QByteArray& line, bool isBody = false);
    const QList<ReceivedItem>& received() const { return m_received; }
    void clearReceived() { m_received.clear(); }
    QList<DeletedFile> deletedFiles; // every "delete" that removed a file, in order
    QList<TxRecord> txLog;           // every accepted "tx", in order
    void setBaud(int baud);          // output pacing of every session from now on (0: unpaced)

Q_SIGNALS:
    // Text a terminal-program session prints by itself, lines without line ends.
    void unsolicited(const QStringList& lines);
    void stallEnded();
    void terminalProgramExited();
    void dropRequested();
    void baudChanged(int baud);

private:
    void cancelStateTimer();
    void finishTransmission(const QString& outName);
    Transmission* findTransmission(const QString& outName);
    void seedData();

    SimClock* m_clock;
    SimOptions m_options;
    const MesModel* m_model;
    QRandomGenerator m_random;
    QList<SimFile> m_files;
    QStringList m_pending;
    QList<Transmission> m_transmissions;
    int m_nextIn = 1;
    int m_nextEgc = 1;
    int m_nextOut = 1;
    qint64 m_nextRef = 184230;
    int m_stateTimer = 0;
    bool m_stalled = false;
    int m_stallTimer = 0;
    QList<ReceivedItem> m_received;
};

QString twoDigitDate(const QDateTime& t); // "yy-mm-dd"
QString hhmm(const QDateTime& t);

} // namespace tessaro::sim
