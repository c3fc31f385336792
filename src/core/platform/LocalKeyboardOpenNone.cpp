// Built without X11: the platform's keyboard is always the no-op.
#include "platform/LocalKeyboard.h"

namespace vantelsor {

std::unique_ptr<LocalKeyboard> OpenLocalKeyboard(const char*) {
    return NoLocalKeyboard();
}

}  // namespace vantelsor
