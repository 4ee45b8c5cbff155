#pragma once

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

namespace tessaro {

class CConfiguration;

// A modeless window showing a block of transceiver text under a caption: terminal status, GPS status,
// position and system information. The core (or a presenter) supplies text and caption; "Refresh" asks
// the owner to fetch them again. Position and size are kept under the window's own settings section.
class TextWindow final : public QDialog {
    Q_OBJECT
public:
    TextWindow(CConfiguration& config, const QString& settingsSection, QWidget* parent = nullptr);

    void setContent(const QString& text, const QString& caption);
    void setCaption(const QString& caption) { setWindowTitle(caption); }
    QString text() const;
    // Shows the window and brings it to the front.
    void present();

Q_SIGNALS:
    void refreshRequested();
    // "Print": the text shown, for the one print routine.
    void printRequested(const QString& text);

protected:
    void hideEvent(QHideEvent* event) override;

private:
    CConfiguration& m_config;
    QString m_section;
    QPlainTextEdit* m_text;
    QPushButton* m_refresh;
    bool m_restored = false;
};

} // namespace tessaro
