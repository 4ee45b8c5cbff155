#pragma once

#include "shell/index_grid_view.h"

namespace tessaro {

// The inbox and Sent Items grids: one message at a time, newest first until the operator sorts otherwise.
// Layout under the given settings section: "ColumnWidths" (joined by ","), "SortColumn", "SortOrder", the
// column choice and the reading pane's sizes.
class MailboxView final : public IndexGridView {
    Q_OBJECT
public:
    // defaultSortColumn sorts newest first until the operator chooses another order.
    MailboxView(IndexFileModel& model, CConfiguration& config, const QString& settingsSection, int defaultSortColumn,
                QWidget* parent = nullptr);
};

} // namespace tessaro
