#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace tessaro {

class DistressTestService;

// The distress buttons test window: a view of the test-mode machine that stays on top while the test
// runs. It comes up when the service asks for it and goes away when the test has ended.
class DistressModeForm final : public QDialog {
    Q_OBJECT
public:
    DistressModeForm(DistressTestService& service, QWidget* parent = nullptr);

    QString statusText() const;
    bool cancelEnabled() const;

private:
    void showState(int state, bool cancelEnabled);
    void bringUp();

    DistressTestService& m_service;
    QLabel* m_status;
    QPushButton* m_cancel;
};

} // namespace tessaro
