#include "reporting/hot_list.h"

#include "config/text_util.h"

#include <QFile>
#include <QSaveFile>
#include <QXmlStreamReader>

#include <algorithm>
#include <limits>

namespace tessaro {

namespace {

constexpr int kHotListVersion = 1;

QByteArray escaped(const QString& text) {
    return text.toHtmlEscaped().toUtf8();
}

// Ids that an XML reader could not read back (control characters) are never stored.
bool storable(const QString& id) {
    if (id.trimmed().isEmpty())
        return false;
    return std::none_of(id.cbegin(), id.cend(), [](QChar c) { return c.unicode() < 0x20; });
}

int addHits(int a, int b) {
    return int(std::min<qint64>(qint64(a) + qint64(b), std::numeric_limits<int>::max()));
}

void merge(QList<HotListItem>& items, HotListItem item) {
    for (HotListItem& existing : items) {
        if (existing.MenuId == item.MenuId && existing.ParentMenuId == item.ParentMenuId) {
            existing.Hits = addHits(existing.Hits, item.Hits);
            return;
        }
    }
    items << std::move(item);
}

} // namespace

QByteArray FormatHotList(const QList<HotListItem>& items) {
    QByteArray out;
    out += "<?xml version='1.0'?>\r\n<HotList>\r\n";
    out += "    <Version>" + QByteArray::number(kHotListVersion) + "</Version>\r\n";
    for (const HotListItem& item : items) {
        out += "    <Item>\r\n";
        out += "        <MenuId>" + escaped(item.MenuId) + "</MenuId>\r\n";
        out += "        <ParentMenuId>" + escaped(item.ParentMenuId) + "</ParentMenuId>\r\n";
        out += "        <Hits>" + QByteArray::number(item.Hits) + "</Hits>\r\n";
        out += "    </Item>\r\n";
    }
    out += "</HotList>\r\n";
    return out;
}

std::optional<QList<HotListItem>> ParseHotList(const QByteArray& bytes, QList<HotListItem>* partial) {
    QList<HotListItem> items;
    QXmlStreamReader xml(bytes);
    bool rootSeen = false;
    std::optional<HotListItem> current;
    QString field;
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            const QStringView name = xml.name();
            if (!rootSeen) {
                if (name != u"HotList")
                    break;
                rootSeen = true;
            } else if (name == u"Item" && !current) {
                current = HotListItem{};
            } else if (current && (name == u"MenuId" || name == u"ParentMenuId" || name == u"Hits")) {
                field = xml.readElementText(QXmlStreamReader::SkipChildElements);
                if (name == u"MenuId")
                    current->MenuId = field.trimmed();
                else if (name == u"ParentMenuId")
                    current->ParentMenuId = field.trimmed();
                else
                    current->Hits = int(std::clamp<qint64>(Val(field.trimmed()), 0, std::numeric_limits<int>::max()));
            } else {
                xml.skipCurrentElement();
            }
        } else if (token == QXmlStreamReader::EndElement && xml.name() == u"Item" && current) {
            if (storable(current->MenuId) && storable(current->ParentMenuId))
                merge(items, *current);
            current.reset();
        }
    }
    if (partial)
        *partial = items;
    if (!rootSeen || xml.hasError())
        return std::nullopt;
    return items;
}

bool cHotList::Load() {
    m_lastError.clear();
    m_items.clear();
    changed();
    QFile file(m_filePath);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly)) {
        m_lastError = file.errorString();
        return false;
    }
    QList<HotListItem> partial;
    const auto items = ParseHotList(file.readAll(), &partial);
    m_items = items ? *items : partial;
    if (!items) {
        m_lastError = QStringLiteral("The hot list in %1 is damaged; %2 entries could be read.")
                          .arg(m_filePath)
                          .arg(partial.size());
        return false;
    }
    return true;
}

void cHotList::add(const QString& menuId, const QString& parentMenuId) {
    if (!m_enabled || !storable(menuId) || !storable(parentMenuId))
        return;
    merge(m_items, HotListItem{menuId.trimmed(), parentMenuId.trimmed(), 1});
    changed();
    save();
}

bool cHotList::Delete(const QString& menuId, const QString& parentMenuId) {
    const auto it = std::find_if(m_items.begin(), m_items.end(), [&](const HotListItem& item) {
        return item.MenuId == menuId.trimmed() && item.ParentMenuId == parentMenuId.trimmed();
    });
    if (it == m_items.end())
        return false;
    m_items.erase(it);
    changed();
    save();
    return true;
}

void cHotList::Reset() {
    m_items.clear();
    changed();
    save();
}

void cHotList::Enable(bool on) {
    if (m_enabled == on)
        return;
    m_enabled = on;
    changed();
}

QList<HotListItem> cHotList::mostUsed(int max) const {
    if (!m_enabled)
        return {};
    QList<HotListItem> sorted = m_items;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const HotListItem& a, const HotListItem& b) { return a.Hits > b.Hits; });
    sorted.removeIf([](const HotListItem& item) { return item.Hits <= 0; });
    if (max >= 0 && sorted.size() > max)
        sorted.resize(max);
    return sorted;
}

bool cHotList::save() {
    if (m_filePath.isEmpty())
        return false;
    QSaveFile file(m_filePath);
    if (!file.open(QIODevice::WriteOnly) || file.write(FormatHotList(m_items)) < 0 || !file.commit()) {
        m_lastError = file.errorString();
        return false;
    }
    return true;
}

void cHotList::changed() {
    ++m_generation;
}

} // namespace tessaro
