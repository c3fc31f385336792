// Waiting for the device without freezing the window. A request that blocks
// for a reply (up to the reply time-out) runs on a helper thread (WorkerRun,
// user input held back) while the user-interface thread keeps handling paint
// and posted events. Device events that arrive meanwhile are held back by
// DeviceEventQueue and handled after the wait, in order.
//
// The work is only the exchange with the device; what applies its result to
// the settings, the session record or a window runs after Run returns, on the
// user-interface thread. User-interface thread only.
#pragma once

#include <functional>

namespace vantelsor::ui {

class ReplyWait {
  public:
    // Runs `work` on a helper thread and returns when it has finished.
    static void Run(const std::function<void()>& work);
    // True while a wait is in progress.
    static bool Active();
    // Hooks called after every wait (DeviceEventQueue hands over what it held
    // back); the id removes the hook again.
    static int AddFinishedHook(std::function<void()> hook);
    static void RemoveFinishedHook(int id);
};

}  // namespace vantelsor::ui
