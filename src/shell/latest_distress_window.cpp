#include "shell/latest_distress_window.h"

#include "distress/distress_test_service.h"
#include "shell/shell_texts.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPointer>
#include <QVBoxLayout>

namespace tessaro {

LatestDistressForm::LatestDistressForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("LatestDistressForm"));
    setWindowTitle(ShellText(400, "Latest distress info"));
    auto* intro = new QLabel(
        ShellText(2333, "This window displays information on the latest Distress Alert and latest Distress test."),
        this);
    intro->setWordWrap(true);
    auto* note = new QLabel(
        ShellText(2331, "The status of the latest Distress test is the result of the last Link/PVT test performed."),
        this);
    note->setWordWrap(true);
    m_alert = new QLabel(ShellText(2332, "none"), this);
    m_alert->setObjectName(QStringLiteral("AlertStatus"));
    m_test = new QLabel(ShellText(2332, "none"), this);
    m_test->setObjectName(QStringLiteral("TestStatus"));
    auto* values = new QFormLayout;
    values->addRow(ShellText(403, "Latest Distress Alert:"), m_alert);
    values->addRow(ShellText(2334, "Latest Distress test:"), m_test);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addLayout(values);
    layout->addWidget(note);
    layout->addWidget(buttons);
}

void LatestDistressForm::showValues(const LatestDistressValues& values) {
    m_alert->setText(values.alert);
    m_test->setText(values.test);
}

QString LatestDistressForm::alertText() const {
    return m_alert->text();
}

QString LatestDistressForm::testText() const {
    return m_test->text();
}

void ConnectLatestDistressWindow(DistressTestService& service, QWidget* parent) {
    QObject::connect(&service, &DistressTestService::latestDistressRead, parent,
                     [parent](const LatestDistressValues& values) {
                         auto* form = new LatestDistressForm(parent);
                         form->setAttribute(Qt::WA_DeleteOnClose);
                         form->showValues(values);
                         form->show();
                     });
}

} // namespace tessaro
