#pragma once

#include "reporting/forms_backend.h"

#include <QHash>

#include <stdexcept>

// A backend whose answers the test sets and whose calls it reads back.
class FakeFormsBackend final : public tessaro::IFormsBackend {
public:
    struct SendCall {
        QString target; // address or address-book entry
        int type = -1;
        int format = -1;
        QString subject;
        QString text;
        bool toEntry = false;
    };

    QString position = QStringLiteral("55,40.12N , 12,5.30E");
    QString speed = QStringLiteral("12");
    QString course = QStringLiteral("270");
    QString mobile = QStringLiteral("423456789");
    QDateTime utc = QDateTime(QDate(2013, 5, 7), QTime(9, 41), Qt::UTC);
    tessaro::FormsSendResult sendResult{1000, QStringLiteral("Message submitted"), QStringLiteral("13050701.out")};
    bool throwOnSend = false;
    QHash<QString, QString> statuses;    // reference -> status
    QHash<QString, QString> outboxFiles; // file name -> body
    QHash<QString, QString> inboxFiles;
    QStringList listingCalls; // "out count skip newest" / "in count unread skip newest"

    QList<SendCall> sent;
    QStringList bodyRequests; // every file name asked for, outbox and inbox alike

    QString positionText() override { return position; }
    QString speedText() override { return speed; }
    QString courseText() override { return course; }
    QString mobileNumber() override { return mobile; }
    QDateTime transceiverTimeUtc() override { return utc; }

    tessaro::FormsSendResult SendMessageToAddress(const QString& address, int messageType, int formatCode,
                                                  const QString& subject, const QString& text) override {
        if (throwOnSend)
            throw std::runtime_error("link lost");
        sent.append({address, messageType, formatCode, subject, text, false});
        return sendResult;
    }
    tessaro::FormsSendResult SendMessageToAddressBookEntry(const QString& entry, const QString& subject,
                                                           const QString& text) override {
        if (throwOnSend)
            throw std::runtime_error("link lost");
        sent.append({entry, -1, -1, subject, text, true});
        return {1020, QStringLiteral("Unknown address book entry '") + entry + QStringLiteral("'"), QString()};
    }
    tessaro::FormsStatusLookup GetIndexValue(const QString& reference) override {
        if (statuses.contains(reference))
            return {true, statuses.value(reference)};
        return {false, QStringLiteral("No message with reference ") + reference};
    }
    std::optional<QString> outboxMessageText(const QString& fileName) override {
        bodyRequests.append(fileName);
        if (!outboxFiles.contains(fileName))
            return std::nullopt;
        return outboxFiles.value(fileName);
    }
    std::optional<QString> inboxMessageText(const QString& fileName) override {
        bodyRequests.append(fileName);
        if (!inboxFiles.contains(fileName))
            return std::nullopt;
        return inboxFiles.value(fileName);
    }
    QString outboxListingHtml(int count, int skip, bool newestFirst) override {
        listingCalls << QStringLiteral("out %1 %2 %3").arg(count).arg(skip).arg(int(newestFirst));
        return QStringLiteral("<table>outbox</table>");
    }
    QString inboxListingHtml(int count, bool unreadOnly, int skip, bool newestFirst) override {
        listingCalls
            << QStringLiteral("in %1 %2 %3 %4").arg(count).arg(int(unreadOnly)).arg(skip).arg(int(newestFirst));
        return QStringLiteral("<table>inbox</table>");
    }
};
