#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;

namespace tessaro {

// The modeless one-line "please wait" window with its cycling progress bar.
class WaitWindow final : public QDialog {
    Q_OBJECT
public:
    explicit WaitWindow(QWidget* parent = nullptr);
    // An empty text hides the window.
    void setText(const QString& text);
    void setStep(int step); // 0..10
    QString text() const;

private:
    QLabel* m_label;
    QProgressBar* m_bar;
};

} // namespace tessaro
