// info, network, video and sleep.
#include <cstdio>
#include <cstdlib>

#include "admin/AdminRules.h"
#include "admin/DeviceInfo.h"
#include "admin/NetworkSettings.h"
#include "admin/SleepTime.h"
#include "admin/VideoSettings.h"
#include "cli/AdminCommandSupport.h"
#include "cli/CommandRuns.h"
#include "net/AddressText.h"

namespace vantelsor::ctl {
namespace {

void PrintNetwork(const network::NetworkConfig& n) {
    std::printf(
        "MAC       %s\nIP        %s\nmask      %s\ngateway   %s\nTCP port  %u\nUDP port  %u\n",
        rules::FormatMac(n.mac).c_str(), AddressText(n.ipAddress).c_str(),
        AddressText(n.subnetMask).c_str(), AddressText(n.gateway).c_str(), unsigned{n.tcpPort},
        unsigned{n.udpPort});
}

// The box's value: the given option (checked before connecting), else what was read.
std::optional<uint32_t> AddressBox(const Invocation& c, const char* name, uint32_t read) {
    const auto v = c.Option(name);
    if (!v) return read;
    uint32_t address = 0;
    if (!ParseAddress(*v, &address)) return std::nullopt;
    return address;
}

}  // namespace

int RunInfo(const Invocation& c, const CommandContext& x) {
    DeviceInfo info(x.console);
    DeviceInfoTexts texts;
    if (int r = ReportOutcome(info.Read(&texts), "the device refused to tell its identity")) {
        return r;
    }
    if (c.action.empty()) {
        std::printf("UID       %s\nname      %s\nfirmware  %s\n", texts.uidText.c_str(),
                    texts.name.c_str(), texts.version.c_str());
        return kExitOk;
    }
    const AdminOutcome o = info.WriteName(texts.uid, c.values[0]);
    if (o == AdminOutcome::kOk) std::printf("device name set to %s\n", c.values[0].c_str());
    return ReportOutcome(o, "the device refused the new name");
}

int RunNetwork(const Invocation& c, const CommandContext& x) {
    NetworkSettings net(x.session, x.timing);
    if (int r = ReportOutcome(net.Read())) return r;
    if (!net.haveConfig()) {
        PrintError("the device did not report its network configuration");
        return kExitFailed;
    }
    const network::NetworkConfig read = net.config();
    if (c.action == "get") {
        PrintNetwork(read);
        return kExitOk;
    }
    // Read, change what is given, check as the dialog does, write.
    rules::NetworkInput input{rules::FormatMac(read.mac), AddressBox(c, "ip", read.ipAddress),
                              AddressBox(c, "mask", read.subnetMask),
                              AddressBox(c, "gateway", read.gateway)};
    network::NetworkConfig write = read;
    const std::string m = rules::CheckNetwork(input, &write.mac);
    if (!m.empty()) {
        PrintError(m);
        return kExitFailed;
    }
    write.ipAddress = *input.ipAddress;
    write.subnetMask = *input.subnetMask;
    write.gateway = *input.gateway;
    if (int r = ReportOutcome(net.Write(write))) return r;
    std::printf("network settings written\n");
    PrintNetwork(net.config());
    return kExitOk;
}

int RunVideo(const Invocation& c, const CommandContext& x) {
    VideoSettings video(x.session, x.timing);
    VideoRate rate;
    if (int r = ReportOutcome(video.Read(&rate))) return r;
    if (c.action == "get") {
        std::printf("frame rate  %u fps\nbit rate    %u\n", unsigned{rate.frameRate},
                    unsigned{rate.bitRate});
        return kExitOk;
    }
    if (auto f = c.Option("fps")) rate.frameRate = static_cast<uint16_t>(std::atoi(f->c_str()));
    if (auto b = c.Option("bitrate")) rate.bitRate = static_cast<uint16_t>(std::atoi(b->c_str()));
    VideoRate inForce;
    const AdminOutcome o = video.Write(rate, &inForce);
    if (o == AdminOutcome::kOk) {
        std::printf("frame rate  %u fps\nbit rate    %u\n", unsigned{inForce.frameRate},
                    unsigned{inForce.bitRate});
    }
    return ReportOutcome(o);
}

int RunSleep(const Invocation& c, const CommandContext& x) {
    SleepTime sleep(x.session, x.timing);
    if (c.action == "get") {
        int minutes = 0;
        if (int r = ReportOutcome(sleep.Read(&minutes))) return r;
        std::printf("%d minutes%s\n", minutes, minutes == 0 ? " (never sleeps)" : "");
        return kExitOk;
    }
    const int minutes = std::atoi(c.values[0].c_str());
    const AdminOutcome o = sleep.Write(minutes);
    if (o == AdminOutcome::kOk) std::printf("sleep time set to %d minutes\n", minutes);
    return ReportOutcome(o);
}

}  // namespace vantelsor::ctl
