#include "ui/support/ReplyWait.h"

#include <map>

#include "ui/support/WorkerRun.h"

namespace vantelsor::ui {
namespace {

int depth = 0;

std::map<int, std::function<void()>>& FinishedHooks() {
    static std::map<int, std::function<void()>> hooks;
    return hooks;
}
int nextHook = 1;

}  // namespace

void ReplyWait::Run(const std::function<void()>& work) {
    ++depth;
    WorkerRun(WorkerRun::Input::kHoldInput).Run(work);
    --depth;
    if (depth != 0) return;
    // A hook may add or remove hooks: call a copy.
    const auto hooks = FinishedHooks();
    for (const auto& [id, hook] : hooks) hook();
}

bool ReplyWait::Active() {
    return depth > 0;
}

int ReplyWait::AddFinishedHook(std::function<void()> hook) {
    FinishedHooks().emplace(nextHook, std::move(hook));
    return nextHook++;
}

void ReplyWait::RemoveFinishedHook(int id) {
    FinishedHooks().erase(id);
}

}  // namespace vantelsor::ui
