#pragma once

#include "reply.h"
#include "shell_session.h"

#include <QString>
#include <QStringList>

namespace tessaro::sim {

// What a command handler sees of the line it runs.
struct ShellContext {
    MesUnit& unit;
    ShellSession& session;
    QString line;     // as typed, without the line end
    QStringList args; // split at blanks
    // args[i] or empty; handlers read optional arguments this way
    QString arg(qsizetype i) const { return i < args.size() ? args.at(i) : QString(); }
};

// Each returns false when the line is none of its commands; otherwise it has written the output (without
// echo and prompt, which the session adds).
bool runStatusCommand(ShellContext& ctx, Reply& reply);
bool runMessageCommand(ShellContext& ctx, Reply& reply);
bool runEgcCommand(ShellContext& ctx, Reply& reply);
bool runSetupCommand(ShellContext& ctx, Reply& reply);

// Shared layout helpers.
QString padRight(const QString& text, int width);
QString label(const QString& name, int width = 19); // name padded, then ": "
QString stx(const QString& value);                  // value framed by STX and ETX

} // namespace tessaro::sim

namespace tessaro::sim {
struct LesEntry {
    int id;
    const char* name;
};
// The Land Earth Stations of an ocean region (0..3); empty for other values.
QList<LesEntry> lesTable(int ocean);
QString oceanName(int ocean);
} // namespace tessaro::sim
