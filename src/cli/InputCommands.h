// What vantelsorctl's type command can type: printable ASCII, as a US keyboard
// would. The command table checks TEXT with it before anything is sent.
#pragma once

#include <string>

namespace vantelsor::ctl {

// The first character of `text` that cannot be typed on a US keyboard, as a
// message; empty when every character can. Only printable ASCII can.
std::string UntypableCharacter(const std::string& text);

}  // namespace vantelsor::ctl
