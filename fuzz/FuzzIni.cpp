// libFuzzer target: config.ini contents are untrusted bytes. Parses them, reads keys and
// integers the way SettingsStore does, writes and deletes, serialises, and checks that the
// document survives a second parse unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>

#include "settings/IniFile.h"

using vantelsor::IniFile;

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

// A short name taken from the input, so the fuzzer can aim at sections and keys it created.
std::string_view Slice(std::string_view data, std::size_t at, std::size_t len) {
    if (data.empty()) return {};
    at %= data.size();
    return data.substr(at, len);
}

// What SetString stores for a value.
std::string Sanitized(std::string_view value) {
    std::string out(value);
    for (char& c : out) {
        if (c == '\r' || c == '\n' || c == '\0') c = ' ';
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, std::size_t size) {
    const std::string_view data(reinterpret_cast<const char*>(bytes), size);
    IniFile ini = IniFile::Parse(data);

    // Parsing keeps every byte.
    Check(ini.Serialize() == data);

    // The store's reads.
    for (const char* section : {"USER_NAME", "MRU_IP", "DEVICE", "MAINWNDPOSITION"}) {
        for (const char* key : {"NAME_NUM", "IP_NUM", "DEVICE_NUM", "1", "2", "IP1", "LEFT"}) {
            const std::string v = ini.GetString(section, key, "192.168.0.10");
            Check(IniFile::CutUtf8(v, IniFile::kMaxValueChars).size() == v.size());
            (void)ini.GetInt(section, key, 0);
        }
    }
    // Names and values drawn from the input itself.
    const std::string_view s1 = Slice(data, size / 3, 8);
    const std::string_view k1 = Slice(data, size / 2, 6);
    const std::string_view v1 = Slice(data, size / 5, 40);
    (void)ini.GetString(s1, k1, "");
    (void)ini.GetInt(s1, k1, -1);
    (void)IniFile::ParseInt(data);

    // The store's writes; each write reads back at once as the reading rules say.
    const auto set = [&ini](std::string_view section, std::string_view key,
                            std::string_view value) {
        if (!ini.SetString(section, key, value)) return false;
        Check(ini.GetValue(section, key) == IniFile::CookValue(Sanitized(value)));
        return true;
    };
    Check(ini.SetInt("USER_NAME", "NAME_NUM", ini.GetInt("USER_NAME", "NAME_NUM", 0)));
    Check(set("USER_NAME", "1", v1));
    Check(set("MRU_IP", "2", "10.0.0.1"));
    set(s1, k1, v1);
    ini.DeleteSection("DEVICE");
    Check(ini.GetString("DEVICE", "IP1", "gone") == "gone");
    Check(set("DEVICE", "IP1", "192.168.0.20"));
    set(k1, s1, data);

    // What was written reads the same after a round trip through bytes.
    const std::string out = ini.Serialize();
    IniFile again = IniFile::Parse(out);
    Check(again.Serialize() == out);
    for (const auto& [section, key] :
         {std::pair<std::string_view, std::string_view>{"USER_NAME", "NAME_NUM"},
          {"USER_NAME", "1"},
          {"MRU_IP", "2"},
          {"DEVICE", "IP1"},
          {s1, k1},
          {k1, s1}}) {
        Check(again.GetValue(section, key) == ini.GetValue(section, key));
    }

    again.DeleteSection("USER_NAME");
    Check(again.GetString("USER_NAME", "1", "gone") == "gone");
    return 0;
}
