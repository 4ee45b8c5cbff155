#pragma once

#include "egc/egc_idx.h"
#include "shell/index_file_model.h"

#include <optional>

namespace tessaro {

// The EGC grid over EGC.IDX: header codes in words, unread rows bold, Urgent and Distress rows with the alarm
// mark, and lines without all twelve positions left out. "Date & Time" shows the grids' one form and sorts
// by the time ("Unknown" after every time); it is the order until the operator clicks another column.
class EgcModel final : public IndexFileModel {
    Q_OBJECT
public:
    enum Column : int { DiskFile = 0, ModemFile, Les, Service, Priority, Bits, DateTime, Size, RefNo, Routing };

    explicit EgcModel(QObject* parent = nullptr);
    // Column headers in the current language.
    void retranslate();

    // Shows the index at path, creating it empty (and its folder) when it is missing.
    void open(const QString& indexPath);
    // A newly stored EGC whose line was just appended to the index: added as the last row, unless a row
    // of the same disk file is already there (the index was read again meanwhile).
    void appendStored(const EgcIdxRecord& record);

    QString diskFileName(int row) const { return field(row, EgcIdx::DiskFileName).trimmed(); }
    std::optional<EgcIdxRecord> record(int row) const;
    bool isUnread(int row) const;
    bool isAlarmPriority(int row) const;

protected:
    QString displayText(int column, const QString& value) const override;
    QString lineCellText(int line, int column) const override;
    bool lineShown(int line) const override;
    bool lineBold(int line) const override;
    RowMark lineMark(int line) const override;
    std::optional<IndexTime> lineTime(int line, int column) const override;
};

} // namespace tessaro
