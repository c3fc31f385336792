// The login input's checks, shared by the login dialog and vantelsorctl: the
// device address as the classic dotted-address parser reads it, then the
// lengths of the user name and the password, in that order. Each failure names
// the field and carries the system's message. Pure functions; any thread.
//
// The letters-and-digits limit of the dialog's boxes is a typing filter of
// those boxes, not part of this check.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vantelsor {

inline constexpr int kLoginUserMin = 4, kLoginUserMax = 16;
inline constexpr int kLoginPasswordMin = 6, kLoginPasswordMax = 16;

// The field whose check failed; kNone when all passed.
enum class LoginField { kNone, kAddress, kUserName, kPassword };

struct LoginCheck {
    LoginField failed = LoginField::kNone;
    std::string message;         // the system's message; empty when all passed
    uint32_t deviceAddress = 0;  // host order; set when all passed

    bool ok() const { return failed == LoginField::kNone; }
};

// The address in host order as inet_addr reads UTF-8 `text`: one to four parts
// in decimal, octal (leading 0) or hexadecimal (0x), the last part filling the
// remaining bytes ("10.1" is 10.0.0.1), and whatever follows white space after
// it ignored. Nothing for text it rejects, 255.255.255.255 included (the parser
// cannot tell it from an error), and for text holding a NUL character.
std::optional<uint32_t> ParseLoginAddress(std::string_view text);

// Checks the login input in the dialog's order: address, user name, password.
// Lengths are counted in characters of the UTF-8 text.
LoginCheck CheckLoginInput(std::string_view address, std::string_view user,
                           std::string_view password);

}  // namespace vantelsor
