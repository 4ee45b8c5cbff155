#pragma once

#include "messaging/out_idx.h"
#include "shell/index_file_model.h"

#include <QIcon>

#include <vector>

namespace tessaro {

// The Sent Items grid over OUT.IDX: submission date and time in one column (the grids' one form), status
// words in the operator's language, "SEARCH & RESCUE" lines with the alarm mark, failed ones with their own.
class OutboxModel final : public IndexFileModel {
    Q_OBJECT
public:
    explicit OutboxModel(QObject* parent = nullptr);
    // Column headers in the current language.
    void retranslate();

    QString fileName(int row) const;
    QString les(int row) const;
    QString reference(int row) const;
    QString status(int row) const;
    // Lines not sent yet ("Initiated" or "Sending"): asked about before exit.
    int unsentCount() const { return m_unsent; }

    // A status word as shown: the nine known words translated, any other text unchanged.
    static QString StatusText(const QString& stored);

    QVariant data(const QModelIndex& index, int role) const override;

protected:
    QString displayText(int column, const QString& value) const override;
    QString lineCellText(int line, int column) const override;
    std::optional<IndexTime> lineTime(int line, int column) const override;
    RowMark lineMark(int line) const override;
    void lineLoaded() override;

private:
    std::vector<RowMark> m_marks;
    int m_unsent = 0;
    mutable QIcon m_failedIcon; // made when first shown
};

} // namespace tessaro
