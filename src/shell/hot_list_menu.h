#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <map>
#include <optional>

class QMenu;

namespace tessaro {

class FormsMenuController;
class FormsModule;
class IHotList;
class MessageEditor;

// What a counted entry stands for in the menu: its caption and what choosing it does.
struct HotListTarget {
    QString caption;
    std::function<void()> trigger;
};

// The parent id under which the forms menu counts its entries (the form's file name is the entry id).
inline const QLatin1String kHotListFormsParent("Forms");
// The parent id of the editor's insert menu.
inline const QLatin1String kHotListInsertParent("Insert");

// The hot-list menu: the most used entries first, a submenu to remove one, and one to clear the list.
// Each parent menu that counts entries registers a resolver that turns an entry id back into a caption
// and an action; an entry nobody can resolve (a form since removed) is not shown, but keeps its count.
class HotListMenu final : public QObject {
    Q_OBJECT
public:
    static constexpr int kShown = 10;

    HotListMenu(QMenu& menu, IHotList& list, QObject* parent = nullptr);

    using Resolver = std::function<std::optional<HotListTarget>(const QString& menuId)>;
    void addResolver(const QString& parentMenuId, Resolver resolver);

    // The HotList timer job: rebuilds only when the counts changed since the last build.
    void refresh();
    void rebuild();
    void retranslate();
    QMenu& menu() const { return m_menu; }

private:
    QMenu& m_menu;
    IHotList& m_list;
    std::map<QString, Resolver> m_resolvers;
    std::optional<quint64> m_builtGeneration;
};

// Counts every form opened from the forms menu, and lets the hot-list menu open them again.
void CountFormsInHotList(HotListMenu& menu, FormsMenuController& controller, FormsModule& forms, IHotList& list);
// Counts every use of the editor's insert menu (entry ids "Position", "SpeedAndCourse", ...), and lets the
// hot-list menu run them again while that editor is open. Call it again for each new editor.
void CountInsertionsInHotList(HotListMenu& menu, MessageEditor& editor, IHotList& list);

} // namespace tessaro
