#pragma once

#include "messaging/index_file.h"
#include "shell/index_time.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QFileSystemWatcher>
#include <QFont>
#include <QPalette>
#include <QString>
#include <QTimer>

#include <optional>
#include <vector>

namespace tessaro {

// A read-only table over a line-oriented index file, laid out as its codec says. Lines are kept whole with
// the offsets of their fields, so 100,000 lines cost two allocations per line and a cell is cut only when it
// is shown; the subclasses read the values through their codec's decoders.
// Sorting permutes row numbers; the file's own order is the unsorted order. The file is watched and
// read again when it changes (and on refresh()).
class IndexFileModel;

// The text colour of a marked row, read from the palette it is painted with: the plain red of distress rows
// (and a dark orange for failures) on a light background, lighter tones of both on a dark one.
QColor RowMarkColour(int mark, const QPalette& palette);

class IndexFileModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum class SortKind { Text, Number, DateTime };
    // How a row is marked: Alarm for distress and urgency traffic, Failed for a transmission that failed.
    enum class RowMark : quint8 { None, Alarm, Failed };
    // The row's RowMark as an int, for views that pick their own colours (night mode).
    static constexpr int RowMarkRole = Qt::UserRole + 1;
    struct Column {
        int field; // index position shown in this column
        QString header;
        SortKind sort = SortKind::Text;
    };

    explicit IndexFileModel(const IndexLineLayout& layout, QObject* parent = nullptr);

    void setFile(const QString& path);
    const QString& filePath() const { return m_path; }
    // Reads the file again, keeping the sort order.
    void refresh();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    void sort(int column, Qt::SortOrder order) override;

    // Text of a shown cell, as the grid shows it.
    QString cellText(int row, int column) const;
    // Field of a shown row (the row after sorting), "" when the line is shorter.
    QString field(int row, int field) const;
    // Line number in the file of a shown row.
    int lineOfRow(int row) const;
    int sortColumn() const { return m_sortColumn; }
    Qt::SortOrder sortOrder() const { return m_sortOrder; }
    const std::vector<Column>& columns() const { return m_columns; }
    // Whether any shown row has a value (not only blanks) in this column; views hide the columns that have
    // none. Known after every load without a pass of its own.
    bool columnHasValues(int column) const;
    // The field that names a row's body file in the folder of its index (-1 when the subclass set none).
    int fileNameField() const { return m_fileNameField; }
    // The body file of a shown row, trimmed.
    QString rowFileName(int row) const;
    // The first shown row whose file name is name (compared trimmed, case-blind), -1 when none.
    int rowOfFileName(QStringView name) const;
    RowMark rowMark(int row) const;

Q_SIGNALS:
    void reloaded();

protected:
    // Called by subclasses' constructors.
    void setColumns(std::vector<Column> columns) { m_columns = std::move(columns); }
    void setFileNameField(int field) { m_fileNameField = field; }
    // The text shown for a field (translations of stored words).
    virtual QString displayText(int column, const QString& value) const;
    QString storedField(int line, int field) const;
    // The same without a copy; valid until the next load.
    QStringView storedFieldView(int line, int field) const;
    const QString& storedLine(int line) const { return m_lines[size_t(line)]; }
    int storedLineCount() const;
    // Whether a stored line reaches its last field (the separators of every field are there).
    bool lineComplete(int line) const;
    // Adds a line that was appended to the file as the last row, without reading the file again; the rows
    // are sorted again on the next load.
    void appendLine(const QString& line);
    // Lines that are no row of the grid (a subclass skips lines too short for its format).
    virtual bool lineShown(int line) const;
    // The text a cell shows; by default its field through displayText().
    virtual QString lineCellText(int line, int column) const;
    // Row styles by file line: bold (unread) and the mark (distress and urgency, failure).
    virtual bool lineBold(int line) const;
    virtual RowMark lineMark(int line) const;
    // The time a DateTime column holds for a stored line; by default its field read by ParseIndexTime.
    virtual std::optional<IndexTime> lineTime(int line, int column) const;
    // Runs after every load, before sorting: subclasses cache per-line facts here.
    virtual void lineLoaded();
    // The key a text column sorts by (the shown text unless a column knows better).
    virtual QString sortText(int column, const QString& value) const;
    // The sort key of a text column for a stored line; by default sortText() of its field.
    virtual QString lineSortText(int line, int column) const;

private:
    void load();
    void addLine(QString line);
    void applySort();
    void noteValues(int line);

    IndexLineLayout m_layout;
    QString m_path;
    std::vector<Column> m_columns;
    std::vector<QString> m_lines;
    std::vector<int> m_offsets;        // per line: valueCount + 1 start positions (a missing field starts at the end)
    std::vector<int> m_order;          // shown row -> line
    std::vector<bool> m_fieldHasValue; // per field of the layout: some shown line holds more than blanks
    int m_fieldsWithoutValue = 0;      // how many fields are still without one (the check stops at 0)
    int m_fileNameField = -1;
    QFont m_bold; // one font for every bold row, not one per cell asked for
    int m_sortColumn = -1;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    QFileSystemWatcher m_watcher;
    QTimer m_reloadDelay; // several writes in a row (work file, rename) give one reload
};

} // namespace tessaro
