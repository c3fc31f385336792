// The device-information command without its window: identity and name
// (0xB2) and the firmware version (0xB5), read and the name written back. The
// replies come through the console's handler, which must be installed
// (ConsoleLink::Open) and keeps the latest of each.
//
// Runs on any one thread at a time; each exchange blocks up to the reply time-out.
#pragma once

#include <string>

#include "admin/AdminOutcome.h"
#include "protocol/IdentityMessages.h"
#include "session/Timing.h"

namespace vantelsor {

class ConsoleLink;

struct DeviceInfoTexts {
    identity::Text uid{};  // as read: written back unchanged
    std::string uidText;
    std::string name;
    std::string version;  // "major.minor"
};

class DeviceInfo {
  public:
    // The exchanges go through the console's handler and its reply time-out.
    explicit DeviceInfo(ConsoleLink* console) : console_(console) {}

    // Identity first, then the version. kIdentityRefused for a non-zero
    // identity status (nothing is shown then); a failed version wait is kTimeout.
    AdminOutcome Read(DeviceInfoTexts* out);
    // Writes the UID as read and the new name (checked by the caller).
    // kIdentityRefused when the device answers with a non-zero status.
    AdminOutcome WriteName(const identity::Text& uid, const std::string& name);

  private:
    ConsoleLink* console_;
};

}  // namespace vantelsor
