#pragma once

#include <QDialog>

class QLabel;

namespace tessaro {

class DistressTestService;
struct LatestDistressValues;

// The status of the latest distress alert and of the latest distress test, as the transceiver reported
// them when asked.
class LatestDistressForm final : public QDialog {
    Q_OBJECT
public:
    explicit LatestDistressForm(QWidget* parent = nullptr);

    void showValues(const LatestDistressValues& values);
    QString alertText() const;
    QString testText() const;

private:
    QLabel* m_alert;
    QLabel* m_test;
};

// Opens the latest distress window whenever the service brings values the operator asked for.
void ConnectLatestDistressWindow(DistressTestService& service, QWidget* parent);

} // namespace tessaro
