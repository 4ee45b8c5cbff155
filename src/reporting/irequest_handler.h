#pragma once

#include <QByteArray>

namespace tessaro {

// The one thing the HTTP listener needs from whoever answers requests: the complete request bytes in,
// the response body out. Status line and connection handling stay with the listener.
class IRequestHandler {
public:
    virtual ~IRequestHandler() = default;
    virtual QByteArray processRequest(const QByteArray& request) = 0;
};

} // namespace tessaro
