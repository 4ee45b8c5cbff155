#pragma once

#include <QString>
#include <QStringList>

namespace tessaro {

// What the command line asks for. Parsing never exits: main() decides from the result.
struct CommandLine {
    QString dataDir;
    QString connect; // HOST[:PORT]
    QString serial;  // DEVICE[,SETTINGS]
    bool simulator = false;
    bool headless = false;
    int formsPort = -1; // -1: from the settings store
    bool acceptDisclaimer = false;
    bool portable = false;
    bool logComm = false;
    QString migrateFrom;  // --migrate-from DIR: the predecessor's folder to take over on a first start
    QString runOnReceive; // the received-traffic hook's command for this run
    bool help = false;
    bool version = false;

    // --send TYPE:ADDRESS with --subject and --text-file: one message queued once the link is up.
    bool send = false;
    int sendType = -1; // message type index 0..8
    QString sendAddress;
    QString subject;
    QString textFile;
    int sendTimeOutSeconds = 300; // how long --send waits for a logged-in transceiver

    QString error; // non-empty: print it and exit 2
    QString helpText;
};

// Options whose subsystem is not built into this program yet; they are refused with exit code 2.
struct OptionAvailability {
    bool connect = false;
    bool serial = false;
    bool simulator = false;
    bool formsPort = false;
};

// A message type word: "E-Mail", "Telex", "Fax", "InmC", "PSTN", "SAC", "DNID", "X.25", "SMS" in any letter
// case, also without "-" or "." ("email", "x25") and "Inmarsat-C"; -1 when it names none.
int ParseMessageTypeWord(const QString& word);

CommandLine ParseCommandLine(const QStringList& arguments, const OptionAvailability& available);

} // namespace tessaro
