#include "shell/hot_list_menu.h"

#include "config/text_util.h"
#include "reporting/forms_menu.h"
#include "reporting/forms_module.h"
#include "reporting/forms_service.h"
#include "reporting/hot_list.h"
#include "shell/forms_menu_controller.h"
#include "shell/message_editor.h"
#include "shell/shell_texts.h"

#include <QAction>
#include <QMenu>
#include <QPointer>

namespace tessaro {

HotListMenu::HotListMenu(QMenu& menu, IHotList& list, QObject* parent) : QObject(parent), m_menu(menu), m_list(list) {
    retranslate();
    rebuild();
}

void HotListMenu::addResolver(const QString& parentMenuId, Resolver resolver) {
    m_resolvers[parentMenuId] = std::move(resolver);
    m_builtGeneration.reset();
}

void HotListMenu::retranslate() {
    m_menu.setTitle(ShellText(6640, "Hot &list"));
    m_builtGeneration.reset();
}

void HotListMenu::refresh() {
    if (m_builtGeneration != m_list.generation())
        rebuild();
}

void HotListMenu::rebuild() {
    m_builtGeneration = m_list.generation();
    m_menu.clear();
    QMenu* remove = nullptr;
    int shown = 0;
    for (const HotListItem& item : m_list.mostUsed()) {
        if (shown >= kShown)
            break;
        const auto resolver = m_resolvers.find(item.ParentMenuId);
        const std::optional<HotListTarget> target =
            resolver == m_resolvers.end() ? std::nullopt : resolver->second(item.MenuId);
        if (!target)
            continue;
        ++shown;
        QAction* a = m_menu.addAction(target->caption);
        a->setToolTip(FormatText(ShellText(6641, "Used %0 times"), {QString::number(item.Hits)}));
        connect(a, &QAction::triggered, this, [trigger = target->trigger] { trigger(); });
        if (!remove)
            remove = new QMenu(ShellText(6642, "&Remove entry"), &m_menu);
        const QString id = item.MenuId;
        const QString parent = item.ParentMenuId;
        connect(remove->addAction(target->caption), &QAction::triggered, this,
                [this, id, parent] { m_list.Delete(id, parent); });
    }
    if (shown == 0) {
        m_menu.addAction(ShellText(6643, "No entries yet"))->setEnabled(false);
        return;
    }
    m_menu.addSeparator();
    m_menu.addMenu(remove);
    connect(m_menu.addAction(ShellText(6644, "&Clear hot list")), &QAction::triggered, this,
            [this] { m_list.Reset(); });
}

void CountFormsInHotList(HotListMenu& menu, FormsMenuController& controller, FormsModule& forms, IHotList& list) {
    controller.setHotList(&list);
    menu.addResolver(
        kHotListFormsParent, [&forms, &controller](const QString& fileName) -> std::optional<HotListTarget> {
            CFormsService* service = forms.service();
            if (!service)
                return std::nullopt;
            for (const FormEntry& e : service->menu().entries())
                if (e.fileName == fileName)
                    return HotListTarget{e.caption, [&controller, fileName] { controller.chooseForm(fileName); }};
            return std::nullopt;
        });
}

namespace {

using Insertion = MessageEditor::Insertion;
const std::pair<Insertion, QLatin1String> kInsertionIds[] = {
    {Insertion::Position, QLatin1String("Position")},
    {Insertion::SpeedAndCourse, QLatin1String("SpeedAndCourse")},
    {Insertion::UtcTime, QLatin1String("UtcTime")},
    {Insertion::LocalTime, QLatin1String("LocalTime")},
    {Insertion::MobileNumber, QLatin1String("MobileNumber")},
    {Insertion::Signature, QLatin1String("Signature")},
    {Insertion::VesselName, QLatin1String("VesselName")},
    {Insertion::VesselData, QLatin1String("VesselData")}};

} // namespace

void CountInsertionsInHotList(HotListMenu& menu, MessageEditor& editor, IHotList& list) {
    for (const auto& [which, id] : kInsertionIds) {
        if (QAction* action = editor.insertAction(which))
            QObject::connect(action, &QAction::triggered, &menu,
                             [&list, id = QString(id)] { list.add(id, kHotListInsertParent); });
    }
    // The editor is closed and made anew; registering the new one replaces this resolver.
    menu.addResolver(
        kHotListInsertParent,
        [editor = QPointer<MessageEditor>(&editor)](const QString& menuId) -> std::optional<HotListTarget> {
            for (const auto& [which, id] : kInsertionIds) {
                QAction* action = editor ? editor->insertAction(which) : nullptr;
                if (id == menuId && action)
                    return HotListTarget{action->text().remove(QLatin1Char('&')), [action] { action->trigger(); }};
            }
            return std::nullopt;
        });
}

} // namespace tessaro
