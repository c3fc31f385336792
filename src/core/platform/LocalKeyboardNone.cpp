// The local keyboard where there is none to reach: nothing on, nothing toggles.
#include "platform/LocalKeyboard.h"

namespace vantelsor {
namespace {

class LocalKeyboardNone : public LocalKeyboard {
  public:
    uint8_t LockState() override { return 0; }
    bool Toggle(uint8_t) override { return false; }
};

}  // namespace

std::unique_ptr<LocalKeyboard> NoLocalKeyboard() {
    return std::make_unique<LocalKeyboardNone>();
}

}  // namespace vantelsor
