#include "app/in_process_simulator.h"

#include <QHostAddress>

#if TESSARO_HAS_SIMULATOR
#include "mes_simulator.h"
#endif

namespace tessaro {

struct InProcessSimulator::Impl {
#if TESSARO_HAS_SIMULATOR
    std::unique_ptr<sim::MesSimulator> simulator;
#endif
};

InProcessSimulator::InProcessSimulator() : m_impl(std::make_unique<Impl>()) {}
InProcessSimulator::~InProcessSimulator() = default;

bool InProcessSimulator::available() {
    return TESSARO_HAS_SIMULATOR != 0;
}

QString InProcessSimulator::start(QString* error) {
#if TESSARO_HAS_SIMULATOR
    m_impl->simulator = std::make_unique<sim::MesSimulator>();
    if (!m_impl->simulator->listen(QHostAddress(QHostAddress::LocalHost), 0)) {
        *error = QStringLiteral("the simulator cannot listen: ") + m_impl->simulator->errorString();
        m_impl->simulator.reset();
        return {};
    }
    return QStringLiteral("127.0.0.1:%1").arg(m_impl->simulator->serverPort());
#else
    *error = QStringLiteral("this build has no simulator");
    return {};
#endif
}

} // namespace tessaro
