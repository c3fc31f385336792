#include "settings/SettingsStore.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <mutex>
#include <utility>

#include "net/AddressText.h"
#include "res/Strings.h"
#include "settings/IniFile.h"

namespace vantelsor {

namespace {

constexpr const char* kDefaultAddress = "192.168.0.10";

// Sections and keys of config.ini.
constexpr const char* kSectionUsers = "USER_NAME";
constexpr const char* kKeyUserCount = "NAME_NUM";
constexpr const char* kSectionAddresses = "MRU_IP";
constexpr const char* kKeyAddressCount = "IP_NUM";
constexpr const char* kSectionDevices = "DEVICE";
constexpr const char* kKeyDeviceCount = "DEVICE_NUM";
constexpr const char* kDefaultNote = "Default";
constexpr const char* kDefaultUser = "User";
constexpr const char* kSectionWindow = "MAINWNDPOSITION";
constexpr const char* kKeyTopmost = "TOPMOST";
constexpr const char* kKeyLeft = "LEFT";
constexpr const char* kKeyTop = "TOP";
constexpr const char* kKeyWidth = "WIDTH";
constexpr const char* kKeyHeight = "HEIGHT";
constexpr const char* kKeyMaximized = "MAXIMIZED";
constexpr const char* kSectionCursor = "LOCAL_CURSOR";
constexpr const char* kKeyCursorOn = "LOCAL_CURSORON";

constexpr int kDefaultWidth = 800;
constexpr int kDefaultHeight = 600;

struct RecentList {
    const char* section;
    const char* countKey;
    const char* missingValue;  // the value of a missing numbered key
    int limit;
};

constexpr RecentList kUsers{kSectionUsers, kKeyUserCount, "", SettingsStore::kMaxRecentUsers};
constexpr RecentList kAddresses{kSectionAddresses, kKeyAddressCount, kDefaultAddress,
                                SettingsStore::kMaxRecentAddresses};

std::string Number(int k) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%d", k);
    return buf;
}

// One of the device key formats of the string table ("IP%d", ...) with an entry number.
std::string DeviceKey(const char* format, int number) {
    char buf[64];
    std::snprintf(buf, sizeof buf, format, number);
    return buf;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i];
        char y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

// Nothing is cached: each operation reads the file once at its start...
IniFile Read(const std::string& path) {
    IniFile ini;
    ini.Load(path);
    return ini;
}

// ...and, when it changes anything, writes it once at its end. A file that exists but cannot
// be read is never replaced (its contents would be lost); a failed write is ignored.
template <typename Change>
void Modify(const std::string& path, Change&& change) {
    IniFile ini;
    if (ini.Load(path) == IniFile::LoadResult::kFailed) return;
    std::forward<Change>(change)(ini);
    if (ini.Modified()) ini.Save(path);
}

// Move-to-front insert.
void InsertRecent(IniFile& ini, const RecentList& list, const std::string& value) {
    const int n = ini.GetInt(list.section, list.countKey, 0);
    if (n == 0) {
        ini.SetInt(list.section, list.countKey, 1);
        ini.SetString(list.section, "1", value);
        return;
    }
    // A hostile count must not make the insert shift millions of keys.
    const int scan = n < SettingsStore::kMaxRecentListScan ? n : SettingsStore::kMaxRecentListScan;
    int p = scan + 1;  // scan >= 1 here, or negative (then nothing is searched or shifted)
    bool matched = false;
    for (int k = 1; k <= scan; ++k) {
        if (EqualsIgnoringCase(ini.GetString(list.section, Number(k), list.missingValue), value)) {
            p = k;
            matched = true;
            break;
        }
    }
    for (int j = p - 1; j >= 1; --j) {
        ini.SetString(list.section, Number(j + 1),
                      ini.GetString(list.section, Number(j), list.missingValue));
    }
    ini.SetString(list.section, "1", value);
    if (!matched) ini.SetInt(list.section, list.countKey, n >= list.limit ? list.limit : n + 1);
}

bool LoadRecent(const std::string& path, const RecentList& list, std::vector<std::string>* out) {
    IniFile ini = Read(path);
    const int n = ini.GetInt(list.section, list.countKey, 0);
    if (n < 0 || n > list.limit) return false;
    for (int k = 1; k <= n; ++k) {
        std::string v = ini.GetString(list.section, Number(k), list.missingValue);
        if (out != nullptr) out->push_back(std::move(v));
    }
    return true;
}

int GetInt(const std::string& path, const char* section, const char* key, int def) {
    return Read(path).GetInt(section, key, def);
}

void SetInt(const std::string& path, const char* section, const char* key, int value) {
    Modify(path, [&](IniFile& ini) { ini.SetInt(section, key, value); });
}

}  // namespace

void SettingsStore::SetFilePath(std::string path) {
    path_ = std::move(path);
}

void SettingsStore::SetScreenSizeProvider(std::function<ScreenSize()> provider) {
    screenSize_ = std::move(provider);
}

void SettingsStore::AddRecentUser(const std::string& name) {
    Modify(path_, [&](IniFile& ini) { InsertRecent(ini, kUsers, name); });
}

void SettingsStore::ClearRecentUsers() {
    Modify(path_, [](IniFile& ini) { ini.DeleteSection(kSectionUsers); });
}

bool SettingsStore::LoadRecentUsers(std::vector<std::string>* out) const {
    return LoadRecent(path_, kUsers, out);
}

void SettingsStore::AddRecentAddress(const std::string& address) {
    Modify(path_, [&](IniFile& ini) { InsertRecent(ini, kAddresses, address); });
}

void SettingsStore::AddRecentAddress(uint32_t address) {
    AddRecentAddress(AddressText(address));
}

void SettingsStore::ClearRecentAddresses() {
    Modify(path_, [](IniFile& ini) { ini.DeleteSection(kSectionAddresses); });
}

bool SettingsStore::LoadRecentAddresses(std::vector<std::string>* out) const {
    return LoadRecent(path_, kAddresses, out);
}

bool SettingsStore::LoadDeviceBook(std::vector<DeviceEntry>* out) const {
    IniFile ini = Read(path_);
    int n = ini.GetInt(kSectionDevices, kKeyDeviceCount, 0);
    if (n > kMaxDeviceBookEntries) n = kMaxDeviceBookEntries;
    for (int d = 1; d <= n; ++d) {
        DeviceEntry entry;
        entry.address =
            ini.GetString(kSectionDevices, DeviceKey(res::kDeviceKeyAddress, d), kDefaultAddress);
        entry.note =
            ini.GetString(kSectionDevices, DeviceKey(res::kDeviceKeyNote, d), kDefaultNote);
        entry.user =
            ini.GetString(kSectionDevices, DeviceKey(res::kDeviceKeyUser, d), kDefaultUser);
        if (out != nullptr) out->push_back(std::move(entry));
    }
    return true;
}

void SettingsStore::WriteDeviceCount(int count) {
    SetInt(path_, kSectionDevices, kKeyDeviceCount, count);
}

void SettingsStore::WriteDeviceEntry(const std::string& address, const std::string& note,
                                     const std::string& user, int index) {
    // index + 1 without overflow: INT_MAX wraps to INT_MIN as it did in the original.
    const int number = static_cast<int>(static_cast<unsigned>(index) + 1u);
    Modify(path_, [&](IniFile& ini) {
        ini.SetString(kSectionDevices, DeviceKey(res::kDeviceKeyAddress, number), address);
        ini.SetString(kSectionDevices, DeviceKey(res::kDeviceKeyNote, number), note);
        ini.SetString(kSectionDevices, DeviceKey(res::kDeviceKeyUser, number), user);
    });
}

int SettingsStore::GetTopmost() const {
    return GetInt(path_, kSectionWindow, kKeyTopmost, 0);
}
void SettingsStore::SetTopmost(int value) {
    SetInt(path_, kSectionWindow, kKeyTopmost, value);
}

int SettingsStore::GetLeft() const {
    const int width = screenSize_ ? screenSize_().width : kDefaultWidth;
    // In 64 bits so that no screen size overflows; truncates toward zero like the original.
    const auto def = static_cast<int>((static_cast<std::int64_t>(width) - kDefaultWidth) / 2);
    return GetInt(path_, kSectionWindow, kKeyLeft, def);
}
void SettingsStore::SetLeft(int value) {
    SetInt(path_, kSectionWindow, kKeyLeft, value);
}

int SettingsStore::GetTop() const {
    const int height = screenSize_ ? screenSize_().height : kDefaultHeight;
    const auto def = static_cast<int>((static_cast<std::int64_t>(height) - kDefaultHeight) / 2);
    return GetInt(path_, kSectionWindow, kKeyTop, def);
}
void SettingsStore::SetTop(int value) {
    SetInt(path_, kSectionWindow, kKeyTop, value);
}

int SettingsStore::GetWidth() const {
    return GetInt(path_, kSectionWindow, kKeyWidth, kDefaultWidth);
}
void SettingsStore::SetWidth(int value) {
    SetInt(path_, kSectionWindow, kKeyWidth, value);
}

int SettingsStore::GetHeight() const {
    return GetInt(path_, kSectionWindow, kKeyHeight, kDefaultHeight);
}
void SettingsStore::SetHeight(int value) {
    SetInt(path_, kSectionWindow, kKeyHeight, value);
}

int SettingsStore::GetMaximized() const {
    return GetInt(path_, kSectionWindow, kKeyMaximized, 0);
}
void SettingsStore::SetMaximized(int value) {
    SetInt(path_, kSectionWindow, kKeyMaximized, value);
}

int SettingsStore::GetLocalCursorOn() const {
    return GetInt(path_, kSectionCursor, kKeyCursorOn, 1);
}
void SettingsStore::SetLocalCursorOn(int value) {
    SetInt(path_, kSectionCursor, kKeyCursorOn, value);
}

}  // namespace vantelsor
