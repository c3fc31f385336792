// The simulated device's state file: one value a line, "key fields...",
// texts in hexadecimal so that any bytes a client sent survive. The firmware
// image is kept beside it in "<state file>.firmware". Writes are atomic
// (temporary file, then rename), so a crash never leaves half a state.
//
// Example:
//   account 61646d696e 61646d696e313233 1
//   network 00-1A-2B-3C-4D-5E 192.168.1.100 255.255.255.0 192.168.1.1 5552 5553
//   video 25 1024
//   sleep 0
//   uid 5654533230313341...
//   name 76616e74656c736f72
//   version 1 2
//   log 2013 5 1 2 30 192.168.0.10 61646d696e 1
#pragma once

#include <string>
#include <string_view>

#include "sim/DeviceState.h"

namespace vantelsor::sim {

std::string FormatState(const DeviceState& state);
// False on the first bad line, "line N: ..." in *error; *state untouched then.
// Keys not present keep the values *state had; the firmware image is not read here.
bool ParseState(std::string_view text, DeviceState* state, std::string* error);

// A missing file leaves *state as it is and succeeds.
bool LoadState(const std::string& path, DeviceState* state, std::string* error);
// The image file is written too when `withFirmware` (it changes rarely and may be large).
bool SaveState(const std::string& path, const DeviceState& state, bool withFirmware,
               std::string* error);

}  // namespace vantelsor::sim
