#include "shell/vessel_dialogs.h"

#include "config/configuration.h"
#include "messaging/editor_insertions.h"
#include "shell/shell_texts.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include <functional>

namespace tessaro {

namespace {
const QString kSection = QStringLiteral("Settings");

// OK stores, then closes; Cancel closes.
void addOkCancel(QDialog& dialog, QVBoxLayout& layout, std::function<void()> save) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    layout.addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, [&dialog, save = std::move(save)] {
        save();
        dialog.accept();
    });
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
}
} // namespace

VesselDataDialog::VesselDataDialog(CConfiguration& config, QWidget* parent) : QDialog(parent), m_config(config) {
    setWindowTitle(ShellText(5959, "Vessel data"));
    auto* layout = new QVBoxLayout(this);
    auto* explanation = new QLabel(ShellText(5960, "Here you can enter a description of the vessel. The vessel name "
                                                   "can be easily inserted in messages and the description will "
                                                   "also be automatically inserted in distress priority messages."),
                                   this);
    explanation->setWordWrap(true);
    layout->addWidget(explanation);
    auto* form = new QFormLayout;
    int i = 0;
    for (const EditorInsert::VesselField& f : EditorInsert::kVesselFields) {
        auto* edit = new QLineEdit(config.GetSettingValue(kSection, QLatin1String(f.key)), this);
        edit->setObjectName(QLatin1String(f.key));
        form->addRow(QLatin1String(f.label).trimmed(), edit);
        m_fields[size_t(i++)] = edit;
    }
    layout->addLayout(form);
    addOkCancel(*this, *layout, [this] { save(); });
}

void VesselDataDialog::save() {
    int i = 0;
    for (const EditorInsert::VesselField& f : EditorInsert::kVesselFields)
        m_config.SaveSettingValue(kSection, QLatin1String(f.key), m_fields[size_t(i++)]->text());
}

SignatureDialog::SignatureDialog(CConfiguration& config, QWidget* parent)
    : QDialog(parent), m_config(config), m_text(new QPlainTextEdit(this)) {
    setWindowTitle(ShellText(5961, "Define Signature"));
    auto* layout = new QVBoxLayout(this);
    QString stored = config.GetIni(QStringLiteral("[Signature]"));
    m_text->setPlainText(stored.replace(QLatin1String("\r\n"), QLatin1String("\n")));
    layout->addWidget(m_text);
    addOkCancel(*this, *layout, [this] { save(); });
}

void SignatureDialog::save() {
    QString text = m_text->toPlainText();
    text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    m_config.SetIni(QStringLiteral("[Signature]"), text);
    m_config.SaveIni();
}

} // namespace tessaro
