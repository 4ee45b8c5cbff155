#pragma once

#include <QString>

namespace tessaro {

class CConfiguration;

// The "ElectronicForms" settings as the server and the Forms menu use them.
struct FormsSettings {
    QString localIp;     // address to bind to and to put into form URLs
    int localPort = 80;  // 0..65535; 0 lets the system choose
    QString formsFolder; // absolute, ends with "/"
};

// Reads the settings with their defaults. A LocalPort that is not a number from 0 to 65535 is replaced by
// 80 and written back, so the operator sees the value in force.
FormsSettings ReadFormsSettings(CConfiguration& config);

// The forms folder below the data folder ("html" unless configured), ending with "/".
QString FormsFolder(CConfiguration& config);

} // namespace tessaro
