#include "shell/forms_menu_controller.h"

#include "config/text_util.h"
#include "reporting/forms_menu.h"
#include "reporting/forms_module.h"
#include "reporting/forms_service.h"
#include "reporting/hot_list.h"
#include "shell/hot_list_menu.h"
#include "shell/shell_texts.h"

#include <QAction>
#include <QDesktopServices>
#include <QMenu>
#include <QMenuBar>

namespace tessaro {

FormsMenuController::FormsMenuController(QMenuBar& bar, QAction* before, FormsModule& forms, QObject* parent)
    : QObject(parent), m_forms(forms), m_menu(new QMenu(&bar)) {
    bar.insertMenu(before, m_menu);
    m_last = m_menu->addAction(QString());
    m_last->setShortcut(QKeySequence(Qt::Key_F9));
    connect(m_last, &QAction::triggered, this, &FormsMenuController::openLastForm);
    connect(m_menu, &QMenu::aboutToShow, this, &FormsMenuController::rebuild);
    openUrl = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    retranslate();
    rebuild();
}

void FormsMenuController::retranslate() {
    m_menu->setTitle(ShellText(5700, "Fo&rms"));
    m_last->setText(ShellText(5701, "&Forms"));
    m_last->setToolTip(ShellText(5702, "Click to see last shown form"));
}

void FormsMenuController::rebuild() {
    for (QAction* a : m_menu->actions()) {
        if (a == m_last)
            continue;
        m_menu->removeAction(a);
        a->deleteLater();
    }
    m_menu->addSeparator();
    CFormsService* service = m_forms.service();
    if (!service || !service->isListening()) {
        QAction* off = m_menu->addAction(ShellText(5703, "The forms server is not running"));
        off->setEnabled(false);
        m_last->setEnabled(false);
        return;
    }
    m_last->setEnabled(!service->menu().lastForm().isEmpty());
    const QList<FormEntry> entries = service->menu().entries();
    if (entries.isEmpty()) {
        m_menu->addAction(ShellText(5704, "No forms in the forms folder"))->setEnabled(false);
        return;
    }
    for (const FormEntry& e : entries) {
        QAction* a = m_menu->addAction(e.caption);
        a->setToolTip(e.fileName);
        const QString file = e.fileName;
        connect(a, &QAction::triggered, this, [this, file] { chooseForm(file); });
    }
}

void FormsMenuController::openLastForm() {
    CFormsService* service = m_forms.service();
    if (!service || !service->isListening())
        return;
    const QString file = service->menu().lastForm();
    const QString url = service->menu().openLastForm();
    if (m_hotList && !url.isEmpty())
        m_hotList->add(file, kHotListFormsParent);
    open(url);
}

void FormsMenuController::chooseForm(const QString& fileName) {
    CFormsService* service = m_forms.service();
    if (!service || !service->isListening())
        return;
    if (m_hotList)
        m_hotList->add(fileName, kHotListFormsParent);
    open(service->menu().chooseForm(fileName));
}

void FormsMenuController::open(const QString& url) {
    if (url.isEmpty())
        return;
    if (!openUrl(QUrl(url)) && notice)
        notice(FormatText(ShellText(5705, "No web browser could open %0."), {url}));
}

} // namespace tessaro
