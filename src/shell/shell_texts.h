#pragma once

#include "config/strings.h"

#include <QString>

namespace tessaro {

// A text of the windows in the current language; the English text is the default. The ids of the
// windows' own texts are 5000 and above (the core uses lower ids).
inline QString ShellText(int id, const char* english) {
    return GetText(id, QString::fromUtf8(english));
}

} // namespace tessaro
