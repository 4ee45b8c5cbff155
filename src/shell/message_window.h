#pragma once

#include <QDialog>
#include <QFont>

class QFormLayout;
class QLabel;
class QPlainTextEdit;

namespace tessaro {

class CConfiguration;

// Point size of message text in the editor and the message windows: the "MsgFontSize" setting (section
// "Settings", read leniently), or the application font's size while no size from 1 to 400 is stored.
int MessageFontSize(CConfiguration& config);
// The fixed-pitch font of message bodies at that size.
QFont MessageBodyFont(CConfiguration& config);

// One received or sent message: its index values above, the body below, read only.
class MessageWindow final : public QDialog {
    Q_OBJECT
public:
    struct Field {
        QString label;
        QString value;
    };
    MessageWindow(CConfiguration& config, const QString& caption, const QList<Field>& fields, const QString& body,
                  QWidget* parent = nullptr);
    QString body() const;
    // What "Print" prints: the index values, an empty line, then the body.
    QString printText() const;

Q_SIGNALS:
    void printRequested(const QString& text);

private:
    QString m_header;
    QPlainTextEdit* m_body;
};

// A stored body as text (Latin-1 bytes), or the notice that the file is gone.
QString ReadMessageBody(const QString& folder, const QString& fileName);

} // namespace tessaro
