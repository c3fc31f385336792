// firmware FILE.
#include <unistd.h>

#include <cstdio>
#include <string>

#include "admin/FirmwareUpgrade.h"
#include "cli/AdminCommandSupport.h"
#include "cli/CommandRuns.h"
#include "res/Strings.h"

namespace vantelsor::ctl {
namespace {

// "[#########           ]  45%" redrawn in place; called on the worker thread,
// and stderr is the only thing it touches.
void DrawProgress(int percent) {
    constexpr int kWidth = 40;
    const int filled = percent * kWidth / 100;
    std::fprintf(stderr, "\r[%s%s] %3d%%", std::string(filled, '#').c_str(),
                 std::string(kWidth - filled, ' ').c_str(), percent);
    std::fflush(stderr);
}

}  // namespace

int RunFirmware(const Invocation& c, const CommandContext& x) {
    FirmwareUpgrade upgrade(x.session, x.timing);
    if (int r = ReportOutcome(upgrade.LoadImage(c.firmware))) return r;
    const bool bar = ::isatty(STDERR_FILENO);
    if (!upgrade.Start(bar ? FirmwareUpgrade::Progress(DrawProgress)
                           : FirmwareUpgrade::Progress())) {
        return ReportOutcome(AdminOutcome::kFirmwareFileError);
    }
    const AdminOutcome o = upgrade.Wait();
    if (bar) std::fputc('\n', stderr);
    if (o == AdminOutcome::kOk) std::printf("%s\n", res::kFirmwareSucceeded);
    return ReportOutcome(o);
}

}  // namespace vantelsor::ctl
