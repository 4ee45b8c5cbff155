#pragma once

#include <QList>
#include <QString>

namespace tessaro {

class CConfiguration;

// One entry of the Forms menu: the file in the forms folder and the caption taken from its title.
struct FormEntry {
    QString fileName;
    QString caption;
};

// Text between "<title>" and "</title>" (case-blind), blanks collapsed; empty when there is none.
QString FormTitle(const QByteArray& content);

// Every ".htm" file of the folder, sorted by name, captioned with its title or, without one, its name.
QList<FormEntry> ListForms(const QString& formsFolder);

// "http://" + host + (":" + port unless it is 80) + "/" + the file name, encoded for a URL.
QString FormUrl(const QString& host, int port, const QString& fileName);

// Copies the example forms into the folder when it is missing or holds no files at all.
// Returns the number of files written; a folder with the operator's own files is never touched.
int InstallExampleForms(const QString& formsFolder);

// The core of the Forms menu and the "Forms" button; the window only shows entries and opens URLs.
class cFormsMenu final {
public:
    explicit cFormsMenu(CConfiguration& config) : m_config(config) {}

    // Where the server is reachable; form URLs are built from this.
    void setServerAddress(const QString& host, int port) {
        m_host = host;
        m_port = port;
    }

    QList<FormEntry> entries() const;
    // Remembers the choice under "[LastForm]" and returns the URL to open.
    QString chooseForm(const QString& fileName);
    // URL of the form remembered under "[LastForm]" (remembered again, as a menu choice would),
    // or empty when none is remembered.
    QString openLastForm();
    QString lastForm() const;

private:
    CConfiguration& m_config;
    QString m_host = QStringLiteral("127.0.0.1");
    int m_port = 80;
};

} // namespace tessaro
