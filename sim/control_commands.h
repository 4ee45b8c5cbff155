#pragma once

#include "mes_unit.h"

#include <QString>
#include <QStringList>

namespace tessaro::sim {

struct ControlResult {
    bool ok = true;
    QStringList lines; // query output, one item a line
    QString error;
};

// The scenario language of the control port and of --scenario files: one command a line, words separated by
// blanks, options as key=value before a free text.
class ControlInterpreter final {
public:
    explicit ControlInterpreter(MesUnit* unit) : m_unit(unit) {}

    ControlResult execute(const QString& line);
    static QStringList help();
    // Text with the escapes \n (a CR LF line break), \t and \\.
    static QByteArray unescape(const QString& text);
    static QString escape(const QByteArray& bytes);

private:
    ControlResult remotePacket(QStringList words);
    ControlResult incoming(const QStringList& words, bool egc);
    ControlResult setPosition(const QStringList& words);
    ControlResult setTime(const QString& text);
    ControlResult receivedLines() const;
    ControlResult fileList() const;

    MesUnit* m_unit;
};

} // namespace tessaro::sim
