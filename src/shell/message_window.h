#pragma once

#include <QDialog>

class QFormLayout;
class QLabel;
class QPlainTextEdit;

namespace tessaro {

// One received or sent message: its index values above, the body below, read only.
class MessageWindow final : public QDialog {
    Q_OBJECT
public:
    struct Field {
        QString label;
        QString value;
    };
    MessageWindow(const QString& caption, const QList<Field>& fields, const QString& body, QWidget* parent = nullptr);
    QString body() const;

private:
    QPlainTextEdit* m_body;
};

// A stored body as text (Latin-1 bytes), or the notice that the file is gone.
QString ReadMessageBody(const QString& folder, const QString& fileName);

} // namespace tessaro
