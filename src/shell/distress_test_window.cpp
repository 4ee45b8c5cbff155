#include "shell/distress_test_window.h"

#include "distress/distress_test_service.h"
#include "shell/screen_saver.h"
#include "shell/shell_texts.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tessaro {

namespace {

QString StateText(int state) {
    switch (state) {
    case 0:
        return ShellText(3037, "Distress buttons test not running");
    case 1:
        return ShellText(3040, "Initiating the Distress buttons test");
    case 2:
        return ShellText(3039, "Distress buttons are under test.") + u'\n' +
               ShellText(3042, "Cancel the test mode if a real Distress Alert needs to be sent.");
    case 3:
        return ShellText(3038, "Cancelling the Distress buttons test");
    default:
        return ShellText(3041, "Unknown state");
    }
}

} // namespace

DistressModeForm::DistressModeForm(DistressTestService& service, QWidget* parent)
    : QDialog(parent), m_service(service) {
    setObjectName(QStringLiteral("DistressModeForm"));
    setWindowTitle(ShellText(2256, "Distress Test Mode"));
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    setWindowFlag(Qt::WindowCloseButtonHint, false);
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("StatusLabel"));
    m_status->setWordWrap(true);
    m_status->setMinimumWidth(360);
    m_cancel = new QPushButton(ShellText(2257, "Cancel distress test mode"), this);
    m_cancel->setObjectName(QStringLiteral("CancelButton"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_status);
    layout->addWidget(m_cancel);
    showState(service.GetState(), service.cancelEnabled());

    connect(m_cancel, &QPushButton::clicked, this, [this] { m_service.CancelTest(); });
    connect(&service, &DistressTestService::stateChanged, this,
            [this](int state, const QString&, bool cancel) { showState(state, cancel); });
    connect(&service, &DistressTestService::showWindowRequested, this, [this] { bringUp(); });
    connect(&service, &DistressTestService::hideWindowRequested, this, &QWidget::hide);
    connect(&service, &DistressTestService::keepWindowInView, this, [this] {
        if (isVisible())
            CloseScreenSaver();
    });
}

QString DistressModeForm::statusText() const {
    return m_status->text();
}

bool DistressModeForm::cancelEnabled() const {
    return m_cancel->isEnabled();
}

void DistressModeForm::showState(int state, bool cancelEnabled) {
    m_status->setText(StateText(state));
    m_cancel->setEnabled(cancelEnabled);
}

void DistressModeForm::bringUp() {
    // While the test runs the distress buttons do not alert: the window must not be missed, but it must not
    // block the main window either, so the operator can still read and send.
    if (!isVisible())
        show();
    raise();
    activateWindow();
}

} // namespace tessaro
