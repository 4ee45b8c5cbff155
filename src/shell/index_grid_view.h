#pragma once

#include <QHash>
#include <QPointer>
#include <QString>
#include <QTableView>

class QMenu;
class QSplitter;

namespace tessaro {

class CConfiguration;
class IndexFileModel;
class ReadingPane;

// The look every index grid shares: whole rows, no editing, one text line per row of a fixed height
// (uniform heights keep 100,000 rows cheap), actions as the context menu, the sort arrow shown.
void SetUpIndexGrid(QTableView& view, QAbstractItemView::SelectionMode selection, int sortColumn, Qt::SortOrder order);

// Where a grid keeps its layout in the settings store.
struct GridSettings {
    QString section;      // the grid's own section: the operator's column choice, the reading pane's sizes
    QString widthSection; // the column widths, as one value joined by widthSeparator
    QString widthKey;
    QChar widthSeparator;
    bool keepsSortOrder;     // the sort column and order too ("SortColumn", "SortOrder" under section)
    bool widthsOfAllColumns; // a stored list of another length (an older column set) is not applied
};

// A grid over an index model, the part the inbox, Sent Items and EGC grids share:
// - columns without any value are hidden until the operator shows them from the header's context menu (a
//   checkable list of the columns); his choice and the widths are kept in the settings store;
// - marked rows (distress and urgency, failure) take their colours from the palette they are painted with;
// - the current message stays current when the index is read again;
// - page(): the grid with a reading pane below, in a splitter whose sizes are kept too.
class IndexGridView : public QTableView {
    Q_OBJECT
public:
    enum class ColumnChoice { Auto, Shown, Hidden };

    IndexGridView(IndexFileModel& model, CConfiguration& config, GridSettings settings,
                  QAbstractItemView::SelectionMode selection, int sortColumn, Qt::SortOrder order,
                  QWidget* parent = nullptr);

    // The shown row under the cursor, -1 when none.
    int currentRow() const;

    // The grid with its reading pane below, in a splitter: what a tab shows. Made on the first call, with the
    // grid moved into it (the splitter takes the grid's parent).
    QSplitter* page();
    // Null until page() was asked for.
    ReadingPane* readingPane() const { return m_pane; }
    // Where the bodies are; by default the folder of the model's index file.
    void setBodyFolder(const QString& folder) { m_bodyFolder = folder; }
    QString bodyFolder() const;

    ColumnChoice columnChoice(int column) const;
    // The operator's choice for a column, kept at once in the settings store.
    void setColumnShown(int column, bool shown);
    // The header's context menu: one checkable entry per column; the last shown column cannot be hidden.
    QMenu* makeColumnMenu(QWidget* parent);

    void saveLayout();

Q_SIGNALS:
    void openRequested(int row);

protected:
    void sizeColumns();

private:
    void restoreLayout();
    void applyColumnVisibility();
    void updatePane();
    void saveColumnChoice();

    IndexFileModel& m_model;
    CConfiguration& m_config;
    GridSettings m_settings;
    QHash<int, ColumnChoice> m_choice; // by index field, so a new column order keeps the choice
    QHash<int, int> m_hiddenWidths;    // by column: the width before it was hidden
    QPointer<QSplitter> m_page;
    ReadingPane* m_pane = nullptr;
    QString m_bodyFolder;
    QString m_keptFile; // the current row's file while the index is read again
    bool m_sized = false;
};

} // namespace tessaro
