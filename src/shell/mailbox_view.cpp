#include "shell/mailbox_view.h"

namespace tessaro {

MailboxView::MailboxView(IndexFileModel& model, CConfiguration& config, const QString& settingsSection,
                         int defaultSortColumn, QWidget* parent)
    : IndexGridView(model, config, {settingsSection, settingsSection, QStringLiteral("ColumnWidths"), u',', true, true},
                    QAbstractItemView::SingleSelection, defaultSortColumn, Qt::DescendingOrder, parent) {}

} // namespace tessaro
