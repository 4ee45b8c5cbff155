#include "reporting/remote_config_process.h"

#include "config/configuration.h"
#include "config/logs.h"
#include "config/strings.h"
#include "config/text_util.h"
#include "messaging/address_book.h"
#include "messaging/index_file.h"

#include <QDir>
#include <QFileInfo>

namespace tessaro {

namespace {
struct CommandShape {
    const char* name;
    int params;
};
const CommandShape kCommands[] = {{"SAVEHTML", 1},  {"SAVEISP", 0},     {"SAVECONTACT", 5},  {"SETDEFLES", 4},
                                  {"SETDEFISP", 1}, {"GETDEBUGLOG", 2}, {"GETREMCONFLOG", 2}};

const CommandShape* findCommand(const QString& name) {
    for (const CommandShape& c : kCommands)
        if (name == QLatin1String(c.name))
            return &c;
    return nullptr;
}

const char* const kDefaultLesKeys[] = {"[Default LES West]", "[Default LES East]", "[Default LES Pacific]",
                                       "[Default LES Indian]"};
const QLatin1String kAllowedExtensions(".bmp.css.gif.htm.html.jpeg.jpg.js.xml.");
constexpr int kMaxLogLength = 10000;

bool hasIllegalCharacter(const QString& text) {
    static const QString illegal = QStringLiteral("/:*?\"<>|");
    return std::any_of(text.begin(), text.end(), [](QChar c) { return illegal.contains(c); });
}

// The folder (or the file) lies inside the root once links are followed.
bool insideRoot(const QString& path, const QString& canonicalRoot) {
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return !canonical.isEmpty() && (canonical == canonicalRoot || canonical.startsWith(canonicalRoot + u'/'));
}
} // namespace

cRemoteConfigProcess::cRemoteConfigProcess(CConfiguration& config, IAddressBook* addressBook, IRemoteLogMailer* mailer)
    : m_config(config), m_addressBook(addressBook), m_mailer(mailer) {}

void cRemoteConfigProcess::log(const QString& text) {
    if (m_log)
        m_log->Log(text);
}

int cRemoteConfigProcess::NetworkTypeCode(const QString& word) {
    static const char* const words[] = {"email", "telex", "fax", "mobile", "modem", "sac", "dnid", "x25"};
    for (int i = 0; i < int(std::size(words)); ++i)
        if (word.compare(QLatin1String(words[i]), Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

bool cRemoteConfigProcess::ProcessConfig(const RemoteConfigPacket& packet) {
    if (!packet.PasswordOk)
        return false;
    bool all = true;
    for (const RemoteConfigCommand& command : packet.Commands) {
        m_trailer = packet.Trailer;
        const CommandShape* known = findCommand(command.Name);
        if (!known || !command.Valid) {
            log(QStringLiteral("Error processing command '") + command.Name + QStringLiteral("': Command not valid"));
            all = false;
            continue;
        }
        if (command.ParamCount != known->params) {
            log(QStringLiteral("Error in command '") + command.Name + QStringLiteral("': Wrong number of parameters"));
            all = false;
            continue;
        }
        log(QStringLiteral("Processing command ") + command.Name + QStringLiteral("..."));
        const bool ok = runCommand(command);
        log(QStringLiteral("Command ") + command.Name +
            (ok ? QStringLiteral(" completed sucessfully") : QStringLiteral(" failed")));
        all = all && ok;
    }
    return all;
}

bool cRemoteConfigProcess::runCommand(const RemoteConfigCommand& c) {
    if (c.Name == u"SAVEHTML")
        return ProcessSAVEHTML(c.Params[0]);
    if (c.Name == u"SAVEISP")
        return ProcessSAVEISP();
    if (c.Name == u"SAVECONTACT")
        return ProcessSAVECONTACT(c);
    if (c.Name == u"SETDEFLES")
        return ProcessSETDEFLES(c);
    if (c.Name == u"SETDEFISP")
        return ProcessSETDEFISP(c.Params[0]);
    if (c.Name == u"GETDEBUGLOG" || c.Name == u"GETREMCONFLOG")
        return ProcessGETLOG(c.Name, c.Params[0], c.Params[1]);
    log(QStringLiteral("Error: Unknown command '") + c.Name + QStringLiteral("'"));
    return false;
}

bool cRemoteConfigProcess::ProcessSAVEHTML(const QString& parameter) {
    const QString cmd = QStringLiteral("SAVEHTML");
    if (parameter.isNull()) {
        logFor(cmd, QStringLiteral(":Error: filename is Null"));
        return false;
    }
    const qsizetype slash = parameter.lastIndexOf(u'\\');
    QString path = slash < 0 ? QString() : parameter.left(slash);
    QString name = slash < 0 ? parameter : parameter.mid(slash + 1);
    path.replace(QLatin1String("\\\\"), QLatin1String("\\"));
    if (path.startsWith(u'\\'))
        path.remove(0, 1);
    if (name.isEmpty()) {
        logFor(cmd, QStringLiteral(":Error: filename is empty."));
        return false;
    }
    if (hasIllegalCharacter(name)) {
        logFor(cmd, QStringLiteral(":Error: illegal character(s) in filename (") + name + u')');
        return false;
    }
    if (hasIllegalCharacter(path)) {
        logFor(cmd, QStringLiteral(":Error: illegal character(s) in file path (") + path + u')');
        return false;
    }
    // "." and ".." would climb out of the html folder: a packet may only write below it.
    QStringList pieces = path.split(u'\\', Qt::SkipEmptyParts);
    for (const QString& piece : std::as_const(pieces)) {
        if (piece == u"." || piece == u"..") {
            logFor(cmd, QStringLiteral(":Error: file path leads outside the html folder (") + path + u')');
            return false;
        }
    }
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot < 0) {
        name += QStringLiteral(".htm");
        logFor(cmd, QStringLiteral(":Filename has no extension. Default extension ") + QStringLiteral(".htm") +
                        QStringLiteral(" added"));
    }
    const QString extension = name.mid(name.lastIndexOf(u'.'));
    if (!QString(kAllowedExtensions).contains(extension + u'.')) {
        logFor(cmd, QStringLiteral(":Error: file extension (") + extension + QStringLiteral(") not allowed"));
        return false;
    }

    const QString root = m_config.DataPath() + QStringLiteral("html");
    if (!QDir().mkpath(root)) {
        logFor(cmd, QStringLiteral(":Error: folder could not be created (html)"));
        return false;
    }
    const QString canonicalRoot = QFileInfo(root).canonicalFilePath();
    QString folder = root;
    for (const QString& piece : std::as_const(pieces)) {
        folder += u'/' + piece;
        if (!QFileInfo(folder).exists() && !QDir().mkdir(folder)) {
            logFor(cmd, QStringLiteral(":Error: folder could not be created (") + path + u')');
            return false;
        }
        // An existing link must not lead the write out of the html folder.
        if (!insideRoot(folder, canonicalRoot)) {
            logFor(cmd, QStringLiteral(":Error: file path leads outside the html folder (") + path + u')');
            return false;
        }
    }
    const QString target = folder + u'/' + name;
    const QFileInfo info(target);
    if (info.isSymLink() || info.exists()) {
        if (info.isSymLink() && !insideRoot(target, canonicalRoot)) {
            logFor(cmd, QStringLiteral(":Error: file path leads outside the html folder (") + name + u')');
            return false;
        }
        logFor(cmd, QStringLiteral(":File '") + name + QStringLiteral("' already exists. Overwriting..."));
    } else {
        logFor(cmd, QStringLiteral(":Creating file '") + name + u'\'');
    }
    FileError error;
    if (!WriteWholeFile(info.isSymLink() ? info.canonicalFilePath() : target, m_trailer.toLatin1(), &error)) {
        logFor(cmd, QStringLiteral(":Error: file could not be written (") + name + QStringLiteral(")"));
        return false;
    }
    logFor(cmd, QStringLiteral(":Saved file ") + name);
    return true;
}

bool cRemoteConfigProcess::ProcessSAVECONTACT(const RemoteConfigCommand& c) {
    const QString cmd = QStringLiteral("SAVECONTACT");
    AddressBookEntry entry;
    entry.Name = c.Params[0].trimmed();
    const int type = NetworkTypeCode(c.Params[1].trimmed());
    entry.Type = quint8(std::max(type, 0));
    const QString member = c.Params[2].trimmed();
    entry.Extra = member.isEmpty() ? QString() : QString::number(qint16(Val(member)));
    entry.Address = c.Params[3].trimmed();
    // The presentation comes as the file's word ("5", "7", "8") or as its index (0, 1, 2).
    const QString presentation = c.Params[4].trimmed();
    const qint64 p = Val(presentation);
    entry.Presentation = qint16(p == 5 || p == 7 || p == 8 ? PresentationOfWord(presentation)
                                : p >= 0 && p <= 2         ? p
                                                           : 0);
    // No operator is there to answer "Continue anyway?": only a card that passes outright is stored.
    const AddressCardCheck check = ValidateAddressCard(entry);
    if (type < 0 || !check.ok || !m_addressBook) {
        logFor(cmd, QStringLiteral(":Error occurred. Address validation failed"));
        logFor(cmd, QStringLiteral(":Address book was not updated"));
        return false;
    }
    m_addressBook->SetLogFile(m_log);
    if (!m_addressBook->AddAddress(entry.Name, entry.Type, entry.Presentation, entry.Address, entry.Extra, false)) {
        logFor(cmd, QStringLiteral(":Error occurred. Address book might not have been updated"));
        return false;
    }
    logFor(cmd, QStringLiteral(":Address book successfully updated"));
    return true;
}

bool cRemoteConfigProcess::ProcessSAVEISP() {
    const QString cmd = QStringLiteral("SAVEISP");
    const QString path = CaseBlindPath(m_config.DataPath(), QStringLiteral("isp.dat"));
    if (QFileInfo::exists(path))
        logFor(cmd, QStringLiteral(":File 'isp.dat' already exists. Overwriting..."));
    else
        logFor(cmd, QStringLiteral(":Creating file 'isp.dat'"));
    // One atomic step: a half-written list would break every e-mail until the next packet.
    if (!WriteWholeFile(path, m_trailer.toLatin1())) {
        logFor(cmd, QStringLiteral(":Error: file 'isp.dat' could not be written"));
        return false;
    }
    return true;
}

bool cRemoteConfigProcess::ProcessSETDEFLES(const RemoteConfigCommand& c) {
    const QString cmd = QStringLiteral("SETDEFLES");
    for (int i = 0; i < 4; ++i) {
        const QString p = c.Params[i].trimmed();
        if (p.isEmpty())
            continue;
        const int value = IsNumeric(p) ? int(Val(p)) : -1;
        if (value < i * 100 || value > i * 100 + 63) {
            logFor(cmd, QStringLiteral(":Error '0' "));
            log(QStringLiteral("Error occurred processing ") + cmd +
                QStringLiteral(". Could not validate data for ocean ") + QString::number(i));
            return false;
        }
    }
    for (int i = 0; i < 4; ++i) {
        const QString p = c.Params[i].trimmed();
        if (!p.isEmpty())
            m_config.SetIni(QLatin1String(kDefaultLesKeys[i]),
                            QStringLiteral("%1").arg(int(Val(p)), 3, 10, QLatin1Char('0')));
    }
    if (!m_config.SaveIni()) {
        logFor(cmd, QStringLiteral(":Error '0' "));
        logFor(cmd, QStringLiteral(":Default LES's might not have been updated"));
        return false;
    }
    return true;
}

bool cRemoteConfigProcess::ProcessSETDEFISP(const QString& name) {
    const QString cmd = QStringLiteral("SETDEFISP");
    const QString path = CaseBlindPath(m_config.DataPath(), QStringLiteral("Isp.dat"));
    QString text;
    if (!QFileInfo(path).isFile() || !ReadWholeFile(path, &text)) {
        logFor(cmd, QStringLiteral(":Error processing command. File 'isp.dat' not found"));
        return false;
    }
    if (text.isEmpty()) {
        logFor(cmd, QStringLiteral(":Error processing command. File 'isp.dat' is empty"));
        return false;
    }
    if (!text.contains(QStringLiteral("\r\n") + name + u'|')) {
        logFor(cmd, QStringLiteral(":Error processing command. New ISP name not found in list"));
        return false;
    }
    m_config.SetIni(QStringLiteral("[Default ISP]"), name);
    if (!m_config.SaveIni()) {
        logFor(cmd, QStringLiteral(":Error processing command. New ISP could not be saved"));
        return false;
    }
    return true;
}

bool cRemoteConfigProcess::ProcessGETLOG(const QString& cmd, const QString& address, const QString& maxLength) {
    const bool debug = cmd == u"GETDEBUGLOG";
    const QString fileName = debug ? QStringLiteral("DebugLog.txt") : QStringLiteral("RemoteLog.txt");
    const QString path = CaseBlindPath(m_config.DataPath(), fileName);
    QString text;
    if (!QFileInfo(path).isFile() || !ReadWholeFile(path, &text)) {
        logFor(cmd, QStringLiteral(":Error executing command. File '") + fileName + QStringLiteral("' does not exist"));
        return false;
    }
    qint64 n = Val(maxLength);
    if (n < 1 || n > kMaxLogLength)
        n = kMaxLogLength;
    if (text.size() > n)
        text = text.right(n);
    if (!m_mailer) {
        logFor(cmd, QStringLiteral(":Error executing command. Messages cannot be sent"));
        return false;
    }
    const IRemoteLogMailer::Result r = m_mailer->SendText(
        address, debug ? QStringLiteral("Tessaro debug log") : QStringLiteral("Tessaro remoteconfig log"), text);
    if (r.code == 1000) {
        log(cmd + QStringLiteral(": ") + GetText(1000, QStringLiteral("Your request is being processed...")) +
            QStringLiteral("<br>Ref:") + r.reference);
        return true;
    }
    log(cmd + QStringLiteral(":Error ") + QString::number(r.code) + QStringLiteral(": ") + r.text);
    return false;
}

} // namespace tessaro
