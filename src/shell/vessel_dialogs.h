#pragma once

#include <QDialog>

#include <array>

class QLineEdit;
class QPlainTextEdit;

namespace tessaro {

class CConfiguration;

// "Vessel data": the six values of the vessel description, inserted by the editor and put into distress
// priority messages. OK stores them.
class VesselDataDialog final : public QDialog {
    Q_OBJECT
public:
    explicit VesselDataDialog(CConfiguration& config, QWidget* parent = nullptr);
    QLineEdit& field(int i) { return *m_fields[size_t(i)]; }
    void save();

private:
    CConfiguration& m_config;
    std::array<QLineEdit*, 6> m_fields{};
};

// "Define Signature": the multi-line signature of "[Signature]". OK stores it and saves the configuration.
class SignatureDialog final : public QDialog {
    Q_OBJECT
public:
    explicit SignatureDialog(CConfiguration& config, QWidget* parent = nullptr);
    QPlainTextEdit& text() { return *m_text; }
    void save();

private:
    CConfiguration& m_config;
    QPlainTextEdit* m_text;
};

} // namespace tessaro
