#pragma once

#include <QTableView>

namespace tessaro {

class CConfiguration;
class IndexFileModel;

// The look every index grid shares: whole rows, no editing, one text line per row of a fixed height
// (uniform heights keep 100,000 rows cheap), actions as the context menu, the sort arrow shown.
void SetUpIndexGrid(QTableView& view, QAbstractItemView::SelectionMode selection, int sortColumn, Qt::SortOrder order);

// A grid over an index model: whole-row selection, sorting by header click, one text line per row
// (uniform heights keep 100,000 rows cheap), and column widths kept under a settings section.
class MailboxView final : public QTableView {
    Q_OBJECT
public:
    // defaultSortColumn sorts newest first until the operator chooses another order.
    MailboxView(IndexFileModel& model, CConfiguration& config, const QString& settingsSection, int defaultSortColumn,
                QWidget* parent = nullptr);

    // The shown row under the cursor, -1 when none.
    int currentRow() const;
    void saveLayout();

Q_SIGNALS:
    void openRequested(int row);

private:
    void sizeColumns();
    IndexFileModel& m_model;
    CConfiguration& m_config;
    QString m_section;
    bool m_sized = false;
};

} // namespace tessaro
