#include "shell/egc_view.h"

#include "config/text_util.h"
#include "shell/egc_model.h"
#include "shell/shell_texts.h"

#include <QDir>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>

#include <algorithm>

namespace tessaro {

void EgcDeleteQuestions::start(const QStringList& files, const QString& folder) {
    m_files = files;
    m_folder = folder;
    m_next = 0;
    if (asking())
        Q_EMIT ask(question());
    else
        Q_EMIT finished();
}

QString EgcDeleteQuestions::question() const {
    if (!asking())
        return {};
    const QString path = QDir::toNativeSeparators(QDir(m_folder).filePath(m_files[m_next]));
    return FormatText(ShellText(5745, "Delete %0 ?"), {path});
}

void EgcDeleteQuestions::answer(Answer answer) {
    if (!asking())
        return;
    switch (answer) {
    case Answer::Yes:
        Q_EMIT deleteRequested(m_files[m_next++]);
        if (asking()) {
            Q_EMIT ask(question());
            return;
        }
        break;
    case Answer::YesToAll:
        while (asking())
            Q_EMIT deleteRequested(m_files[m_next++]);
        break;
    case Answer::NoToAll:
        break;
    }
    m_files.clear();
    m_next = 0;
    Q_EMIT finished();
}

EgcView::EgcView(EgcModel& model, CConfiguration& config, QWidget* parent)
    : IndexGridView(
          model, config,
          {QStringLiteral("EGCGRID"), QStringLiteral("Config"), QStringLiteral("EGCGRID"), u':', false, false},
          QAbstractItemView::ExtendedSelection, EgcModel::DateTime, Qt::AscendingOrder, parent),
      m_model(model), m_questions(this) {
    setObjectName(QStringLiteral("EGCMSGrid"));
    connect(&m_questions, &EgcDeleteQuestions::ask, this, &EgcView::showQuestion);
    connect(&m_questions, &EgcDeleteQuestions::deleteRequested, this, &EgcView::deleteRequested);
    connect(&m_questions, &EgcDeleteQuestions::finished, this, [this] { m_box = nullptr; });
}

QStringList EgcView::selectedDiskFiles() const {
    QList<int> rows;
    if (selectionModel())
        for (const QModelIndex& i : selectionModel()->selectedRows())
            rows << i.row();
    if (rows.isEmpty() && currentRow() >= 0)
        rows << currentRow();
    std::sort(rows.begin(), rows.end());
    QStringList names;
    for (int row : rows) {
        const QString name = m_model.diskFileName(row);
        if (!name.isEmpty())
            names << name;
    }
    return names;
}

void EgcView::requestOpen() {
    const int row = currentRow();
    if (row >= 0)
        Q_EMIT openRequested(row);
}

void EgcView::requestDelete() {
    if (m_questions.asking())
        return; // one deletion at a time; its question is on screen
    const QStringList files = selectedDiskFiles();
    if (!files.isEmpty())
        m_questions.start(files, m_folder);
}

void EgcView::requestMarkUnread() {
    for (const QString& name : selectedDiskFiles())
        Q_EMIT markUnreadRequested(name);
}

void EgcView::showQuestion(const QString& text) {
    // One box per question: a box closes itself on any click, after its answer has asked the next one.
    auto* box =
        new QMessageBox(QMessageBox::Question, ShellText(5746, "Delete EGC"), text, QMessageBox::NoButton, this);
    box->setObjectName(QStringLiteral("EgcDeleteQuestion"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::WindowModal);
    auto* yes = box->addButton(ShellText(5010, "&Yes"), QMessageBox::YesRole);
    auto* all = box->addButton(ShellText(5743, "Yes to &all"), QMessageBox::YesRole);
    auto* none = box->addButton(ShellText(5744, "&No to all"), QMessageBox::NoRole);
    box->setDefaultButton(none);
    box->setEscapeButton(none);
    connect(box, &QMessageBox::buttonClicked, this, [this, yes, all](QAbstractButton* button) {
        using A = EgcDeleteQuestions::Answer;
        m_questions.answer(button == yes ? A::Yes : button == all ? A::YesToAll : A::NoToAll);
    });
    // Closed without an answer (the window's close button): keep the rest.
    connect(box, &QDialog::finished, this, [this, box] {
        if (m_box == box && m_questions.asking())
            m_questions.answer(EgcDeleteQuestions::Answer::NoToAll);
    });
    m_box = box;
    box->show();
}

void EgcView::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Delete:
        requestDelete();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        requestOpen();
        return;
    default:
        QTableView::keyPressEvent(event);
    }
}

} // namespace tessaro
