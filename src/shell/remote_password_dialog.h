#pragma once

#include <QDialog>

class QLineEdit;

namespace tessaro {

class CConfiguration;

// "Remote Password": the password that shore packets are signed with. OK stores the new one (scrambled) only
// when the old one is right and the two new ones agree, then tells the outcome; the window closes either way.
class RemotePasswordForm final : public QDialog {
    Q_OBJECT
public:
    explicit RemotePasswordForm(CConfiguration& config, QWidget* parent = nullptr);
    QLineEdit& oldField() { return *m_old; }
    QLineEdit& newField() { return *m_new; }
    QLineEdit& confirmField() { return *m_confirm; }
    // Stores or refuses; returns the outcome text that is shown.
    QString submit();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CConfiguration& m_config;
    QLineEdit* m_old;
    QLineEdit* m_new;
    QLineEdit* m_confirm;
};

} // namespace tessaro
