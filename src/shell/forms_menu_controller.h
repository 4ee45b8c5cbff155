#pragma once

#include <QObject>
#include <QUrl>

#include <functional>

class QAction;
class QMenu;
class QMenuBar;

namespace tessaro {

class FormsModule;
class IHotList;

// The Forms menu of the main window: the "Forms" entry opens the last shown form, the entries below it
// list the forms folder (rebuilt each time the menu opens). The URLs come from the core's forms menu;
// the system's web browser shows them.
class FormsMenuController final : public QObject {
    Q_OBJECT
public:
    FormsMenuController(QMenuBar& bar, QAction* before, FormsModule& forms, QObject* parent = nullptr);

    void retranslate();
    // Rebuilds the entries; called when the menu is about to show.
    void rebuild();
    // The "Forms" button: the form stored as "[LastForm]", exactly as if chosen from the menu.
    void openLastForm();
    void chooseForm(const QString& fileName);

    QMenu* menu() const { return m_menu; }
    // Every form opened through the menu or the "Forms" entry counts one hit there.
    void setHotList(IHotList* list) { m_hotList = list; }
    // Opens a URL; the system browser unless a test replaces it.
    std::function<bool(const QUrl&)> openUrl;
    // Tells the operator why nothing opened.
    std::function<void(const QString&)> notice;

private:
    void open(const QString& url);

    FormsModule& m_forms;
    QMenu* m_menu;
    QAction* m_last;
    IHotList* m_hotList = nullptr;
};

} // namespace tessaro
