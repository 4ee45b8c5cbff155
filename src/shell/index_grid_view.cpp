#include "shell/index_grid_view.h"

#include "config/configuration.h"
#include "config/text_util.h"
#include "messaging/outbox.h"
#include "shell/index_file_model.h"
#include "shell/message_window.h"
#include "shell/reading_pane.h"

#include <QFileInfo>
#include <QHeaderView>
#include <QMenu>
#include <QSplitter>
#include <QStyledItemDelegate>

#include <algorithm>

namespace tessaro {

namespace {

const QString kShownKey = QStringLiteral("ShownColumns");
const QString kHiddenKey = QStringLiteral("HiddenColumns");
const QString kPaneKey = QStringLiteral("ReadingPane");
const QString kSortColumnKey = QStringLiteral("SortColumn");
const QString kSortOrderKey = QStringLiteral("SortOrder");

// Marked rows take their text colour from the palette the grid is painted with, so they read in a dark
// palette as well as in the light one.
class RowMarkDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        const int mark = index.data(IndexFileModel::RowMarkRole).toInt();
        if (mark != int(IndexFileModel::RowMark::None))
            option->palette.setColor(QPalette::Text, RowMarkColour(mark, option->palette));
    }
};

QList<int> numbers(const QString& stored) {
    QList<int> list;
    for (const QString& part : stored.split(u',', Qt::SkipEmptyParts))
        if (IsNumeric(part.trimmed()))
            list << int(Val(part.trimmed()));
    return list;
}

} // namespace

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

IndexGridView::IndexGridView(IndexFileModel& model, CConfiguration& config, GridSettings settings,
                             QAbstractItemView::SelectionMode selection, int sortColumn, Qt::SortOrder order,
                             QWidget* parent)
    : QTableView(parent), m_model(model), m_config(config), m_settings(std::move(settings)) {
    setModel(&model);
    SetUpIndexGrid(*this, selection, sortColumn, order);
    setItemDelegate(new RowMarkDelegate(this));
    horizontalHeader()->setSectionsMovable(false);
    sizeColumns();
    restoreLayout();
    applyColumnVisibility();

    connect(&model, &QAbstractItemModel::modelAboutToBeReset, this,
            [this] { m_keptFile = m_model.rowFileName(currentRow()); });
    connect(&model, &IndexFileModel::reloaded, this, [this] {
        // Without saved widths the columns follow the first lines that arrive.
        if (!m_sized && m_model.rowCount() > 0) {
            m_sized = true;
            sizeColumns();
        }
        applyColumnVisibility();
        // A new message or a changed read flag reads the index again: the message on screen stays current.
        const int row = m_model.rowOfFileName(m_keptFile);
        m_keptFile.clear();
        if (row >= 0) {
            int column = 0;
            while (column < m_model.columnCount() - 1 && isColumnHidden(column))
                ++column;
            selectionModel()->setCurrentIndex(m_model.index(row, column),
                                              QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        }
        updatePane();
    });
    connect(&model, &QAbstractItemModel::rowsInserted, this, [this] { applyColumnVisibility(); });
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] { updatePane(); });

    horizontalHeader()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(horizontalHeader(), &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        QMenu* menu = makeColumnMenu(this);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(horizontalHeader()->mapToGlobal(pos));
    });
    // The model sorts itself once per header click (keys are cut once per line).
    setSortingEnabled(true);
    connect(this, &QTableView::doubleClicked, this, [this](const QModelIndex& i) { Q_EMIT openRequested(i.row()); });
}

int IndexGridView::currentRow() const {
    const QModelIndex i = currentIndex();
    return i.isValid() ? i.row() : -1;
}

void IndexGridView::sizeColumns() {
    // From the header texts and the first lines only: never a pass over all 100,000 rows.
    QFont bold = font();
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    for (int c = 0; c < m_model.columnCount(); ++c) {
        int width = metrics.horizontalAdvance(m_model.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString());
        for (int r = 0; r < std::min(20, m_model.rowCount()); ++r)
            width = std::max(width, metrics.horizontalAdvance(m_model.cellText(r, c)));
        const int size = std::clamp(width + 24, 60, 320);
        if (isColumnHidden(c))
            m_hiddenWidths[c] = size;
        else
            horizontalHeader()->resizeSection(c, size);
    }
}

void IndexGridView::restoreLayout() {
    const QStringList widths = m_config.GetSettingValue(m_settings.widthSection, m_settings.widthKey)
                                   .split(m_settings.widthSeparator, Qt::SkipEmptyParts);
    if (!widths.isEmpty() && (!m_settings.widthsOfAllColumns || widths.size() == m_model.columnCount())) {
        for (int c = 0; c < widths.size() && c < m_model.columnCount(); ++c) {
            const qint64 w = Val(widths[c]);
            if (w >= 10 && w <= 2000)
                horizontalHeader()->resizeSection(c, int(w));
        }
        m_sized = true;
    }
    if (m_settings.keepsSortOrder) {
        const QString column = m_config.GetSettingValue(m_settings.section, kSortColumnKey);
        if (IsNumeric(column) && Val(column) < m_model.columnCount())
            horizontalHeader()->setSortIndicator(int(Val(column)),
                                                 Val(m_config.GetSettingValue(m_settings.section, kSortOrderKey)) == 1
                                                     ? Qt::DescendingOrder
                                                     : Qt::AscendingOrder);
    }
    for (int field : numbers(m_config.GetSettingValue(m_settings.section, kShownKey)))
        m_choice.insert(field, ColumnChoice::Shown);
    for (int field : numbers(m_config.GetSettingValue(m_settings.section, kHiddenKey)))
        m_choice.insert(field, ColumnChoice::Hidden);
}

void IndexGridView::applyColumnVisibility() {
    // An empty grid shows every heading; once there are rows, a column nobody filled is only in the way.
    const bool rows = m_model.rowCount() > 0;
    int shownCount = 0;
    for (int c = 0; c < m_model.columnCount(); ++c) {
        const ColumnChoice choice = columnChoice(c);
        const bool shown =
            choice == ColumnChoice::Shown || (choice == ColumnChoice::Auto && (!rows || m_model.columnHasValues(c)));
        if (shown)
            ++shownCount;
        if (shown == !isColumnHidden(c))
            continue;
        if (!shown)
            m_hiddenWidths[c] = columnWidth(c);
        setColumnHidden(c, !shown);
    }
    if (shownCount == 0 && m_model.columnCount() > 0)
        setColumnHidden(0, false);
}

IndexGridView::ColumnChoice IndexGridView::columnChoice(int column) const {
    if (column < 0 || size_t(column) >= m_model.columns().size())
        return ColumnChoice::Auto;
    return m_choice.value(m_model.columns()[size_t(column)].field, ColumnChoice::Auto);
}

void IndexGridView::setColumnShown(int column, bool shown) {
    if (column < 0 || size_t(column) >= m_model.columns().size())
        return;
    if (!shown) {
        int others = 0;
        for (int c = 0; c < m_model.columnCount(); ++c)
            others += c != column && !isColumnHidden(c);
        if (others == 0)
            return; // the last column stays: a grid without columns could not be brought back
    }
    m_choice.insert(m_model.columns()[size_t(column)].field, shown ? ColumnChoice::Shown : ColumnChoice::Hidden);
    applyColumnVisibility();
    saveColumnChoice();
}

void IndexGridView::saveColumnChoice() {
    QStringList shown;
    QStringList hidden;
    QList<int> fields = m_choice.keys();
    std::sort(fields.begin(), fields.end());
    for (int field : fields) {
        if (m_choice.value(field) == ColumnChoice::Shown)
            shown << QString::number(field);
        else if (m_choice.value(field) == ColumnChoice::Hidden)
            hidden << QString::number(field);
    }
    m_config.SaveSettingValue(m_settings.section, kShownKey, shown.join(u','));
    m_config.SaveSettingValue(m_settings.section, kHiddenKey, hidden.join(u','));
}

QMenu* IndexGridView::makeColumnMenu(QWidget* parent) {
    auto* menu = new QMenu(parent);
    menu->setObjectName(QStringLiteral("ColumnMenu"));
    int shownCount = 0;
    for (int c = 0; c < m_model.columnCount(); ++c)
        shownCount += !isColumnHidden(c);
    for (int c = 0; c < m_model.columnCount(); ++c) {
        QAction* action = menu->addAction(m_model.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString());
        action->setCheckable(true);
        action->setChecked(!isColumnHidden(c));
        action->setEnabled(isColumnHidden(c) || shownCount > 1);
        connect(action, &QAction::toggled, this, [this, c](bool on) { setColumnShown(c, on); });
    }
    return menu;
}

QSplitter* IndexGridView::page() {
    if (m_page)
        return m_page;
    auto* splitter = new QSplitter(Qt::Vertical, parentWidget());
    splitter->setObjectName(objectName().isEmpty() ? QStringLiteral("MailboxPage")
                                                   : objectName() + QStringLiteral("Page"));
    splitter->addWidget(this);
    m_pane = new ReadingPane(m_config, splitter);
    splitter->addWidget(m_pane);
    splitter->setCollapsible(0, false); // the pane may be dragged shut, the list not
    splitter->setFocusProxy(this);      // a page brought forward by key takes the keys in its list
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);
    const QList<int> sizes = numbers(m_config.GetSettingValue(m_settings.section, kPaneKey));
    if (sizes.size() == 2 && sizes[0] > 0 && sizes[1] >= 0)
        splitter->setSizes(sizes);
    else
        splitter->setSizes({300, 200});
    m_page = splitter;
    updatePane();
    return m_page;
}

QString IndexGridView::bodyFolder() const {
    if (!m_bodyFolder.isEmpty() || m_model.filePath().isEmpty())
        return m_bodyFolder;
    return QFileInfo(m_model.filePath()).absolutePath() + u'/';
}

void IndexGridView::updatePane() {
    if (!m_pane)
        return;
    const int row = currentRow();
    if (row < 0 || row >= m_model.rowCount()) {
        m_pane->clear();
        return;
    }
    QList<MessageWindow::Field> fields;
    for (int c = 0; c < m_model.columnCount(); ++c)
        fields.push_back(
            {m_model.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString() + u':', m_model.cellText(row, c)});
    const QString folder = bodyFolder();
    const QString name = m_model.rowFileName(row);
    // Only shown: the message keeps its read flag until it is opened.
    m_pane->showMessage(fields,
                        folder.isEmpty() ? MissingBodyText(name, QStringLiteral("\n")) : ReadMessageBody(folder, name));
}

void IndexGridView::saveLayout() {
    QStringList widths;
    for (int c = 0; c < m_model.columnCount(); ++c)
        widths << QString::number(isColumnHidden(c) ? m_hiddenWidths.value(c, horizontalHeader()->defaultSectionSize())
                                                    : columnWidth(c));
    m_config.SaveSettingValue(m_settings.widthSection, m_settings.widthKey, widths.join(m_settings.widthSeparator));
    if (m_settings.keepsSortOrder) {
        m_config.SaveSettingValue(m_settings.section, kSortColumnKey,
                                  QString::number(horizontalHeader()->sortIndicatorSection()));
        m_config.SaveSettingValue(m_settings.section, kSortOrderKey,
                                  horizontalHeader()->sortIndicatorOrder() == Qt::DescendingOrder
                                      ? QStringLiteral("1")
                                      : QStringLiteral("0"));
    }
    if (m_page) {
        const QList<int> sizes = m_page->sizes();
        if (sizes.size() == 2 && sizes[0] > 0)
            m_config.SaveSettingValue(m_settings.section, kPaneKey,
                                      QString::number(sizes[0]) + u',' + QString::number(sizes[1]));
    }
}

} // namespace tessaro
