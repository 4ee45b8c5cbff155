#pragma once

namespace tessaro {

class CConfiguration;

// The operator accepts the disclaimer once; the answer is kept in Tessaro.ini ("[AS IS Accepted?]").
bool DisclaimerAccepted(CConfiguration& config);
void AcceptDisclaimer(CConfiguration& config);

} // namespace tessaro
