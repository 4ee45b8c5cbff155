#include "shell/index_file_model.h"

#include "config/text_util.h"

#include <QColor>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QGuiApplication>

#include <algorithm>
#include <cstring>
#include <limits>

namespace tessaro {

QColor RowMarkColour(int mark, const QPalette& palette) {
    const bool dark = palette.color(QPalette::Base).lightness() < 128;
    switch (IndexFileModel::RowMark(mark)) {
    case IndexFileModel::RowMark::Alarm:
        return dark ? QColor(0xff, 0x6b, 0x6b) : QColor(Qt::red);
    case IndexFileModel::RowMark::Failed:
        return dark ? QColor(0xff, 0xa8, 0x4d) : QColor(0xb3, 0x4a, 0x00);
    case IndexFileModel::RowMark::None:
        break;
    }
    return palette.color(QPalette::Text);
}

IndexFileModel::IndexFileModel(const IndexLineLayout& layout, QObject* parent)
    : QAbstractTableModel(parent), m_layout(layout) {
    m_bold.setBold(true);
    m_reloadDelay.setSingleShot(true);
    m_reloadDelay.setInterval(150);
    connect(&m_reloadDelay, &QTimer::timeout, this, &IndexFileModel::refresh);
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, [this] { m_reloadDelay.start(); });
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, [this] { m_reloadDelay.start(); });
}

void IndexFileModel::setFile(const QString& path) {
    if (!m_watcher.files().isEmpty())
        m_watcher.removePaths(m_watcher.files());
    if (!m_watcher.directories().isEmpty())
        m_watcher.removePaths(m_watcher.directories());
    m_path = path;
    const QString dir = QFileInfo(path).absolutePath();
    if (QFileInfo::exists(dir))
        m_watcher.addPath(dir);
    refresh();
}

void IndexFileModel::refresh() {
    beginResetModel();
    load();
    applySort();
    endResetModel();
    // An index replaced by a rename is a new file: watch it again.
    if (!m_path.isEmpty() && QFileInfo::exists(m_path) && !m_watcher.files().contains(m_path))
        m_watcher.addPath(m_path);
    Q_EMIT reloaded();
}

void IndexFileModel::load() {
    m_lines.clear();
    m_offsets.clear();
    m_order.clear();
    m_fieldHasValue.assign(size_t(m_layout.valueCount), false);
    m_fieldsWithoutValue = m_layout.valueCount;
    QFile file(m_path);
    if (m_path.isEmpty() || !file.open(QIODevice::ReadOnly))
        return;
    // Each line is converted on its own: one whole-file QString would double the memory touched.
    const QByteArray bytes = file.readAll();
    const char* data = bytes.constData();
    const qsizetype size = bytes.size();
    const int stride = m_layout.valueCount + 1;
    const qsizetype lines = bytes.count('\n') + 1;
    m_lines.reserve(size_t(lines));
    m_offsets.reserve(size_t(lines) * size_t(stride));
    qsizetype start = 0;
    while (start < size) {
        const void* found = std::memchr(data + start, '\n', size_t(size - start));
        const qsizetype end = found ? static_cast<const char*>(found) - data : size;
        qsizetype stop = end;
        if (stop > start && data[stop - 1] == '\r')
            --stop;
        if (stop > start)
            addLine(QString::fromLatin1(data + start, stop - start));
        start = end + 1;
    }
    Q_ASSERT(m_offsets.size() == m_lines.size() * size_t(stride));
    lineLoaded();
}

void IndexFileModel::addLine(QString line) {
    // Field starts; a field missing from a short line starts (and ends) past the line's end.
    int pos = 0;
    for (int f = 0; f < m_layout.valueCount; ++f) {
        m_offsets.push_back(pos);
        if (pos <= line.size()) {
            const qsizetype sep = line.indexOf(m_layout.separator, pos);
            pos = sep < 0 ? int(line.size()) + 1 : int(sep) + 1;
        }
    }
    m_offsets.push_back(pos); // past the line end unless more values follow
    m_lines.push_back(std::move(line));
    if (m_fieldsWithoutValue > 0)
        noteValues(int(m_lines.size()) - 1);
}

void IndexFileModel::noteValues(int line) {
    // Part of reading the line: only fields still without a value are looked at, and an empty field is one
    // comparison, so a column that stays empty costs next to nothing.
    if (!lineShown(line))
        return;
    for (int f = 0; f < m_layout.valueCount; ++f) {
        if (m_fieldHasValue[size_t(f)])
            continue;
        const QStringView v = storedFieldView(line, f);
        if (std::any_of(v.begin(), v.end(), [](QChar c) { return !c.isSpace(); })) {
            m_fieldHasValue[size_t(f)] = true;
            --m_fieldsWithoutValue;
        }
    }
}

bool IndexFileModel::columnHasValues(int column) const {
    if (column < 0 || size_t(column) >= m_columns.size())
        return false;
    const int f = m_columns[size_t(column)].field;
    return f >= 0 && size_t(f) < m_fieldHasValue.size() && m_fieldHasValue[size_t(f)];
}

QString IndexFileModel::rowFileName(int row) const {
    return m_fileNameField < 0 ? QString() : storedFieldView(lineOfRow(row), m_fileNameField).trimmed().toString();
}

int IndexFileModel::rowOfFileName(QStringView name) const {
    if (m_fileNameField < 0 || name.isEmpty())
        return -1;
    for (size_t row = 0; row < m_order.size(); ++row)
        if (storedFieldView(m_order[row], m_fileNameField).trimmed().compare(name, Qt::CaseInsensitive) == 0)
            return int(row);
    return -1;
}

IndexFileModel::RowMark IndexFileModel::rowMark(int row) const {
    const int line = lineOfRow(row);
    return line < 0 ? RowMark::None : lineMark(line);
}

void IndexFileModel::appendLine(const QString& line) {
    QString l = line;
    while (l.endsWith(u'\n') || l.endsWith(u'\r'))
        l.chop(1);
    if (l.isEmpty())
        return;
    addLine(std::move(l));
    const int added = int(m_lines.size()) - 1;
    lineLoaded();
    if (!lineShown(added))
        return;
    beginInsertRows({}, rowCount(), rowCount());
    m_order.push_back(added);
    endInsertRows();
}

bool IndexFileModel::lineComplete(int line) const {
    if (line < 0 || size_t(line) >= m_lines.size())
        return false;
    const size_t base = size_t(line) * size_t(m_layout.valueCount + 1);
    return m_offsets[base + size_t(m_layout.valueCount) - 1] <= m_lines[size_t(line)].size();
}

bool IndexFileModel::lineShown(int) const {
    return true;
}

void IndexFileModel::lineLoaded() {}

QStringView IndexFileModel::storedFieldView(int line, int field) const {
    const int fieldCount = m_layout.valueCount;
    if (line < 0 || size_t(line) >= m_lines.size() || field < 0 || field >= fieldCount)
        return {};
    const size_t base = size_t(line) * size_t(fieldCount + 1);
    const int from = m_offsets[base + size_t(field)];
    const QString& text = m_lines[size_t(line)];
    if (from > text.size())
        return {};
    // Nothing is escaped: where the layout says so, the last field runs to the line's end even when it
    // holds the separator.
    const int to = field == fieldCount - 1 && m_layout.lastValueTakesRest ? int(text.size())
                                                                          : m_offsets[base + size_t(field) + 1] - 1;
    return QStringView(text).mid(from, std::max(0, to - from));
}

QString IndexFileModel::storedField(int line, int field) const {
    return storedFieldView(line, field).toString();
}

int IndexFileModel::storedLineCount() const {
    return int(m_lines.size());
}

QString IndexFileModel::field(int row, int field) const {
    return storedField(lineOfRow(row), field);
}

int IndexFileModel::lineOfRow(int row) const {
    if (row < 0 || size_t(row) >= m_order.size())
        return -1;
    return m_order[size_t(row)];
}

int IndexFileModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_order.size());
}

int IndexFileModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant IndexFileModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || size_t(section) >= m_columns.size())
        return QAbstractTableModel::headerData(section, orientation, role);
    return m_columns[size_t(section)].header;
}

QString IndexFileModel::lineCellText(int line, int column) const {
    if (m_columns[size_t(column)].sort == SortKind::DateTime)
        if (const std::optional<IndexTime> t = lineTime(line, column))
            return IndexTimeText(*t);
    return displayText(column, storedField(line, m_columns[size_t(column)].field).trimmed());
}

QString IndexFileModel::cellText(int row, int column) const {
    const int line = lineOfRow(row);
    if (line < 0 || column < 0 || size_t(column) >= m_columns.size())
        return {};
    return lineCellText(line, column);
}

QString IndexFileModel::displayText(int, const QString& value) const {
    return value;
}

QVariant IndexFileModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || size_t(index.column()) >= m_columns.size())
        return {};
    const int line = lineOfRow(index.row());
    if (line < 0)
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return lineCellText(line, index.column());
    case Qt::FontRole:
        if (lineBold(line))
            return m_bold;
        return {};
    case Qt::ForegroundRole: {
        const RowMark mark = lineMark(line);
        if (mark == RowMark::None)
            return {};
        return RowMarkColour(int(mark), QGuiApplication::palette());
    }
    case RowMarkRole:
        return int(lineMark(line));
    default:
        return {};
    }
}

bool IndexFileModel::lineBold(int) const {
    return false;
}

IndexFileModel::RowMark IndexFileModel::lineMark(int) const {
    return RowMark::None;
}

std::optional<IndexTime> IndexFileModel::lineTime(int line, int column) const {
    return ParseIndexTime(storedFieldView(line, m_columns[size_t(column)].field));
}

void IndexFileModel::sort(int column, Qt::SortOrder order) {
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    // The current and selected rows follow their messages to their new places.
    const QModelIndexList before = persistentIndexList();
    std::vector<int> lines;
    lines.reserve(size_t(before.size()));
    for (const QModelIndex& i : before)
        lines.push_back(lineOfRow(i.row()));
    m_sortColumn = column;
    m_sortOrder = order;
    applySort();
    if (!before.isEmpty()) {
        std::vector<int> rowOfLine(m_lines.size(), -1);
        for (size_t row = 0; row < m_order.size(); ++row)
            rowOfLine[size_t(m_order[row])] = int(row);
        QModelIndexList after;
        after.reserve(before.size());
        for (qsizetype i = 0; i < before.size(); ++i) {
            const int line = lines[size_t(i)];
            const int row = line < 0 ? -1 : rowOfLine[size_t(line)];
            after << (row < 0 ? QModelIndex() : index(row, before[i].column()));
        }
        changePersistentIndexList(before, after);
    }
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void IndexFileModel::applySort() {
    m_order.clear();
    m_order.reserve(m_lines.size());
    for (int i = 0; i < int(m_lines.size()); ++i)
        if (lineShown(i))
            m_order.push_back(i);
    if (m_sortColumn < 0 || size_t(m_sortColumn) >= m_columns.size())
        return;
    const Column& c = m_columns[size_t(m_sortColumn)];
    // Keys are cut once per line, not once per comparison.
    if (c.sort == SortKind::Number) {
        std::vector<qint64> keys(m_lines.size());
        for (size_t i = 0; i < m_lines.size(); ++i)
            keys[i] = Val(storedFieldView(int(i), c.field));
        std::stable_sort(m_order.begin(), m_order.end(),
                         [&](int a, int b) { return keys[size_t(a)] < keys[size_t(b)]; });
    } else if (c.sort == SortKind::DateTime) {
        // By the time itself; values that are no time ("Unknown") after every time, in file order.
        std::vector<qint64> keys(m_lines.size(), std::numeric_limits<qint64>::max());
        for (int line : m_order)
            if (const std::optional<IndexTime> t = lineTime(line, m_sortColumn))
                keys[size_t(line)] = t->key();
        std::stable_sort(m_order.begin(), m_order.end(),
                         [&](int a, int b) { return keys[size_t(a)] < keys[size_t(b)]; });
    } else {
        std::vector<QString> keys(m_lines.size());
        for (size_t i = 0; i < m_lines.size(); ++i)
            keys[i] = lineSortText(int(i), m_sortColumn);
        std::stable_sort(m_order.begin(), m_order.end(), [&](int a, int b) {
            return QString::compare(keys[size_t(a)], keys[size_t(b)], Qt::CaseInsensitive) < 0;
        });
    }
    if (m_sortOrder == Qt::DescendingOrder)
        std::reverse(m_order.begin(), m_order.end());
}

QString IndexFileModel::lineSortText(int line, int column) const {
    return sortText(column, storedField(line, m_columns[size_t(column)].field).trimmed());
}

QString IndexFileModel::sortText(int column, const QString& value) const {
    return displayText(column, value);
}

} // namespace tessaro
