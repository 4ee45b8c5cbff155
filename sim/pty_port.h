#pragma once

#include <QByteArray>
#include <QObject>
#include <QSocketNotifier>
#include <QString>

#include <memory>

namespace tessaro::sim {

// The master side of a pseudo-terminal: the PC opens the slave path as its serial port.
class PtyPort final : public QObject {
    Q_OBJECT
public:
    explicit PtyPort(QObject* parent = nullptr);
    ~PtyPort() override;

    bool open(QString* error);
    QString slavePath() const { return m_slavePath; }
    void write(const QByteArray& bytes);

Q_SIGNALS:
    void received(const QByteArray& bytes);

private:
    void onReadable();
    void onWritable();
    void flush();

    int m_master = -1;
    int m_slaveKeepAlive = -1;
    QString m_slavePath;
    QByteArray m_pending;
    std::unique_ptr<QSocketNotifier> m_readNotifier;
    std::unique_ptr<QSocketNotifier> m_writeNotifier;
};

} // namespace tessaro::sim
