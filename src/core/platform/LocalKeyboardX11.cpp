// The lock keys of an X11 display: Xkb's named indicators for the state, XTest
// key events on the lock keys' keycodes for toggling.
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <mutex>

#include "platform/LocalKeyboard.h"

namespace vantelsor {
namespace {

struct LockKey {
    uint8_t bit;
    const char* indicator;  // Xkb indicator name
    KeySym keysym;
};

constexpr LockKey kLockKeys[] = {
    {LocalKeyboard::kNumLock, "Num Lock", XK_Num_Lock},
    {LocalKeyboard::kCapsLock, "Caps Lock", XK_Caps_Lock},
    {LocalKeyboard::kScrollLock, "Scroll Lock", XK_Scroll_Lock},
};

class LocalKeyboardX11 : public LocalKeyboard {
  public:
    explicit LocalKeyboardX11(Display* display) : display_(display) {
        for (int i = 0; i < 3; ++i) {
            atoms_[i] = XInternAtom(display_, kLockKeys[i].indicator, False);
        }
    }
    ~LocalKeyboardX11() override { XCloseDisplay(display_); }

    uint8_t LockState() override {
        // One connection serves two threads: Xlib calls on it are serialised here.
        std::lock_guard lock(lock_);
        uint8_t state = 0;
        for (int i = 0; i < 3; ++i) {
            Bool on = False;
            if (XkbGetNamedIndicator(display_, atoms_[i], nullptr, &on, nullptr, nullptr) && on) {
                state |= kLockKeys[i].bit;
            }
        }
        return state;
    }

    bool Toggle(uint8_t lockKey) override {
        std::lock_guard lock(lock_);
        for (const LockKey& k : kLockKeys) {
            if (k.bit != lockKey) continue;
            const KeyCode code = XKeysymToKeycode(display_, k.keysym);
            if (code == 0) return false;  // the keyboard map has no such key
            const bool sent = XTestFakeKeyEvent(display_, code, True, CurrentTime) &&
                              XTestFakeKeyEvent(display_, code, False, CurrentTime);
            XSync(display_, False);
            return sent;
        }
        return false;
    }

  private:
    std::mutex lock_;
    Display* display_;
    Atom atoms_[3] = {};
};

bool HasExtensions(Display* display) {
    int opcode = 0, event = 0, error = 0, major = XkbMajorVersion, minor = XkbMinorVersion;
    if (!XkbQueryExtension(display, &opcode, &event, &error, &major, &minor)) return false;
    int testEvent = 0, testError = 0, testMajor = 0, testMinor = 0;
    return XTestQueryExtension(display, &testEvent, &testError, &testMajor, &testMinor);
}

}  // namespace

std::unique_ptr<LocalKeyboard> OpenLocalKeyboard(const char* displayName) {
    Display* display = XOpenDisplay(displayName);
    if (!display) return NoLocalKeyboard();
    if (!HasExtensions(display)) {
        XCloseDisplay(display);
        return NoLocalKeyboard();
    }
    return std::make_unique<LocalKeyboardX11>(display);
}

}  // namespace vantelsor
