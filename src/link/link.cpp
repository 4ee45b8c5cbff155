#include "link/link.h"

#include "link/serial_link.h"
#include "link/tcp_link.h"

namespace tessaro {

std::unique_ptr<ILink> CreateLink(LinkKind kind) {
    if (kind == LinkKind::Serial)
        return std::make_unique<SerialLink>();
    return std::make_unique<TcpLink>();
}

} // namespace tessaro
