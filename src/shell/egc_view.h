#pragma once

#include "shell/index_grid_view.h"

#include <QPointer>
#include <QStringList>

class QMessageBox;

namespace tessaro {

class CConfiguration;
class EgcModel;

// The questions of a user deletion, one file at a time and without a nested event loop: "Yes" deletes
// this file and asks for the next, "Yes to all" deletes this one and the rest, "No to all" (or closing
// the question) keeps this one and the rest.
class EgcDeleteQuestions final : public QObject {
    Q_OBJECT
public:
    enum class Answer { Yes, YesToAll, NoToAll };
    using QObject::QObject;

    // files: disk file names in the order to ask; folder: where they are stored, named in the question.
    void start(const QStringList& files, const QString& folder);
    void answer(Answer answer);
    bool asking() const { return m_next < m_files.size(); }
    // "Delete " + path + " ?" for the file asked about now.
    QString question() const;

Q_SIGNALS:
    void ask(const QString& question);
    void deleteRequested(const QString& diskFileName);
    void finished();

private:
    QStringList m_files;
    QString m_folder;
    qsizetype m_next = 0;
};

// The EGC grid: whole rows, several may be selected; Enter or a double click opens the current row,
// Delete asks before each selected file. Column widths live in section "Config", key "EGCGRID", joined
// by ":"; the column choice and the reading pane's sizes in section "EGCGRID".
class EgcView final : public IndexGridView {
    Q_OBJECT
public:
    EgcView(EgcModel& model, CConfiguration& config, QWidget* parent = nullptr);

    void setEgcFolder(const QString& folder) {
        m_folder = folder;
        setBodyFolder(folder);
    }
    const QString& egcFolder() const { return m_folder; }
    // Disk file names of the selected rows, top to bottom (the current row when nothing is selected).
    QStringList selectedDiskFiles() const;

    // Operator commands (keys, menus, tests).
    void requestOpen();
    void requestDelete();
    void requestMarkUnread();
    EgcDeleteQuestions& deleteQuestions() { return m_questions; }
    // The question on screen during a deletion, else null.
    QMessageBox* deleteQuestionBox() const { return m_box; }

Q_SIGNALS:
    void deleteRequested(const QString& diskFileName);
    void markUnreadRequested(const QString& diskFileName);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void showQuestion(const QString& text);

    EgcModel& m_model;
    QString m_folder;
    EgcDeleteQuestions m_questions;
    QPointer<QMessageBox> m_box;
};

} // namespace tessaro
