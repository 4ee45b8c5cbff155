#pragma once

#include <QDialog>

namespace tessaro {

// The disclaimer shown before the first run; it must be accepted for the program to go on.
class DisclaimerDialog final : public QDialog {
    Q_OBJECT
public:
    explicit DisclaimerDialog(QWidget* parent = nullptr);
    static QString Text();
};

} // namespace tessaro
