#include "shell/alarm_player.h"

#include "config/text_util.h"
#include "shell/shell_texts.h"

#include <QApplication>
#include <QAudioDevice>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

namespace tessaro {

namespace {
const QLatin1String kSoundName("alarm.wav");

quint32 le32(const QByteArray& b, int at) {
    return quint32(quint8(b[at])) | quint32(quint8(b[at + 1])) << 8 | quint32(quint8(b[at + 2])) << 16 |
           quint32(quint8(b[at + 3])) << 24;
}
} // namespace

SoundAlarmPlayer::SoundAlarmPlayer(const QString& soundFile, bool audioOutput) : m_file(soundFile) {
    if (soundFile.isEmpty() || !QFileInfo::exists(soundFile))
        m_mode = Mode::Silent;
    else
        m_mode = audioOutput ? Mode::SoundFile : Mode::Bell;
    if (m_mode == Mode::SoundFile)
        m_ms = WavDurationMs(soundFile);
}

SoundAlarmPlayer::~SoundAlarmPlayer() = default;

std::unique_ptr<SoundAlarmPlayer> SoundAlarmPlayer::ForThisMachine() {
    const QString file = FindAlarmSound(AlarmSoundFolders());
    // Asking for audio devices loads the multimedia back end: only worth it when there is a sound to play.
    const bool audio = !file.isEmpty() && !QMediaDevices::audioOutputs().isEmpty();
    return std::make_unique<SoundAlarmPlayer>(file, audio);
}

bool SoundAlarmPlayer::play() {
    switch (m_mode) {
    case Mode::SoundFile:
        if (!m_effect) {
            m_effect = std::make_unique<QSoundEffect>();
            m_effect->setSource(QUrl::fromLocalFile(m_file));
            m_effect->setVolume(1.0);
        }
        m_effect->play(); // asynchronous; a sound still loading starts when loaded
        return true;
    case Mode::Bell:
        QApplication::beep();
        return true;
    case Mode::Silent:
        break;
    }
    return false;
}

void SoundAlarmPlayer::stop() {
    if (m_effect)
        m_effect->stop();
}

QString SoundAlarmPlayer::description() const {
    switch (m_mode) {
    case Mode::SoundFile:
        return FormatText(ShellText(5740, "Alarm sound: %0 through the audio device"),
                          {QDir::toNativeSeparators(m_file)});
    case Mode::Bell:
        return ShellText(5741, "Alarm sound: system bell (no audio output device)");
    case Mode::Silent:
        break;
    }
    return ShellText(5742, "Alarm sound: alarm.wav not found, alarms only flash");
}

QStringList AlarmSoundFolders() {
    const QString program = QCoreApplication::applicationDirPath();
    return {program, QDir::cleanPath(program + QStringLiteral("/../share/tessaro"))};
}

QString FindAlarmSound(const QStringList& folders) {
    for (const QString& folder : folders) {
        const QFileInfo f(QDir(folder).filePath(kSoundName));
        if (f.isFile())
            return f.absoluteFilePath();
    }
    return {};
}

int WavDurationMs(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray b = f.read(4096);
    if (b.size() < 12 || !b.startsWith("RIFF") || b.mid(8, 4) != "WAVE")
        return 0;
    // Walk the chunks: the byte rate is in "fmt ", the length in the size of "data".
    quint32 byteRate = 0;
    for (int at = 12; at + 8 <= b.size();) {
        const QByteArray id = b.mid(at, 4);
        const quint32 size = le32(b, at + 4);
        if (id == "fmt " && at + 16 <= b.size())
            byteRate = at + 20 <= b.size() ? le32(b, at + 16) : 0;
        if (id == "data")
            return byteRate == 0 ? 0 : int(qint64(size) * 1000 / byteRate);
        if (size > quint32(b.size()))
            break;
        at += 8 + int(size) + int(size & 1);
    }
    return 0;
}

} // namespace tessaro
