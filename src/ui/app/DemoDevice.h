// The simulated device of `vantelsor --demo`, inside the client: it listens on
// the first free loopback address of a small range (the device's ports are
// fixed, so the address is what has to be free). Start and Stop on the
// user-interface thread; the device runs its own threads.
#pragma once

#include <QString>
#include <memory>

namespace vantelsor::sim {
class DeviceSim;
}

namespace vantelsor::ui {

class DemoDevice {
  public:
    static constexpr const char* kUser = "admin";
    static constexpr const char* kPassword = "admin123";

    DemoDevice();
    ~DemoDevice();

    // False (with error() saying why) when no address of the range was free.
    bool Start();
    QString address() const { return address_; }
    QString error() const { return error_; }

  private:
    std::unique_ptr<sim::DeviceSim> device_;
    QString address_;
    QString error_;
};

}  // namespace vantelsor::ui
