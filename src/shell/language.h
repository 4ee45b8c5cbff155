#pragma once

#include "config/strings.h"

#include <QString>

#include <vector>

namespace tessaro {

class CConfiguration;

struct LanguageChoice {
    int id;       // 1033, 1036, 1049
    QString name; // in its own language, as the menu shows it
};
const std::vector<LanguageChoice>& Languages();

// LoadLanguage (config/strings.h) reads the stored choice at start-up.
// Selects a language now and stores it under "MultiLang" ("LangId", "LangName").
int SelectLanguage(CConfiguration& config, int langId);

} // namespace tessaro
