#include "cli/InputCommands.h"

#include <cstdio>

#include "cli/CtlOptions.h"
#include "input/InputForwarder.h"
#include "input/PointerMover.h"
#include "input/UsLayout.h"
#include "input/VirtualKeys.h"
#include "net/NetSession.h"
#include "res/Strings.h"
#include "session/SessionInfo.h"

namespace vantelsor::ctl {
namespace {

constexpr const char* kCtrlAltDel = "ctrl-alt-del";
constexpr const char* kPrintScreen = "print-screen";
constexpr const char* kHome = "home";

bool OneArgument(const std::string& command, const std::vector<std::string>& arguments,
                 const char* what, std::string* error) {
    if (arguments.size() == 1) return true;
    *error = command + (arguments.empty() ? " needs " : " takes only ") + what;
    return false;
}

// The first character of `text` that cannot be typed, as a message; empty when
// every character can. A UTF-8 sequence is shown whole and counted as one.
std::string UntypableCharacter(const std::string& text) {
    int position = 0;
    for (size_t i = 0; i < text.size(); ++position) {
        size_t end = i + 1;
        while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) ++end;
        if (!KeyStrokeFor(text[i]) || end != i + 1) {
            const unsigned char c = static_cast<unsigned char>(text[i]);
            std::string shown = c < 0x20 || c == 0x7F ? "" : "\"" + text.substr(i, end - i) + "\" ";
            char code[16];
            std::snprintf(code, sizeof code, "0x%02X", c);
            return "type: the character " + shown + "at position " + std::to_string(position + 1) +
                   " (byte " + code + ") cannot be typed; only printable ASCII characters can";
        }
        i = end;
    }
    return "";
}

void TypeText(InputForwarder& keys, const std::string& text) {
    // The console had the focus: keyboard input is active.
    keys.inputActive = 1;
    for (char c : text) {
        const KeyStroke stroke = *KeyStrokeFor(c);
        if (stroke.shift) keys.KeyDown(vk::kShift);
        keys.KeyDown(stroke.virtualKey);
        keys.KeyUp(stroke.virtualKey);
        if (stroke.shift) keys.KeyUp(vk::kShift);
    }
}

}  // namespace

bool IsInputCommand(const std::string& command) {
    return command == "keys" || command == "type" || command == "mouse";
}

bool CheckInputArguments(const std::string& command, const std::vector<std::string>& arguments,
                         std::string* error) {
    if (command == "keys") {
        if (!OneArgument(command, arguments, "ctrl-alt-del or print-screen", error)) return false;
        if (arguments[0] == kCtrlAltDel || arguments[0] == kPrintScreen) return true;
        *error = "keys takes ctrl-alt-del or print-screen, not " + arguments[0];
        return false;
    }
    if (command == "type") {
        if (!OneArgument(command, arguments, "one TEXT argument", error)) return false;
        *error = UntypableCharacter(arguments[0]);
        return error->empty();
    }
    if (!OneArgument(command, arguments, "home", error)) return false;
    if (arguments[0] == kHome) return true;
    *error = "mouse takes home, not " + arguments[0];
    return false;
}

int RunInputCommand(const std::string& command, const std::vector<std::string>& arguments,
                    NetSession& session, SessionInfo* info) {
    // Without the operation right the device would ignore everything: say so
    // instead of pretending it was typed.
    if (!info->hasControlRight) {
        std::fprintf(stderr,
                     "the operation right is held elsewhere: nothing sent (take-control "
                     "first)\n");
        return kExitFailed;
    }
    InputForwarder forwarder(session, info);
    if (command == "keys") {
        if (arguments[0] == kCtrlAltDel) forwarder.SendCtrlAltDel();
        if (arguments[0] == kPrintScreen) forwarder.SendPrintScreen();
    } else if (command == "type") {
        TypeText(forwarder, arguments[0]);
    } else {
        PointerMover pointer(&forwarder);
        pointer.HomePointer(PointerMover::kStartHomeWidth, PointerMover::kStartHomeHeight);
    }
    if (!session.IsControlOpen()) {
        std::fprintf(stderr, "%s\n", res::kServerDisconnected);
        return kExitFailed;
    }
    std::printf("sent\n");
    return kExitOk;
}

}  // namespace vantelsor::ctl
