#pragma once

#include "distress/parallel_port.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>

namespace tessaro {

class CSession;
class ModuleContext;

// The settings-store place of the parallel-port device that drives the In Harbour button.
inline constexpr char kInHarbourDeviceSection[] = "Settings";
inline constexpr char kInHarbourDeviceKey[] = "InHarbourDevice";
inline constexpr char kDefaultInHarbourDevice[] = "/dev/parport0";

// One output line of the parallel port: Push sets it, Release clears it. Writes happen only while enabled.
class cInHarbourButton final {
public:
    explicit cInHarbourButton(IParallelPort* port = nullptr) : m_port(port) {}
    void setPort(IParallelPort* port) { m_port = port; }
    // Writes 1; false when the port could not be opened or written (*error says why).
    bool Push(const QString& device, QString* error = nullptr);
    // Writes 0 and gives the port back; false when that failed.
    bool Release(const QString& device);
    bool enabled() const { return m_enabled; }
    void setEnabled(bool enabled) { m_enabled = enabled; }
    // The value last written, -1 before any write succeeded.
    int lastValue() const { return m_lastValue; }

private:
    bool write(const QString& device, quint8 value, QString* error);

    IParallelPort* m_port;
    bool m_enabled = true;
    int m_lastValue = -1;
};

// The main window's In Harbour button: pushes the line for 5 seconds and tells where the ship was.
class InHarbourService final : public QObject {
    Q_OBJECT
public:
    static constexpr int kReleaseMs = 5000;

    // port: the real ppdev port when null.
    explicit InHarbourService(CSession& session, std::unique_ptr<IParallelPort> port = {}, QObject* parent = nullptr);
    void attach(ModuleContext& context);

    // "[InHarbourButton]" is "1": the button is offered.
    bool offered() const;
    // The configured device (settings store), "/dev/parport0" when none is set.
    QString device() const;
    // The button's click: false (nothing done) unless the button is offered.
    bool Press();
    // The quoted position text of the session, or "'No position available'".
    QString positionText() const;

    const QTimer& releaseTimer() const { return m_releaseTimer; }
    void onReleaseTimer();
    // Tests give a fake port.
    void setPort(std::unique_ptr<IParallelPort> port);

private:
    CSession& m_session;
    ModuleContext* m_context = nullptr;
    std::unique_ptr<IParallelPort> m_port;
    cInHarbourButton m_button;
    QTimer m_releaseTimer;
};

} // namespace tessaro
