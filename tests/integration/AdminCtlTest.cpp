// vantelsorctl's administration commands, the real program, against the
// simulated device: each success path, each refusal with its exact message and
// exit code, and validation that stops before anything is sent.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "RunProcess.h"
#include "ScratchFolder.h"
#include "SimFixture.h"
#include "net/AddressText.h"
#include "protocol/MessageTypes.h"

namespace vantelsor::test {
namespace {

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

class AdminCtlTest : public SimFixture {
  protected:
    ProcessResult Ctl(const std::vector<std::string>& command, const std::string& user = "admin",
                      const std::string& password = "admin123",
                      const std::string& input = {}) const {
        std::vector<std::string> args = {"--device",        AddressText(config.listenAddress),
                                         "--user",          user,
                                         "--password",      password,
                                         "--reply-timeout", "1000"};
        args.insert(args.end(), command.begin(), command.end());
        return RunProcess(VANTELSORCTL_PATH, args, input);
    }

    // Restarts the device with a configuration the case shapes.
    void Restart(void (*shape)(sim::SimConfig*)) {
        device.reset();
        config = sim::SimConfig{};
        config.listenAddress = TestAddress();
        shape(&config);
        StartDevice();
    }
};

TEST_F(AdminCtlTest, InfoAndDeviceName) {
    StartDevice();
    ProcessResult r = Ctl({"info"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(Contains(r.out, "VTS2013A00000001")) << r.out;
    EXPECT_TRUE(Contains(r.out, "vantelsor")) << r.out;
    EXPECT_TRUE(Contains(r.out, "1.2")) << r.out;
    r = Ctl({"info", "set-name", "kvmroom16charsAB"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(device->State().name, "kvmroom16charsAB");
    EXPECT_EQ(device->State().uid, identity::PackText("VTS2013A00000001"));
    r = Ctl({"info"}, "user", "user1234");  // every user type may read it
    EXPECT_TRUE(Contains(r.out, "kvmroom16charsAB")) << r.out;
}

TEST_F(AdminCtlTest, ValidationStopsBeforeAnythingIsSent) {
    StartDevice();
    const struct {
        std::vector<std::string> command;
        const char* message;
    } cases[] = {
        {{"info", "set-name", "kvm01"}, "设备名称长度应为6至16字符！"},
        {{"users", "add", "abc", "secret12"}, "用户名长度应为4至16字符！"},
        {{"users", "add", "guest", "12345678901234567"}, "密码长度应为6至16字符！"},
        {{"users", "edit", "user"}, "密码不能为空！"},
        {{"passwd", "--old", "user1234", "--new", "short"}, "密码长度应为6至16字符！"},
        {{"network", "set", "--mask", "255.0.255.0"}, "非法的子网掩码！"},
        {{"network", "set", "--mask", ""}, "子网掩码不能为空！"},
        {{"network", "set", "--ip", ""}, "IP地址不能为空！"},
        {{"network", "set", "--gateway", ""}, "网关不能为空！"},
        {{"video", "set", "--bitrate", "9"}, "码率值应在10至2048之间！"},
        {{"video", "set", "--bitrate", "2049"}, "码率值应在10至2048之间！"},
        {{"sleep", "set", "256"}, "休眠时间为0至255分钟！"},
        {{"firmware", ""}, "请选择固件文件。"},
        {{"firmware", "/nonexistent/image.bin"}, "固件文件错误！"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command[0] + " " + c.command[1]);
        const ProcessResult r = Ctl(c.command);
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_TRUE(Contains(r.err, c.message)) << r.err;
    }
    EXPECT_EQ(device->Status().openConnections, 0);
    EXPECT_TRUE(device->Trace().empty()) << "nothing may reach the device";
}

TEST_F(AdminCtlTest, UsageErrorsExitWithTwo) {
    StartDevice();
    for (const std::vector<std::string>& command :
         std::vector<std::vector<std::string>>{{"users"},
                                               {"users", "rename", "a"},
                                               {"video", "set"},
                                               {"log", "--format", "xml"},
                                               {"sleep", "set", "1", "--fps", "5"}}) {
        EXPECT_EQ(Ctl(command).exitCode, 2) << command[0];
    }
}

TEST_F(AdminCtlTest, AccountsLifecycle) {
    StartDevice();
    ProcessResult r = Ctl({"users", "add", "guest1", "guestpw1"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    r = Ctl({"users", "list"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(Contains(r.out, "guest1")) << r.out;
    EXPECT_TRUE(Contains(r.out, "普通用户")) << r.out;
    EXPECT_TRUE(Contains(r.out, "管理员")) << r.out;
    r = Ctl({"users", "add", "guest1", "guestpw1"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(Contains(r.err, "用户名已存在！")) << r.err;
    // Another account is changed without its old password.
    r = Ctl({"users", "edit", "guest1", "--new-name", "guest2", "--new-password", "guestpw2"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(Ctl({"login"}, "guest2", "guestpw2").exitCode, 0);
    r = Ctl({"users", "delete", "admin"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(Contains(r.err, "无法删除登陆用户！")) << r.err;
    r = Ctl({"users", "delete", "guest2"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(device->State().accounts.size(), 2u);
    // One's own account needs the old password, and the right one.
    r = Ctl({"users", "edit", "admin", "--new-password", "admin456", "--old-password", "wrong12"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(Contains(r.err, "旧密码输入错误！")) << r.err;
    r = Ctl({"users", "list"}, "user", "user1234");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(Contains(r.err, "普通用户无法设置，请联系管理员！")) << r.err;
}

TEST_F(AdminCtlTest, AccountWriteFailure) {
    config.accountWriteFails = true;
    StartDevice();
    for (const std::vector<std::string>& command : std::vector<std::vector<std::string>>{
             {"users", "add", "guest1", "guestpw1"},
             {"users", "edit", "user", "--new-password", "newpass1"}}) {
        const ProcessResult r = Ctl(command);
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_TRUE(Contains(r.err, "用户信息无法写入！")) << r.err;
    }
    const ProcessResult r =
        Ctl({"passwd", "--old", "user1234", "--new", "newpass1"}, "user", "user1234");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(Contains(r.err, "用户信息无法写入！")) << r.err;
}

TEST_F(AdminCtlTest, PasswdChangesTheOwnPassword) {
    StartDevice();
    ProcessResult r = Ctl({"passwd", "--old", "wrongpw1", "--new", "newpass1"}, "user", "user1234");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(Contains(r.err, "旧密码输入错误！")) << r.err;
    r = Ctl({"passwd", "--old", "user1234", "--new", "newpass1"}, "user", "user1234");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(Ctl({"login"}, "user", "newpass1").exitCode, 0);
    EXPECT_EQ(Ctl({"login"}, "user", "user1234").exitCode, 1);
}

TEST_F(AdminCtlTest, NetworkReadChangeWrite) {
    StartDevice();
    ProcessResult r = Ctl({"network", "get"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(Contains(r.out, "00-1A-2B-3C-4D-5E")) << r.out;
    EXPECT_TRUE(Contains(r.out, "192.168.1.100")) << r.out;
    r = Ctl({"network", "set", "--ip", "10.1.2.3", "--mask", "255.255.0.0"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const network::NetworkConfig n = device->State().network;
    EXPECT_EQ(n.ipAddress, 0x0A010203u);
    EXPECT_EQ(n.subnetMask, 0xFFFF0000u);
    EXPECT_EQ(n.gateway, 0xC0A80101u) << "what is not given stays";
    EXPECT_EQ(n.mac, sim::DeviceState::DefaultNetwork().mac) << "the MAC goes back as read";
    // The device keeps listening where it did.
    EXPECT_EQ(Ctl({"login"}).exitCode, 0);
    r = Ctl({"network", "get"}, "user", "user1234");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(Contains(r.err, "普通用户无法设置，请联系管理员！")) << r.err;
}

TEST_F(AdminCtlTest, VideoSettings) {
    StartDevice();
    ProcessResult r = Ctl({"video", "set", "--fps", "15", "--bitrate", "2048"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(device->VideoSettings(), (VideoRate{15, 2048}));
    r = Ctl({"video", "set", "--bitrate", "10"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(device->VideoSettings(), (VideoRate{15, 10})) << "the frame rate stays";
    r = Ctl({"video", "get"});
    EXPECT_TRUE(Contains(r.out, "15 fps")) << r.out;
    Restart([](sim::SimConfig* c) { c->maxFrameRate = 20; });
    r = Ctl({"video", "set", "--fps", "25"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(Contains(r.err, "视频设置失败！")) << r.err;
}

TEST_F(AdminCtlTest, SleepTime) {
    StartDevice();
    ProcessResult r = Ctl({"sleep", "set", "30"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    r = Ctl({"sleep", "get"});
    EXPECT_TRUE(Contains(r.out, "30 minutes")) << r.out;
    r = Ctl({"sleep", "set", "0"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(device->State().sleepMinutes, 0);
    Restart([](sim::SimConfig* c) { c->sleepRefused = true; });
    r = Ctl({"sleep", "set", "45"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(Contains(r.err, "设置休眠时间错误！")) << r.err;
}

TEST_F(AdminCtlTest, LogListsClearsAndReportsRefusal) {
    StartDevice();
    ASSERT_EQ(Ctl({"login"}, "user", "user1234").exitCode, 0);
    ASSERT_TRUE(WaitReceived(msg::kLoginRecord, 2));
    ProcessResult r = Ctl({"log"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(Contains(r.out, "登录")) << r.out;
    EXPECT_TRUE(Contains(r.out, "登出")) << r.out;
    EXPECT_TRUE(Contains(r.out, "user")) << r.out;
    r = Ctl({"log", "--format", "json"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out.front(), '[');
    EXPECT_TRUE(Contains(r.out, "\"event\": \"登出\"")) << r.out;
    r = Ctl({"log", "--format", "csv"});
    EXPECT_EQ(r.out.rfind("time,address,user,event\n", 0), 0u) << r.out;
    // Without --yes the question is asked on standard input; anything but yes keeps the log.
    for (const char* answer : {"n\n", "", "yess\n"}) {
        r = Ctl({"log", "clear"}, "admin", "admin123", answer);
        EXPECT_EQ(r.exitCode, 1) << answer;
        EXPECT_TRUE(Contains(r.err, "the log was not cleared")) << r.err;
    }
    EXPECT_TRUE(Received(msg::kLogClear).empty());
    r = Ctl({"log", "clear"}, "admin", "admin123", "y\n");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(Received(msg::kLogClear).size(), 1u);
    r = Ctl({"log", "clear", "--yes"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    // The clearing session's own logout comes after the clear: it is the ninth
    // session's second record.
    ASSERT_TRUE(WaitReceived(msg::kLoginRecord, 18));
    EXPECT_EQ(device->UserLog().size(), 1u);
    Restart([](sim::SimConfig* c) { c->logClearFails = true; });
    r = Ctl({"log", "clear", "--yes"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(Contains(r.err, "清除日志出错！")) << r.err;
}

TEST_F(AdminCtlTest, OrdinaryUserSetsNothing) {
    StartDevice();
    const std::vector<std::string> commands[] = {
        {"video", "get"},   {"video", "set", "--fps", "10"},
        {"sleep", "get"},   {"sleep", "set", "5"},
        {"users", "list"},  {"users", "delete", "admin"},
        {"network", "get"}, {"network", "set", "--ip", "10.1.2.3"}};
    for (const auto& command : commands) {
        SCOPED_TRACE(command[0] + " " + command[1]);
        const ProcessResult r = Ctl(command, "user", "user1234");
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_TRUE(Contains(r.err, "普通用户无法设置，请联系管理员！")) << r.err;
    }
    EXPECT_TRUE(Received(msg::kVideoSettings).empty());
    EXPECT_TRUE(Received(msg::kSleepTime).empty());
    EXPECT_TRUE(Received(msg::kUserList).empty());
    EXPECT_TRUE(Received(msg::kUserWrite).empty());
    EXPECT_TRUE(Received(msg::kNetworkSettings).empty());
}

TEST_F(AdminCtlTest, FirmwareUpgradeAndItsFailures) {
    ScratchFolder folder;
    const std::string path = folder.File("image.bin");
    std::vector<uint8_t> image(10000, 0x42);
    image[0] = 0xFC;
    image[4] = 10000 & 0xFF;
    image[5] = 10000 >> 8;
    image[6] = image[7] = 0;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(image.data()),
               static_cast<std::streamsize>(image.size()));
    StartDevice();
    ProcessResult r = Ctl({"firmware", path});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(Contains(r.out, "固件升级成功！")) << r.out;
    EXPECT_EQ(device->State().firmware, image);
    r = Ctl({"firmware", path}, "user", "user1234");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(Contains(r.err, "普通用户无法设置，请联系管理员！")) << r.err;

    Restart([](sim::SimConfig* c) { c->firmwareRefuseChunk = 1; });
    r = Ctl({"firmware", path});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(Contains(r.err, "固件升级失败！")) << r.err;
    Restart([](sim::SimConfig* c) { c->firmwareWrongAckChunk = 0; });
    r = Ctl({"firmware", path});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(Contains(r.err, "固件升级失败！")) << r.err;
    Restart([](sim::SimConfig* c) { c->faults.silent = {msg::kFirmwareBlock}; });
    r = Ctl({"firmware", path});
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_TRUE(Contains(r.err, "通讯超时！")) << r.err;

    image[4] = 0x11;  // the size field no longer matches
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(image.data()),
               static_cast<std::streamsize>(image.size()));
    r = Ctl({"firmware", path});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(Contains(r.err, "固件文件错误！")) << r.err;
}

TEST_F(AdminCtlTest, SilentDeviceTimesOutWithExitThree) {
    const struct {
        std::vector<std::string> command;
        uint8_t silent;
    } cases[] = {
        {{"info"}, msg::kFirmwareVersion},
        {{"users", "list"}, msg::kUserList},
        {{"network", "get"}, msg::kNetworkSettings},
        {{"video", "get"}, msg::kVideoSettings},
        {{"sleep", "get"}, msg::kSleepTime},
        {{"log"}, msg::kLogRead},
        {{"log", "clear", "--yes"}, msg::kLogClear},
        // The write commands: a read of the same type comes first where the command
        // fills in what it was not given.
        {{"info", "set-name", "kvmroom01"}, msg::kIdentity},
        {{"users", "add", "guest1", "guestpw1"}, msg::kUserWrite},
        {{"users", "delete", "user"}, msg::kUserWrite},
        {{"passwd", "--old", "admin123", "--new", "admin456"}, msg::kUserWrite},
        {{"network", "set", "--ip", "10.1.2.3"}, msg::kNetworkSettings},
        {{"video", "set", "--fps", "10"}, msg::kVideoSettings},
        {{"sleep", "set", "5"}, msg::kSleepTime},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command[0] + (c.command.size() > 1 ? " " + c.command[1] : ""));
        device.reset();
        config = sim::SimConfig{};
        config.listenAddress = TestAddress();
        config.faults.silent = {c.silent};
        StartDevice();
        const ProcessResult r = Ctl(c.command);
        EXPECT_EQ(r.exitCode, 3);
        EXPECT_TRUE(Contains(r.err, "通讯超时！")) << r.err;
    }
}

}  // namespace
}  // namespace vantelsor::test
