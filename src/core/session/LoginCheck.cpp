#include "session/LoginCheck.h"

#include <arpa/inet.h>

#include <string>
#include <utility>

#include "admin/AdminRules.h"
#include "res/Strings.h"

namespace vantelsor {
namespace {

// The message for a length outside [low, high]; empty when it is inside.
std::string LengthMessage(std::string_view text, const char* empty, const char* length, int low,
                          int high) {
    const int n = rules::CharacterCount(text);
    if (n == 0) return empty;
    if (n < low || n > high) return rules::Format(length, low, high);
    return {};
}

LoginCheck Failed(LoginField field, std::string message) {
    LoginCheck check;
    check.failed = field;
    check.message = std::move(message);
    return check;
}

}  // namespace

std::optional<uint32_t> ParseLoginAddress(std::string_view text) {
    // inet_addr reads up to a NUL; a NUL inside the text would hide what follows it.
    if (text.find('\0') != std::string_view::npos) return std::nullopt;
    const std::string terminated(text);
    const in_addr_t address = inet_addr(terminated.c_str());
    if (address == INADDR_NONE) return std::nullopt;
    return ntohl(address);
}

LoginCheck CheckLoginInput(std::string_view address, std::string_view user,
                           std::string_view password) {
    const auto parsed = ParseLoginAddress(address);
    if (!parsed) return Failed(LoginField::kAddress, res::kInvalidAddress);
    std::string m = LengthMessage(user, res::kUserNameEmpty, res::kUserNameLength, kLoginUserMin,
                                  kLoginUserMax);
    if (!m.empty()) return Failed(LoginField::kUserName, std::move(m));
    m = LengthMessage(password, res::kPasswordEmpty, res::kPasswordLength, kLoginPasswordMin,
                      kLoginPasswordMax);
    if (!m.empty()) return Failed(LoginField::kPassword, std::move(m));
    LoginCheck check;
    check.deviceAddress = *parsed;
    return check;
}

}  // namespace vantelsor
