#pragma once

#include <QString>

namespace tessaro {

class CConfiguration;

// The stored form of the access passwords: two characters per byte, a nibble n written as '0' + n below 10
// and as 'A' + n from 10 on ("K" for 10, "P" for 15). Not hexadecimal; kept for stores written earlier.
QString EncodeAccessPassword(const QString& password);
QString DecodeAccessPassword(const QString& stored);

enum class AccessPassword { Config, Transmit };
// The decoded password, empty when none is set.
QString StoredAccessPassword(CConfiguration& config, AccessPassword which);
// True when no password is set or typed is the password (case-sensitive, in full).
bool AccessPasswordAccepts(CConfiguration& config, AccessPassword which, const QString& typed);
// Stores newPassword (encoded; empty clears it) only when oldPassword is the stored one (empty when none is
// set) and the confirmation matches; false leaves the stored password as it was.
bool ChangeAccessPassword(CConfiguration& config, AccessPassword which, const QString& oldPassword,
                          const QString& newPassword, const QString& confirmation);

} // namespace tessaro
