#pragma once

#include "messaging/address_book.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <array>

namespace tessaro {

// The transceiver's message-reporting schedule as the "rs" reply shows it and the window edits it.
struct MessageReportingSettings {
    bool function = false; // reporting on ("-f" 1 while "Operation 1" is reported)
    QString month;
    QString dayOfMonth;
    QString dayOfWeek;
    QString hour;
    QString minute;
    bool noPrintCopy = false;
    QString service;         // "-s", read only
    QString destinationType; // "-t", read only
    bool confirmation = false;
    QString extension; // "-e", read only
    QString pinCode;
    QString destinationAddress; // "-a" as reported; the window shows an address-book name instead

    bool operator==(const MessageReportingSettings&) const = default;
};

struct MessageReportingReply {
    bool supported = true; // false: the reply carried "INFO 999:"
    MessageReportingSettings settings;
};

// Reads the reply to "rs": the option lines between "Illegal argument" and the "Operation n:" line.
MessageReportingReply ParseMessageReportingReply(const QString& reply);

// The address-book names a report may go to (every entry but e-mail) and the index of the one whose
// number, without a leading "00", is the reported address (-1 when none is).
struct ReportDestinations {
    QStringList names;
    int selected = -1;
};
ReportDestinations MessageReportingDestinations(const QVector<AddressBookEntry>& book, const QString& reported);

// The command batch of OK; destination is the chosen address-book name (compared case-blind), defaultLes the
// default LES of West, East, Pacific and Indian. Empty when the destination is blank.
QStringList MessageReportingCommands(const MessageReportingSettings& settings, const QString& destination,
                                     const QVector<AddressBookEntry>& book, const std::array<QString, 4>& defaultLes);

// Input rules of the window: schedule fields take digits, ",", "-" and "*"; the poll password takes digits
// and letters and starts with a digit (empty is allowed while typing).
bool IsScheduleText(const QString& text);
bool IsReportPasswordText(const QString& text);

} // namespace tessaro
