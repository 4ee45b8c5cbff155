#pragma once

#include <QString>
#include <QStringList>

#include <memory>

class QSoundEffect;

namespace tessaro {

// What an alarm window sounds with. The windows repeat play() on their own timer until acknowledged.
class IAlarmPlayer {
public:
    virtual ~IAlarmPlayer() = default;
    // Starts one alarm sound; false when nothing sounds.
    virtual bool play() = 0;
    virtual void stop() = 0;
    // Length of one sound in milliseconds (0 for the system bell or silence): the next sound follows a
    // pause after it, so sounds never run into each other.
    virtual int soundMs() const = 0;
    // One line for the information list saying how this machine sounds the alarm.
    virtual QString description() const = 0;
};

// The alarm on this machine: "alarm.wav" through the audio device; the system bell when no audio output
// exists; silence (the windows still flash) when the sound file is missing.
class SoundAlarmPlayer final : public IAlarmPlayer {
public:
    enum class Mode { SoundFile, Bell, Silent };
    // soundFile: the alarm sound found, empty when none; audioOutput: an audio output device exists.
    SoundAlarmPlayer(const QString& soundFile, bool audioOutput);
    ~SoundAlarmPlayer() override;
    // Looks for the sound in the usual folders and for an audio device (only when a sound was found).
    static std::unique_ptr<SoundAlarmPlayer> ForThisMachine();

    bool play() override;
    void stop() override;
    int soundMs() const override { return m_ms; }
    QString description() const override;
    Mode mode() const { return m_mode; }

private:
    Mode m_mode;
    QString m_file;
    int m_ms = 0;
    std::unique_ptr<QSoundEffect> m_effect; // made on the first play: loading it costs nothing before
};

// Where the alarm sound is looked for: beside the program, then the installed data folder
// (<prefix>/share/tessaro for a program in <prefix>/bin).
QStringList AlarmSoundFolders();
// The first existing file named "alarm.wav" in the folders, or empty.
QString FindAlarmSound(const QStringList& folders);
// Play time of a PCM WAV file from its header, 0 when the file is not one.
int WavDurationMs(const QString& path);

} // namespace tessaro
