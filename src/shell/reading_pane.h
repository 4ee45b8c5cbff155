#pragma once

#include "shell/message_window.h"

#include <QWidget>

class QLabel;
class QPlainTextEdit;

namespace tessaro {

class CConfiguration;

// The reading pane below a mailbox grid: the selected message's index values above, its body below, read
// only. Showing a message here changes nothing in the store (it is not marked read); opening it does.
class ReadingPane final : public QWidget {
    Q_OBJECT
public:
    explicit ReadingPane(CConfiguration& config, QWidget* parent = nullptr);

    // fields: the values to show, each with its label; empty values are left out.
    void showMessage(const QList<MessageWindow::Field>& fields, const QString& body);
    // Nothing selected.
    void clear();

    // What the pane shows, as text: one "label value" line per field.
    const QString& headerText() const { return m_headerText; }
    QString body() const;

private:
    QLabel* m_header;
    QPlainTextEdit* m_body;
    QString m_headerText;
};

} // namespace tessaro
