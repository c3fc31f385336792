#include "ui/app/DemoDevice.h"

#include "net/AddressText.h"
#include "sim/DeviceSim.h"

namespace vantelsor::ui {
namespace {

// 127.0.0.77 onward: away from 127.0.0.1, where a real service may listen.
constexpr uint32_t kFirstAddress = 0x7F00004Du;
constexpr int kAddressesTried = 32;

}  // namespace

DemoDevice::DemoDevice() = default;
DemoDevice::~DemoDevice() = default;

bool DemoDevice::Start() {
    for (int i = 0; i < kAddressesTried; ++i) {
        sim::SimConfig config;
        config.listenAddress = kFirstAddress + static_cast<uint32_t>(i);
        auto device = std::make_unique<sim::DeviceSim>(config);
        if (device->Start()) {
            device_ = std::move(device);
            address_ = QString::fromStdString(AddressText(config.listenAddress));
            return true;
        }
        error_ = QString::fromStdString(device->StartError());
    }
    return false;
}

}  // namespace vantelsor::ui
