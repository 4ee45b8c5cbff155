#pragma once

#include <QString>

#include <memory>

namespace tessaro {

// The built-in transceiver simulator for --simulator: listens on a free loopback port for as long as this
// object lives.
class InProcessSimulator final {
public:
    InProcessSimulator();
    ~InProcessSimulator();

    static bool available();
    // Starts listening; returns "127.0.0.1:PORT" for the LAN transport, or an empty text with *error set.
    QString start(QString* error);

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace tessaro
