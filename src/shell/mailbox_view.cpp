#include "shell/mailbox_view.h"

#include "shell/index_file_model.h"
#include "shell/window_geometry.h"

#include <QHeaderView>

namespace tessaro {

void SetUpIndexGrid(QTableView& view, QAbstractItemView::SelectionMode selection, int sortColumn, Qt::SortOrder order) {
    view.setSelectionBehavior(QAbstractItemView::SelectRows);
    view.setSelectionMode(selection);
    view.setEditTriggers(QAbstractItemView::NoEditTriggers);
    view.setAlternatingRowColors(true);
    view.setWordWrap(false);
    view.setContextMenuPolicy(Qt::ActionsContextMenu);
    view.verticalHeader()->hide();
    view.verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view.verticalHeader()->setDefaultSectionSize(view.fontMetrics().height() + 6);
    view.horizontalHeader()->setStretchLastSection(true);
    view.horizontalHeader()->setSortIndicatorShown(true);
    view.horizontalHeader()->setSortIndicator(sortColumn, order);
}

MailboxView::MailboxView(IndexFileModel& model, CConfiguration& config, const QString& settingsSection,
                         int defaultSortColumn, QWidget* parent)
    : QTableView(parent), m_model(model), m_config(config), m_section(settingsSection) {
    setModel(&model);
    SetUpIndexGrid(*this, QAbstractItemView::SingleSelection, defaultSortColumn, Qt::DescendingOrder);
    horizontalHeader()->setSectionsMovable(false);
    sizeColumns();
    m_sized = RestoreColumnWidths(*horizontalHeader(), config, settingsSection);
    // Without saved widths the columns follow the first lines that arrive.
    connect(&model, &IndexFileModel::reloaded, this, [this] {
        if (!m_sized && m_model.rowCount() > 0) {
            m_sized = true;
            sizeColumns();
        }
    });
    // The model sorts itself once per header click (keys are cut once per line).
    setSortingEnabled(true);
    connect(this, &QTableView::doubleClicked, this, [this](const QModelIndex& i) { Q_EMIT openRequested(i.row()); });
}

void MailboxView::sizeColumns() {
    // From the header texts and the first lines only: never a pass over all 100,000 rows.
    QFont bold = font();
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    for (int c = 0; c < m_model.columnCount(); ++c) {
        int width = metrics.horizontalAdvance(m_model.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString());
        for (int r = 0; r < std::min(20, m_model.rowCount()); ++r)
            width = std::max(width,
                             metrics.horizontalAdvance(m_model.data(m_model.index(r, c), Qt::DisplayRole).toString()));
        horizontalHeader()->resizeSection(c, std::clamp(width + 24, 60, 320));
    }
}

int MailboxView::currentRow() const {
    const QModelIndex i = currentIndex();
    return i.isValid() ? i.row() : -1;
}

void MailboxView::saveLayout() {
    SaveColumnWidths(*horizontalHeader(), m_config, m_section);
}

} // namespace tessaro
