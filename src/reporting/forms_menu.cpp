#include "reporting/forms_menu.h"

#include "config/configuration.h"
#include "reporting/forms_settings.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>

namespace tessaro {

namespace {
const QString kLastForm = QStringLiteral("[LastForm]");
constexpr qint64 kTitleScanBytes = 64 * 1024; // titles live in the head of a page
} // namespace

QString FormTitle(const QByteArray& content) {
    const QString text = QString::fromLatin1(content);
    const qsizetype open = text.indexOf(QLatin1String("<title>"), 0, Qt::CaseInsensitive);
    if (open < 0)
        return {};
    const qsizetype close = text.indexOf(QLatin1String("</title>"), open + 7, Qt::CaseInsensitive);
    if (close < 0)
        return {};
    return text.sliced(open + 7, close - open - 7).simplified();
}

QList<FormEntry> ListForms(const QString& formsFolder) {
    QList<FormEntry> forms;
    const QDir dir(formsFolder);
    const QStringList names = dir.entryList(QDir::Files | QDir::Readable, QDir::Name | QDir::IgnoreCase);
    for (const QString& name : names) {
        if (!name.endsWith(QLatin1String(".htm"), Qt::CaseInsensitive))
            continue;
        QFile f(dir.filePath(name));
        QString caption;
        if (f.open(QIODevice::ReadOnly))
            caption = FormTitle(f.read(kTitleScanBytes));
        forms.append({name, caption.isEmpty() ? name : caption});
    }
    return forms;
}

QString FormUrl(const QString& host, int port, const QString& fileName) {
    QString url = QStringLiteral("http://") + host;
    if (port != 80)
        url += QLatin1Char(':') + QString::number(port);
    // The server decodes the path byte by byte as Latin-1, so encode the same way; "/" keeps sub-folders.
    return url + QLatin1Char('/') + QString::fromLatin1(fileName.toLatin1().toPercentEncoding("/"));
}

int InstallExampleForms(const QString& formsFolder) {
    QDir dir(formsFolder);
    if (!dir.exists() && !QDir().mkpath(formsFolder))
        return 0;
    if (!dir.entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty())
        return 0;
    int written = 0;
    QDirIterator it(QStringLiteral(":/forms"), QDir::Files);
    while (it.hasNext()) {
        it.next();
        const QString target = dir.filePath(it.fileName());
        if (QFile::copy(it.filePath(), target)) {
            // Resource copies are read-only; the operator edits these files.
            QFile::setPermissions(target, QFile::permissions(target) | QFileDevice::WriteOwner);
            ++written;
        }
    }
    return written;
}

QList<FormEntry> cFormsMenu::entries() const {
    return ListForms(FormsFolder(m_config));
}

QString cFormsMenu::chooseForm(const QString& fileName) {
    m_config.SetIni(kLastForm, fileName, true);
    return FormUrl(m_host, m_port, fileName);
}

QString cFormsMenu::lastForm() const {
    return m_config.GetIni(kLastForm).trimmed();
}

QString cFormsMenu::openLastForm() {
    const QString last = lastForm();
    return last.isEmpty() ? QString() : chooseForm(last);
}

} // namespace tessaro
