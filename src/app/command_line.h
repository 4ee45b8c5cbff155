#pragma once

#include <QString>
#include <QStringList>

namespace tessaro {

// What the command line asks for. Parsing never exits: main() decides from the result.
struct CommandLine {
    QString dataDir;
    QString connect;   // HOST[:PORT]
    QString serial;    // DEVICE[,SETTINGS]
    bool simulator = false;
    bool headless = false;
    int formsPort = -1; // -1: from the settings store
    bool acceptDisclaimer = false;
    bool portable = false;
    bool logComm = false;
    bool help = false;
    bool version = false;

    QString error;     // non-empty: print it and exit 2
    QString helpText;
};

// Options whose subsystem is not built into this program yet; they are refused with exit code 2.
struct OptionAvailability {
    bool connect = false;
    bool serial = false;
    bool simulator = false;
    bool formsPort = false;
};

CommandLine ParseCommandLine(const QStringList& arguments, const OptionAvailability& available);

} // namespace tessaro
