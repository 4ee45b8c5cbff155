#pragma once

#include <QString>

#include <functional>

namespace tessaro {

class CSession;

// One line that says where the terminal stands: identity, login, ocean, channel, protocol, position and
// the transceiver's UTC time. The headless front end prints it whenever one of these changes.
QString StatusSummaryLine(const CSession& session);

// Calls print with the summary line whenever the login state, ocean, protocol, position or identity
// changed, once the current event is handled, and only when the line differs from the last one printed.
void FollowStatusSummary(CSession& session, std::function<void(const QString& line)> print);

// Ocean names as the status line shows them ("West Atlantic" .. "None").
QString OceanName(int ocean);

} // namespace tessaro
