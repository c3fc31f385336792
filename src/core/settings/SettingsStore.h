// The single access point to config.ini: recent user names and device addresses,
// the device book, the main window's placement and the local cursor mode.
//
// Nothing is cached: every operation reads the file, and every change is written
// at once (atomically: a temporary file renamed over the old one). A missing or
// unreadable file gives the defaults; no operation reports a failure.
// Used from the user-interface thread only; no lock.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vantelsor {

struct DeviceEntry {
    std::string address;
    std::string note;
    std::string user;
};

struct ScreenSize {
    int width = 0;
    int height = 0;
};

class SettingsStore {
  public:
    static constexpr int kMaxRecentUsers = 5;
    static constexpr int kMaxRecentAddresses = 8;
    // Not in the original, which trusts the counts in the file: LoadDeviceBook loads at most
    // this many entries (a hostile DEVICE_NUM of 2000000000 would hang or exhaust memory), and
    // an insert into a recent list looks at no more than this many numbered keys.
    static constexpr int kMaxDeviceBookEntries = 1000;
    static constexpr int kMaxRecentListScan = 1000;

    SettingsStore() = default;

    void SetFilePath(std::string path);
    const std::string& FilePath() const { return path_; }

    // The primary screen's size at the moment of the call, for the LEFT and TOP
    // defaults; the desktop client installs one. Without it the screen counts as 800 x 600.
    void SetScreenSizeProvider(std::function<ScreenSize()> provider);

    void AddRecentUser(const std::string& name);
    void ClearRecentUsers();
    bool LoadRecentUsers(std::vector<std::string>* out) const;

    void AddRecentAddress(const std::string& address);
    void AddRecentAddress(uint32_t address);  // host order, written as dotted text
    void ClearRecentAddresses();
    bool LoadRecentAddresses(std::vector<std::string>* out) const;

    bool LoadDeviceBook(std::vector<DeviceEntry>* out) const;
    void WriteDeviceCount(int count);
    void WriteDeviceEntry(const std::string& address, const std::string& note,
                          const std::string& user, int index);

    int GetTopmost() const;
    void SetTopmost(int value);
    int GetLeft() const;
    void SetLeft(int value);
    int GetTop() const;
    void SetTop(int value);
    int GetWidth() const;
    void SetWidth(int value);
    int GetHeight() const;
    void SetHeight(int value);
    int GetMaximized() const;
    void SetMaximized(int value);
    int GetLocalCursorOn() const;
    void SetLocalCursorOn(int value);

  private:
    std::string path_ = "config.ini";
    std::function<ScreenSize()> screenSize_;
};

}  // namespace vantelsor
