#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace tessaro {

// One counted menu entry: the entry's id (a form's file name, an editor insertion ...), the id of the
// menu it belongs to, and how often it was used.
struct HotListItem {
    QString MenuId;
    QString ParentMenuId;
    int Hits = 0;
    bool operator==(const HotListItem&) const = default;
};

// Hotlist.xml to the byte: declaration, root "HotList" with "Version" and one "Item" per entry, children
// indented by 4 and 8 blanks, CR LF between lines. UTF-8, the XML default: ids may be file names.
QByteArray FormatHotList(const QList<HotListItem>& items);
// Reads what it can: unknown elements are skipped, items without an id dropped, unreadable or negative
// hits read 0, repeated entries merged. nullopt when the text is not a hot list at all or breaks off;
// *partial then holds the items read before the fault.
std::optional<QList<HotListItem>> ParseHotList(const QByteArray& bytes, QList<HotListItem>* partial = nullptr);

// The usage counts behind the hot-list menu.
class IHotList {
public:
    virtual ~IHotList() = default;
    // One more hit for the entry; the list is saved.
    virtual void add(const QString& menuId, const QString& parentMenuId) = 0;
    // Removes the entry; false when there was none.
    virtual bool Delete(const QString& menuId, const QString& parentMenuId) = 0;
    // Clears every count.
    virtual void Reset() = 0;
    // Switched off, uses are not counted and the menu shows nothing.
    virtual void Enable(bool on) = 0;
    virtual bool enabled() const = 0;
    // Most hits first; equal counts in the order they were first used. max < 0: all.
    virtual QList<HotListItem> mostUsed(int max = -1) const = 0;
    // Changes with every change of the list, so a view can tell when to rebuild.
    virtual quint64 generation() const = 0;
};

class cHotList final : public IHotList {
public:
    cHotList() = default;

    void setFilePath(const QString& path) { m_filePath = path; }
    const QString& FilePath() const { return m_filePath; }
    // Reads the file; a missing file is an empty list. False (with lastError) when the file could not be
    // read or was damaged; what could be read is kept and the next save writes it back whole.
    bool Load();
    const QString& lastError() const { return m_lastError; }

    void add(const QString& menuId, const QString& parentMenuId) override;
    bool Delete(const QString& menuId, const QString& parentMenuId) override;
    void Reset() override;
    void Enable(bool on) override;
    bool enabled() const override { return m_enabled; }
    QList<HotListItem> mostUsed(int max = -1) const override;
    quint64 generation() const override { return m_generation; }
    const QList<HotListItem>& items() const { return m_items; }

private:
    bool save();
    void changed();

    QString m_filePath;
    QString m_lastError;
    QList<HotListItem> m_items;
    bool m_enabled = true;
    quint64 m_generation = 0;
};

} // namespace tessaro
