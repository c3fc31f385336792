// vantelsorctl screenshot, the real program, against the simulated device's stream.
#include <gtest/gtest.h>
#include <png.h>

#include <cstring>
#include <string>
#include <vector>

#include "RunProcess.h"
#include "ScratchFolder.h"
#include "SimFixture.h"
#include "VideoSupport.h"
#include "net/AddressText.h"
#include "protocol/MessageTypes.h"

namespace vantelsor::test {
namespace {

class CtlScreenshotTest : public SimFixture {
  protected:
    CtlScreenshotTest() { config.fixedClock = "23:59:58"; }

    ProcessResult Screenshot(std::vector<std::string> arguments) const {
        std::vector<std::string> args = {"--device",   AddressText(config.listenAddress),
                                         "--user",     "admin",
                                         "--password", "admin123",
                                         "screenshot"};
        args.insert(args.end(), arguments.begin(), arguments.end());
        return RunProcess(VANTELSORCTL_PATH, args);
    }

    // The PNG's pixels as top-down BGRA, the layout of the device's source picture.
    static bool ReadPng(const std::string& file, int* width, int* height,
                        std::vector<uint8_t>* bgra) {
        png_image image;
        std::memset(&image, 0, sizeof image);
        image.version = PNG_IMAGE_VERSION;
        if (!png_image_begin_read_from_file(&image, file.c_str())) return false;
        image.format = PNG_FORMAT_BGRA;
        bgra->resize(PNG_IMAGE_SIZE(image));
        *width = static_cast<int>(image.width);
        *height = static_cast<int>(image.height);
        return png_image_finish_read(&image, nullptr, bgra->data(), 0, nullptr) != 0;
    }

    ScratchFolder folder;
};

TEST_F(CtlScreenshotTest, WritesThePictureTheDeviceShows) {
    config.screenWidth = 800;
    config.screenHeight = 600;
    StartDevice();
    const std::string file = folder.File("target.png");
    const auto r = Screenshot({file, "--frames", "3"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("800x600, picture 3"), std::string::npos) << r.out;
    int width = 0, height = 0;
    std::vector<uint8_t> pixels;
    ASSERT_TRUE(ReadPng(file, &width, &height, &pixels));
    ASSERT_EQ(width, 800);
    ASSERT_EQ(height, 600);
    // Psnr takes its first picture bottom-up: turn the PNG's rows over.
    std::vector<uint8_t> bottomUp(pixels.size());
    for (int row = 0; row < height; ++row) {
        std::memcpy(bottomUp.data() + static_cast<size_t>(height - 1 - row) * width * 4,
                    pixels.data() + static_cast<size_t>(row) * width * 4,
                    static_cast<size_t>(width) * 4);
    }
    EXPECT_GT(Psnr(bottomUp, device->Video().RenderNow(), width, height), 35.0);
    // The stream was stopped and the user logged out.
    EXPECT_TRUE(WaitReceived(msg::kStreamControl, 2));
    EXPECT_TRUE(device->WaitForStatus(
        [](const sim::SimStatus& s) { return s.openConnections == 0; }, 5000));
    EXPECT_EQ(device->Video().StreamCount(), 0);
}

TEST_F(CtlScreenshotTest, ErrorsExitWithTheirCodes) {
    config.videoPort = 0;  // streams from a port the client does not send to
    StartDevice();
    struct Case {
        const char* name;
        std::vector<std::string> arguments;
        int exitCode;
        const char* message;
    };
    const Case cases[] = {
        {"no file", {}, 2, "needs the name"},
        {"frames out of range", {"x.png", "--frames", "0"}, 2, "--frames takes"},
        {"unknown option", {"x.png", "--colour"}, 2, "unknown option --colour"},
        {"no picture in time", {folder.File("never.png"), "--frames", "1"}, 3, "no picture"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto args = c.arguments;
        if (c.exitCode == 3) args.insert(args.begin(), {"--reply-timeout", "1500"});
        const auto r = Screenshot(args);
        EXPECT_EQ(r.exitCode, c.exitCode);
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    }
}

}  // namespace
}  // namespace vantelsor::test
