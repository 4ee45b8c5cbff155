#include "shell/inbox_model.h"

#include "config/text_util.h"
#include "messaging/message_types.h"
#include "shell/shell_texts.h"

namespace tessaro {

InboxModel::InboxModel(QObject* parent) : IndexFileModel(InboxIdx::kLayout, parent) {
    setFileNameField(InboxIdx::DiskFileName);
    retranslate();
}

void InboxModel::retranslate() {
    // Newest first and the sender before the details: what a watch officer looks for first.
    setColumns({
        {InboxIdx::Received, ShellText(5104, "Received"), SortKind::DateTime},
        {InboxIdx::Priority, ShellText(5100, "Priority"), SortKind::Number},
        {InboxIdx::From, ShellText(5102, "From")},
        {InboxIdx::To, ShellText(5101, "To")},
        {InboxIdx::Subject, ShellText(5103, "Subject")},
        {InboxIdx::Les, ShellText(5106, "LES"), SortKind::Number},
        {InboxIdx::Size, ShellText(5105, "Size"), SortKind::Number},
        {InboxIdx::Refnumber, ShellText(5108, "Ref. number"), SortKind::Number},
        {InboxIdx::Bits, ShellText(5107, "Bits")},
        {InboxIdx::Routing, ShellText(5109, "Routing")},
        {InboxIdx::ModemFileName, ShellText(5110, "Transceiver file")},
        {InboxIdx::DiskFileName, ShellText(5111, "File")},
    });
    if (columnCount() > 0)
        Q_EMIT headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
}

QString InboxModel::displayText(int column, const QString& value) const {
    switch (columns()[size_t(column)].field) {
    case InboxIdx::Priority: {
        const int priority = IndexNumber<quint8>(value);
        const QString name = PriorityName(priority);
        return name.isEmpty() ? value : GetText(5120 + priority, name);
    }
    case InboxIdx::Bits:
        return ReceivedBitsText(IndexNumber<quint8>(value));
    default:
        return value;
    }
}

void InboxModel::lineLoaded() {
    const int lines = storedLineCount();
    m_flags.assign(size_t(lines), 0);
    m_unreadCount = 0;
    for (int i = 0; i < lines; ++i) {
        quint8 f = 0;
        if (InboxIdx::readFlag(storedFieldView(i, InboxIdx::Read)) < 255) {
            f |= Unread;
            ++m_unreadCount;
        }
        // Urgent traffic needs the watch as much as distress traffic: both get the alarm mark.
        const quint8 priority = IndexNumber<quint8>(storedFieldView(i, InboxIdx::Priority));
        if (priority == 2 || priority == 3)
            f |= Alarm;
        m_flags[size_t(i)] = f;
    }
}

bool InboxModel::isUnread(int row) const {
    const int line = lineOfRow(row);
    return line >= 0 && (m_flags[size_t(line)] & Unread);
}

bool InboxModel::lineBold(int line) const {
    return m_flags[size_t(line)] & Unread;
}

IndexFileModel::RowMark InboxModel::lineMark(int line) const {
    return (m_flags[size_t(line)] & Alarm) ? RowMark::Alarm : RowMark::None;
}

} // namespace tessaro
