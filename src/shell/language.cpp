#include "shell/language.h"

#include "config/configuration.h"
#include "config/strings.h"
#include "config/text_util.h"

namespace tessaro {

const std::vector<LanguageChoice>& Languages() {
    static const std::vector<LanguageChoice> list = {
        {English, QStringLiteral("English")},
        {French, QStringLiteral("Fran\u00e7ais")},
        {Russian, QStringLiteral("\u0420\u0443\u0441\u0441\u043a\u0438\u0439")},
    };
    return list;
}

int SelectLanguage(CConfiguration& config, int langId) {
    const int inForce = SetLanguage(langId);
    for (const LanguageChoice& l : Languages()) {
        if (l.id == inForce) {
            config.SaveSettingValue(QStringLiteral("MultiLang"), QStringLiteral("LangId"), QString::number(l.id));
            config.SaveSettingValue(QStringLiteral("MultiLang"), QStringLiteral("LangName"), l.name);
        }
    }
    return inForce;
}

} // namespace tessaro
