#pragma once

#include "messaging/inbox_idx.h"
#include "shell/index_file_model.h"

#include <vector>

namespace tessaro {

// The inbox grid over Inbox.idx: unread rows bold, Urgent and Distress rows marked alike, priorities and
// presentation codes in words, the received time in the grids' one form.
class InboxModel final : public IndexFileModel {
    Q_OBJECT
public:
    explicit InboxModel(QObject* parent = nullptr);
    // Column headers in the current language.
    void retranslate();

    bool isUnread(int row) const;
    QString diskFileName(int row) const { return field(row, InboxIdx::DiskFileName).trimmed(); }
    int unreadCount() const { return m_unreadCount; }

protected:
    QString displayText(int column, const QString& value) const override;
    bool lineBold(int line) const override;
    RowMark lineMark(int line) const override;
    void lineLoaded() override;

private:
    enum Flag : quint8 { Unread = 1, Alarm = 2 };
    std::vector<quint8> m_flags;
    int m_unreadCount = 0;
};

} // namespace tessaro
