#include "cli/InputCommands.h"

#include <cstdio>

#include "cli/CommandRuns.h"
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

// Without the operation right the device would ignore everything: say so
// instead of pretending it was typed. After sending, a lost connection is a failure.
int WithControlRight(const CommandContext& x, void (*send)(InputForwarder&, const Invocation&),
                     const Invocation& c) {
    if (!x.info->hasControlRight) {
        std::fprintf(stderr,
                     "the operation right is held elsewhere: nothing sent (take-control "
                     "first)\n");
        return kExitFailed;
    }
    InputForwarder forwarder(x.session, x.info);
    send(forwarder, c);
    if (!x.session.IsControlOpen()) {
        std::fprintf(stderr, "%s\n", res::kServerDisconnected);
        return kExitFailed;
    }
    std::printf("sent\n");
    return kExitOk;
}

}  // namespace

// A UTF-8 sequence is shown whole and counted as one position.
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

int RunKeys(const Invocation& c, const CommandContext& x) {
    return WithControlRight(
        x,
        [](InputForwarder& keys, const Invocation& in) {
            if (in.action == "ctrl-alt-del") keys.SendCtrlAltDel();
            if (in.action == "print-screen") keys.SendPrintScreen();
        },
        c);
}

int RunType(const Invocation& c, const CommandContext& x) {
    return WithControlRight(
        x, [](InputForwarder& keys, const Invocation& in) { TypeText(keys, in.values[0]); }, c);
}

int RunMouse(const Invocation& c, const CommandContext& x) {
    return WithControlRight(
        x,
        [](InputForwarder& keys, const Invocation&) {
            PointerMover pointer(&keys);
            pointer.HomePointer(PointerMover::kStartHomeWidth, PointerMover::kStartHomeHeight);
        },
        c);
}

}  // namespace vantelsor::ctl
