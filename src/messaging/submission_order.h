#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

namespace tessaro {

// The transceiver names the transmissions it accepts "OUT.001" to "OUT.999", in order, and starts over after
// 999. Each "tx" written is remembered here, in order, with the name it should get: a start or delivery report
// then finds the submission it belongs to by that name. Matching reports to the oldest waiting line instead
// gives a line the next transmission's report whenever its own never comes (a transmission lost in a
// transceiver restart the program did not see), and every later line the one after its own.
//
// Where no name is known yet (the first transmissions, or after a report that did not come in the expected
// order) the oldest waiting line takes the report, and every "tx" written after it is numbered on from there.
class SubmissionOrder {
public:
    static constexpr int kNames = 999; // the transceiver's names OUT.001 to OUT.999

    struct Entry {
        QString txName;   // the transceiver file name of the "tx"
        int expected = 0; // the number of "OUT.nnn" it should get; 0 while not known
    };

    // The name after OUT.n (999 is followed by 001); 0 for 0.
    static int next(int n);
    // The number of a transceiver name "OUT.nnn"; 0 for any other text.
    static int outNumber(const QString& name);

    // A "tx" went out (or is about to).
    void written(const QString& txName);
    // The transceiver refused the last "tx" of that name: it took no name.
    void refused(const QString& txName);
    // The "tx" expected to have become OUT.n; empty when none is.
    QString holderOf(int n) const;
    // The report of OUT.n went to the submission of txName: it is done with, and when it did not get the number
    // it was expected to, the "tx" written after it are numbered on from n.
    void settled(const QString& txName, int n);
    // The transceiver restarted: what it had been given is gone. The numbering is kept; a report that does not
    // follow it puts it right.
    void clearPending() { m_entries.clear(); }
    // Keeps only the entries whose transceiver name is in waiting (lines still waiting for their start report).
    void keepOnly(const QStringList& waiting);

    const QVector<Entry>& entries() const { return m_entries; }
    int last() const { return m_last; }

    // Stored as lines "<tx name> OUT.nnn" (or "<tx name> -" while not known) in order, and "=last OUT.nnn".
    QStringList toLines() const;
    // Takes a stored line; false when it is not one of these (a line of another list in the same file).
    bool readLine(const QString& line);

private:
    void expect(qsizetype at, int n);

    QVector<Entry> m_entries;
    int m_last = 0; // the number the last "tx" written should have got; 0 while not known
};

} // namespace tessaro
