#include "shell/report_program_windows.h"

#include "reporting/reporting_module.h"
#include "shell/shell_texts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <memory>

namespace tessaro {

namespace {

QString oceanLabel(int ocean) {
    switch (ocean) {
    case 0:
        return ShellText(2970, "West:");
    case 1:
        return ShellText(2971, "East:");
    case 2:
        return ShellText(2972, "Pacific:");
    default:
        return ShellText(2973, "Indian:");
    }
}

QString chooseText() {
    return ShellText(2979, "Choose DNID from list");
}

QString noDnidText() {
    return ShellText(2980, "No DNID for this ocean");
}

} // namespace

PUReportingForm::PUReportingForm(ReportingModule* module, QWidget* parent) : QDialog(parent), m_module(module) {
    setWindowTitle(ShellText(2965, "PU Reporting Setup"));
    auto* layout = new QGridLayout(this);
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    for (int slot = 0; slot < kProgramSlots; ++slot) {
        SlotWidgets& w = m_slots[size_t(slot)];
        auto* box =
            new QGroupBox(ShellText(2976, "Program %0").replace(QLatin1String("%0"), QString::number(slot + 1)), this);
        box->setObjectName(QStringLiteral("Program%1").arg(slot));
        auto* v = new QVBoxLayout(box);
        w.type = new QLabel(box);
        w.status = new QLabel(box);
        w.type->setTextFormat(Qt::PlainText);
        w.status->setTextFormat(Qt::PlainText);
        v->addWidget(w.type);
        v->addWidget(w.status);
        auto* heading = new QLabel(ShellText(2977, "Ocean     LES    DNID    Mem.No."), box);
        heading->setFont(fixed);
        v->addWidget(heading);
        for (int ocean = 0; ocean < kOceans; ++ocean) {
            auto* row = new QLabel(box);
            row->setFont(fixed);
            row->setTextFormat(Qt::PlainText);
            row->setObjectName(QStringLiteral("Dnid%1").arg(ocean));
            w.dnids[size_t(ocean)] = row;
            v->addWidget(row);
        }
        auto* buttons = new QHBoxLayout;
        w.newButton = new QPushButton(ShellText(2985, "New"), box);
        w.start = new QPushButton(ShellText(2986, "Start"), box);
        w.stop = new QPushButton(ShellText(2987, "Stop"), box);
        w.remove = new QPushButton(ShellText(2988, "Delete"), box);
        w.statusButton = new QPushButton(ShellText(2989, "Status"), box);
        for (QPushButton* b : {w.newButton, w.start, w.stop, w.remove, w.statusButton}) {
            b->setAutoDefault(false);
            buttons->addWidget(b);
        }
        v->addLayout(buttons);
        layout->addWidget(box, slot / 2, slot % 2);
        if (m_module) {
            connect(w.newButton, &QPushButton::clicked, this, [this] { m_module->NewProgram(); });
            connect(w.start, &QPushButton::clicked, this, [this, slot] { m_module->StartProgram(slot); });
            connect(w.stop, &QPushButton::clicked, this, [this, slot] { m_module->StopProgram(slot); });
            connect(w.remove, &QPushButton::clicked, this, [this, slot] { m_module->DeleteProgram(slot); });
            connect(w.statusButton, &QPushButton::clicked, this, [this, slot] { m_module->ProgramStatus(slot); });
        }
    }
    auto* close = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(close, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(close, 2, 0, 1, 2);
    setListing(ProgramListing{}, false);
}

void PUReportingForm::setListing(const ProgramListing& listing, bool connected) {
    for (int slot = 0; slot < kProgramSlots; ++slot) {
        const ProgramSlot& s = listing.slots[size_t(slot)];
        SlotWidgets& w = m_slots[size_t(slot)];
        w.type->setText(ShellText(2974, "Type: ") + s.kind + ProgramTypeWord(s.PrgType));
        w.status->setText(ShellText(2975, "Status: ") + ProgramStatusWord(s.PrgStatus));
        for (int ocean = 0; ocean < kOceans; ++ocean) {
            const auto& c = s.connections[size_t(ocean)];
            QString text = oceanLabel(ocean).leftJustified(10, u' ');
            if (c)
                text += c->les.leftJustified(7, u' ') + c->dnid.leftJustified(8, u' ') + c->member;
            w.dnids[size_t(ocean)]->setText(text);
        }
        const SlotButtons b = connected ? s.buttons : SlotButtons{};
        w.newButton->setEnabled(b.newProgram);
        w.start->setEnabled(b.start);
        w.stop->setEnabled(b.stop);
        w.remove->setEnabled(b.remove);
        w.statusButton->setEnabled(connected);
    }
}

DNIDPUProgramForm::DNIDPUProgramForm(int slot, const std::array<QStringList, kOceans>& choices, ReportingModule* module,
                                     QWidget* parent)
    : QDialog(parent), m_slot(slot), m_module(module) {
    static const int titleIds[] = {2969, 2968, 2967, 2966};
    setWindowTitle(ShellText(titleIds[std::clamp(slot, 0, 3)], "PU Program %0")
                       .replace(QLatin1String("%0"), QString::number(slot + 1)));
    auto* layout = new QGridLayout(this);
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    for (int ocean = 0; ocean < kOceans; ++ocean) {
        auto* combo = new QComboBox(this);
        combo->setObjectName(QStringLiteral("Ocean%1").arg(ocean));
        combo->setFont(fixed);
        const QStringList& list = choices[size_t(ocean)];
        combo->addItem(list.isEmpty() ? noDnidText() : chooseText());
        combo->addItems(list);
        m_oceans[size_t(ocean)] = combo;
        layout->addWidget(new QLabel(oceanLabel(ocean), this), ocean, 0);
        layout->addWidget(combo, ocean, 1, 1, 4);
    }
    auto timeField = [this](const QString& name, int max) {
        auto* f = new QLineEdit(QStringLiteral("00"), this);
        f->setObjectName(name);
        f->setMaxLength(2);
        f->setValidator(new QIntValidator(0, max, f));
        return f;
    };
    m_startHour = timeField(QStringLiteral("StartHour"), 23);
    m_startMinute = timeField(QStringLiteral("StartMinute"), 59);
    m_intervalHour = timeField(QStringLiteral("IntervalHour"), 23);
    m_intervalMinute = timeField(QStringLiteral("IntervalMinute"), 59);
    m_immediately = new QCheckBox(ShellText(2981, "Immediately"), this);
    layout->addWidget(new QLabel(ShellText(2982, "Start time (UTC):"), this), 4, 0);
    layout->addWidget(m_startHour, 4, 1);
    layout->addWidget(m_startMinute, 4, 2);
    layout->addWidget(m_immediately, 4, 3);
    layout->addWidget(new QLabel(ShellText(2983, "Interval (hh mm):"), this), 5, 0);
    layout->addWidget(m_intervalHour, 5, 1);
    layout->addWidget(m_intervalMinute, 5, 2);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(ShellText(5427, "Cancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &DNIDPUProgramForm::submit);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons, 6, 0, 1, 5);
}

ProgramDefinition DNIDPUProgramForm::definition() const {
    ProgramDefinition d;
    for (int ocean = 0; ocean < kOceans; ++ocean) {
        const QComboBox* c = m_oceans[size_t(ocean)];
        // The first item is the placeholder.
        d.choices[size_t(ocean)] = c->currentIndex() > 0 ? c->currentText() : QString();
    }
    d.startHour = m_startHour->text();
    d.startMinute = m_startMinute->text();
    d.intervalHour = m_intervalHour->text();
    d.intervalMinute = m_intervalMinute->text();
    d.immediately = m_immediately->isChecked();
    return d;
}

void DNIDPUProgramForm::submit() {
    ProgramDefinition checked = definition();
    bool sent = true;
    if (m_module)
        sent = m_module->SaveProgram(m_slot, checked, &checked);
    else
        checked = BuildProgramCommands(m_slot, checked).checked;
    // The fields show what was sent: a value out of range reads "00".
    m_startHour->setText(checked.startHour);
    m_startMinute->setText(checked.startMinute);
    m_intervalHour->setText(checked.intervalHour);
    m_intervalMinute->setText(checked.intervalMinute);
    if (!sent)
        return;
    Q_EMIT applied(checked);
    accept();
}

ProgramStatusForm::ProgramStatusForm(int slot, const QString& text, QWidget* parent) : QDialog(parent) {
    setWindowTitle(ShellText(2990, "Program %0 Status").replace(QLatin1String("%0"), QString::number(slot + 1)));
    auto* layout = new QVBoxLayout(this);
    m_text = new QPlainTextEdit(this);
    m_text->setReadOnly(true);
    m_text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.remove(u'\r');
    m_text->setPlainText(shown);
    layout->addWidget(m_text);
    auto* close = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(close, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(close);
    resize(480, 300);
}

QString ProgramStatusForm::text() const {
    return m_text->toPlainText();
}

void ShowProgramWindowsWhenReady(ReportingModule& module, QWidget* parent) {
    auto window = std::make_shared<QPointer<PUReportingForm>>();
    QObject::connect(&module, &ReportingModule::programsReady, parent,
                     [&module, parent, window](const ProgramListing& listing, bool connected) {
                         if (!*window) {
                             *window = new PUReportingForm(&module, parent);
                             (*window)->setAttribute(Qt::WA_DeleteOnClose);
                         }
                         (*window)->setListing(listing, connected);
                         (*window)->show();
                         (*window)->raise();
                     });
    QObject::connect(&module, &ReportingModule::dnidChoicesReady, parent,
                     [&module, parent](int slot, const std::array<QStringList, kOceans>& choices) {
                         auto* form = new DNIDPUProgramForm(slot, choices, &module, parent);
                         form->setAttribute(Qt::WA_DeleteOnClose);
                         form->show();
                     });
    QObject::connect(&module, &ReportingModule::programStatusReady, parent, [parent](int slot, const QString& text) {
        auto* form = new ProgramStatusForm(slot, text, parent);
        form->setAttribute(Qt::WA_DeleteOnClose);
        form->show();
    });
}

} // namespace tessaro
