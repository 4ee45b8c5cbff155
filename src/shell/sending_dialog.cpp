#include "shell/sending_dialog.h"

#include "config/configuration.h"
#include "config/text_util.h"
#include "messaging/distress_message.h"
#include "messaging/les_lists.h"
#include "messaging/provider_list.h"
#include "shell/les_dialogs.h"
#include "shell/shell_texts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTimeEdit>
#include <QVBoxLayout>

namespace tessaro {

namespace {
const char* const kOceanKeys[] = {"[Default LES West]", "[Default LES East]", "[Default LES Pacific]",
                                  "[Default LES Indian]"};
}

SendingDialog::SendingDialog(CConfiguration& config, int ocean, bool needsProvider, QWidget* parent)
    : QDialog(parent), m_config(config), m_ocean(ocean) {
    setWindowTitle(ShellText(5430, "Send message"));
    setModal(false);
    auto* layout = new QVBoxLayout(this);

    auto* options = new QGroupBox(ShellText(5431, "Options"), this);
    auto* form = new QFormLayout(options);
    m_confirmation = new QCheckBox(ShellText(5432, "Confirmation Request"), options);
    m_print = new QCheckBox(ShellText(5433, "Print Message upon sending"), options);
    m_des = new QCheckBox(ShellText(5434, "DES Encrypted"), options);
    const auto on = [&config](const char* section, const char* key) {
        return config.GetSettingValue(QLatin1String(section), QLatin1String(key)).trimmed() == u"1";
    };
    m_confirmation->setChecked(on("Config", "ConfirmationRequest") || on("Settings", "MsgConfirmation"));
    m_print->setChecked(on("Config", "PrintMessage"));
    form->addRow(m_confirmation);
    form->addRow(m_print);
    form->addRow(m_des);

    m_deferred = new QCheckBox(ShellText(5435, "Deferred transmission at (UTC):"), options);
    m_date = new QDateEdit(QDate::currentDate(), options);
    m_date->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    m_time = new QTimeEdit(QTime::currentTime(), options);
    m_time->setDisplayFormat(QStringLiteral("HH:mm"));
    m_date->setEnabled(false);
    m_time->setEnabled(false);
    connect(m_deferred, &QCheckBox::toggled, m_date, &QWidget::setEnabled);
    connect(m_deferred, &QCheckBox::toggled, m_time, &QWidget::setEnabled);
    auto* when = new QHBoxLayout;
    when->addWidget(m_date);
    when->addWidget(m_time);
    form->addRow(m_deferred, when);

    m_presentation = new QComboBox(options);
    m_presentation->addItem(ShellText(5436, "7 bit (IA5)"), 0);
    m_presentation->addItem(ShellText(5437, "5 bit (ITA2)"), 6);
    m_presentation->addItem(ShellText(5438, "8 bit (data)"), 7);
    form->addRow(ShellText(5439, "Presentation:"), m_presentation);
    m_priority = new QComboBox(options);
    m_priority->addItem(GetText(5120, QStringLiteral("Routine")), 0);
    m_priority->addItem(GetText(5121, QStringLiteral("Safety")), 1);
    form->addRow(ShellText(5100, "Priority") + QLatin1Char(':'), m_priority);
    // The code page the body is written in; Latin-1 when no Cyrillic one is chosen.
    m_codePage = new QComboBox(options);
    m_codePage->addItem(ShellText(5445, "Latin-1"), QString());
    m_codePage->addItem(ShellText(5446, "IBM/DOS 866 Cyrillic"), QStringLiteral("866"));
    m_codePage->addItem(ShellText(5447, "Windows 1251 Cyrillic"), QStringLiteral("1251"));
    m_codePage->setCurrentIndex(
        std::max(0, m_codePage->findData(config.GetIni(QStringLiteral("[CodePage]")).trimmed())));
    form->addRow(ShellText(5448, "Code page:"), m_codePage);

    // The LESs the NCS of the current ocean listed, by name; the default LES of the ocean is chosen.
    m_les = new QComboBox(options);
    m_les->setObjectName(QStringLiteral("SendingLes"));
    if (ocean >= 0 && ocean <= 3) {
        const QString current = config.DefaultLes(ocean);
        FillLesBox(m_les, OfferedLes(config.DataPath(), ocean, config.AvailableLESs(ocean)),
                   current == QLatin1String("000") ? QString() : current);
    } else {
        m_les->setEnabled(false);
    }
    form->addRow(ShellText(5441, "Land Earth Station:"), m_les);
    m_provider = new QComboBox(options);
    const QString isp = config.GetIni(QStringLiteral("[Default ISP]")).trimmed();
    for (const ServiceProvider& p : LoadProviders(config.DataPath()))
        m_provider->addItem(p.name());
    const int current = m_provider->findText(isp);
    if (current >= 0)
        m_provider->setCurrentIndex(current);
    m_provider->setEnabled(needsProvider);
    form->addRow(ShellText(5442, "E-mail/SMS provider:"), m_provider);
    layout->addWidget(options);

    m_outcome = new QListWidget(this);
    m_outcome->setMaximumHeight(90);
    m_outcome->hide();
    layout->addWidget(m_outcome);
    m_progress = new QProgressBar(this);
    m_progress->hide();
    layout->addWidget(m_progress);

    auto* buttons = new QDialogButtonBox(this);
    m_ok = buttons->addButton(QDialogButtonBox::Ok);
    m_ok->setText(ShellText(5443, "&Send"));
    m_cancel = buttons->addButton(QDialogButtonBox::Cancel);
    m_cancel->setText(ShellText(5427, "Cancel"));
    connect(m_ok, &QPushButton::clicked, this, &SendingDialog::submitRequested);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

SendingOptions SendingDialog::options() const {
    SendingOptions o;
    o.transmission.requestConfirmation = m_confirmation->isChecked();
    o.transmission.printMessage = m_print->isChecked();
    o.transmission.desEncrypted = m_des->isChecked();
    o.transmission.codePage = m_codePage->currentData().toString();
    if (m_deferred->isChecked()) {
        o.transmission.transmissionDate = m_date->date().toString(QStringLiteral("yy-MM-dd"));
        o.transmission.transmissionTime = m_time->time().toString(QStringLiteral("HH:mm"));
    }
    o.presentation = quint8(m_presentation->currentData().toInt());
    o.priority = quint8(m_priority->currentData().toInt());
    return o;
}

void SendingDialog::setDistressPriority() {
    int at = m_priority->findData(kDistressPriority);
    if (at < 0) {
        m_priority->addItem(GetText(5123, QStringLiteral("Distress")), kDistressPriority);
        at = m_priority->count() - 1;
    }
    m_priority->setCurrentIndex(at);
    m_priority->setEnabled(false);
}

void SendingDialog::storeChoices() {
    const QString les = m_les->currentData().toString();
    if (m_ocean >= 0 && m_ocean <= 3 && !les.isEmpty())
        m_config.SetIni(QLatin1String(kOceanKeys[m_ocean]), les);
    if (m_provider->isEnabled() && !m_provider->currentText().isEmpty())
        m_config.SetIni(QStringLiteral("[Default ISP]"), m_provider->currentText());
    m_config.SetIni(QStringLiteral("[CodePage]"), m_codePage->currentData().toString());
    m_config.SaveIni();
}

void SendingDialog::showOutcome(const QVector<SubmissionStep>& steps) {
    m_outcome->clear();
    m_outcome->show();
    bool failed = false;
    bool submitted = false;
    for (const SubmissionStep& s : steps) {
        const QString type = MessageTypeDisplayName(s.type);
        if (s.failure.isEmpty()) {
            submitted = true;
            m_outcome->addItem(FormatText(ShellText(5444, "%0: submitted as %1"), {type, s.outFileName}));
        } else {
            failed = true;
            auto* item = new QListWidgetItem(type + QStringLiteral(": ") + s.failure, m_outcome);
            item->setForeground(Qt::red);
        }
    }
    // Only a submission that sent nothing may be tried again (say with another LES): a retry after a
    // partly sent message would send its first types twice.
    m_ok->setEnabled(failed && !submitted);
    m_cancel->setText(ShellText(5301, "&Close"));
}

void SendingDialog::uploadStarted(int maximum) {
    m_progress->setRange(0, std::max(1, maximum));
    m_progress->setValue(0);
    m_progress->show();
}

void SendingDialog::uploadProgress(int value) {
    m_progress->setValue(std::min(value, m_progress->maximum()));
}

void SendingDialog::uploadFinished() {
    m_progress->setValue(m_progress->maximum());
}

} // namespace tessaro
