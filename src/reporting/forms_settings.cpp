#include "reporting/forms_settings.h"

#include "config/configuration.h"
#include "config/text_util.h"

#include <QDir>

namespace tessaro {

namespace {
const QString kSection = QStringLiteral("ElectronicForms");
} // namespace

QString FormsFolder(CConfiguration& config) {
    QString dir = config.GetSettingValue(kSection, QStringLiteral("Dir"), QStringLiteral("html")).trimmed();
    dir.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (dir.isEmpty())
        dir = QStringLiteral("html");
    // A relative value lives below the data folder; an absolute one is taken as it stands.
    const QString path = QDir::cleanPath(QDir(config.DataPath()).filePath(dir));
    return WithTrailingSeparator(path);
}

FormsSettings ReadFormsSettings(CConfiguration& config) {
    FormsSettings s;
    s.localIp = config.GetSettingValue(kSection, QStringLiteral("LocalIP"), QStringLiteral("127.0.0.1")).trimmed();
    if (s.localIp.isEmpty())
        s.localIp = QStringLiteral("127.0.0.1");
    const QString portText = config.GetSettingValue(kSection, QStringLiteral("LocalPort"), QStringLiteral("80"));
    const qint64 port = Val(portText);
    if (!IsNumeric(portText) || port < 0 || port > 65535) {
        s.localPort = 80;
        config.SaveSettingValue(kSection, QStringLiteral("LocalPort"), QStringLiteral("80"));
    } else {
        s.localPort = int(port);
    }
    s.formsFolder = FormsFolder(config);
    return s;
}

} // namespace tessaro
