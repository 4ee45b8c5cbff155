#pragma once

#include <QDialog>

class QPlainTextEdit;

namespace tessaro {

// "Link test results": the last results read with "st -m", and the Execute button that starts a test
// (the core asks for confirmation first).
class LinkTestWindow final : public QDialog {
    Q_OBJECT
public:
    explicit LinkTestWindow(QWidget* parent = nullptr);
    void setResults(const QString& text);
    QString results() const;

Q_SIGNALS:
    void executeRequested();
    // "Print": the results shown, for the one print routine.
    void printRequested(const QString& text);

private:
    QPlainTextEdit* m_text;
};

} // namespace tessaro
