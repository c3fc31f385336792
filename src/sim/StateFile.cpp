#include "sim/StateFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <vector>

#include "admin/AdminRules.h"
#include "net/AddressText.h"
#include "settings/AtomicFile.h"

namespace vantelsor::sim {
namespace {

std::string Hex(const void* data, size_t n) {
    static const char* digits = "0123456789abcdef";
    std::string s;
    const auto* p = static_cast<const uint8_t*>(data);
    for (size_t i = 0; i < n; ++i) {
        s += digits[p[i] >> 4];
        s += digits[p[i] & 15];
    }
    return s.empty() ? "-" : s;
}

bool Unhex(std::string_view hex, std::string* out) {
    out->clear();
    if (hex == "-") return true;
    if (hex.size() % 2) return false;
    for (size_t i = 0; i < hex.size(); i += 2) {
        unsigned byte;
        if (std::sscanf(std::string(hex.substr(i, 2)).c_str(), "%2x", &byte) != 1) return false;
        *out += static_cast<char>(byte);
    }
    return true;
}

std::vector<std::string> Split(std::string_view line) {
    std::vector<std::string> f;
    std::istringstream in{std::string(line)};
    for (std::string w; in >> w;) f.push_back(w);
    return f;
}

bool Number(const std::string& s, unsigned long max, unsigned long* v) {
    if (s.empty() || s.find_first_not_of("0123456789") != std::string::npos || s.size() > 10) {
        return false;
    }
    *v = std::stoul(s);
    return *v <= max;
}

bool Address(const std::string& s, uint32_t* v) {
    return ParseAddress(s, v);
}

// Applies one line to *state; an error text when it is not understood.
std::string ApplyLine(const std::vector<std::string>& f, DeviceState* state, bool* firstAccount) {
    const std::string& key = f[0];
    unsigned long a, b, c, d, e;
    auto count = [&](size_t n) { return f.size() == n; };
    if (key == "account" && count(4)) {
        Account acc;
        if (!Unhex(f[1], &acc.name) || !Unhex(f[2], &acc.password) || acc.name.size() > 16 ||
            acc.password.size() > 16 || !Number(f[3], 0xFFFF, &a)) {
            return "bad account";
        }
        acc.type = static_cast<uint16_t>(a);
        if (*firstAccount) state->accounts.clear();
        *firstAccount = false;
        state->accounts.push_back(acc);
        return {};
    }
    if (key == "network" && count(7)) {
        network::NetworkConfig n;
        rules::MacBytes mac{};
        if (f[1].size() != 17 || !rules::ParseMac(f[1], &mac) || !Address(f[2], &n.ipAddress) ||
            !Address(f[3], &n.subnetMask) || !Address(f[4], &n.gateway) ||
            !Number(f[5], 0xFFFF, &a) || !Number(f[6], 0xFFFF, &b)) {
            return "bad network";
        }
        n.mac = mac;
        n.tcpPort = static_cast<uint16_t>(a);
        n.udpPort = static_cast<uint16_t>(b);
        state->network = n;
        return {};
    }
    if (key == "video" && count(3) && Number(f[1], 0xFFFF, &a) && Number(f[2], 0xFFFF, &b)) {
        state->video = {static_cast<uint16_t>(a), static_cast<uint16_t>(b)};
        return {};
    }
    if (key == "sleep" && count(2) && Number(f[1], 255, &a)) {
        state->sleepMinutes = static_cast<uint8_t>(a);
        return {};
    }
    std::string text;
    if (key == "uid" && count(2) && Unhex(f[1], &text) && text.size() <= 16) {
        state->uid = identity::PackText(text);
        return {};
    }
    if (key == "name" && count(2) && Unhex(f[1], &text) && text.size() <= 16) {
        state->name = text;
        return {};
    }
    if (key == "version" && count(3) && Number(f[1], 255, &a) && Number(f[2], 255, &b)) {
        state->versionMajor = static_cast<uint8_t>(a);
        state->versionMinor = static_cast<uint8_t>(b);
        return {};
    }
    if (key == "log" && count(9)) {
        login::LoginRecord r;
        uint32_t address = 0;
        unsigned long event;
        if (!Number(f[1], 0xFFFF, &a) || !Number(f[2], 0xFFFF, &b) || !Number(f[3], 0xFFFF, &c) ||
            !Number(f[4], 0xFFFF, &d) || !Number(f[5], 0xFFFF, &e) || !Address(f[6], &address) ||
            !Unhex(f[7], &text) || text.size() > 16 || !Number(f[8], 0xFFFF, &event)) {
            return "bad log record";
        }
        r.year = static_cast<uint16_t>(a);
        r.month = static_cast<uint16_t>(b);
        r.day = static_cast<uint16_t>(c);
        r.hour = static_cast<uint16_t>(d);
        r.minute = static_cast<uint16_t>(e);
        r.clientAddress = {static_cast<uint8_t>(address >> 24), static_cast<uint8_t>(address >> 16),
                           static_cast<uint8_t>(address >> 8), static_cast<uint8_t>(address)};
        r.user = login::MakeField(text);
        r.event = static_cast<uint16_t>(event);
        state->log.push_back(r);
        return {};
    }
    return "not understood: \"" + key + "\"";
}

}  // namespace

std::string FormatState(const DeviceState& s) {
    std::ostringstream out;
    out << "# vantelsor-sim device state\n";
    for (const Account& a : s.accounts) {
        out << "account " << Hex(a.name.data(), a.name.size()) << ' '
            << Hex(a.password.data(), a.password.size()) << ' ' << a.type << '\n';
    }
    const auto& n = s.network;
    out << "network " << rules::FormatMac(n.mac) << ' ' << AddressText(n.ipAddress) << ' '
        << AddressText(n.subnetMask) << ' ' << AddressText(n.gateway) << ' ' << n.tcpPort << ' '
        << n.udpPort << '\n';
    out << "video " << s.video.frameRate << ' ' << s.video.bitRate << '\n';
    out << "sleep " << int{s.sleepMinutes} << '\n';
    const std::string uid = identity::TextOf(s.uid);
    out << "uid " << Hex(uid.data(), uid.size()) << '\n';
    out << "name " << Hex(s.name.data(), s.name.size()) << '\n';
    out << "version " << int{s.versionMajor} << ' ' << int{s.versionMinor} << '\n';
    for (const login::LoginRecord& r : s.log) {
        const uint32_t address = uint32_t{r.clientAddress[0]} << 24 |
                                 uint32_t{r.clientAddress[1]} << 16 |
                                 uint32_t{r.clientAddress[2]} << 8 | r.clientAddress[3];
        const size_t n16 = std::min<size_t>(r.user.length, 16);
        out << "log " << r.year << ' ' << r.month << ' ' << r.day << ' ' << r.hour << ' '
            << r.minute << ' ' << AddressText(address) << ' ' << Hex(r.user.bytes.data(), n16)
            << ' ' << r.event << '\n';
    }
    return out.str();
}

bool ParseState(std::string_view text, DeviceState* state, std::string* error) {
    DeviceState parsed = *state;
    parsed.log.clear();
    bool firstAccount = true;
    int number = 0;
    std::istringstream in{std::string(text)};
    for (std::string line; std::getline(in, line);) {
        ++number;
        const std::vector<std::string> f = Split(line);
        if (f.empty() || f[0][0] == '#') continue;
        const std::string problem = ApplyLine(f, &parsed, &firstAccount);
        if (!problem.empty()) {
            *error = "line " + std::to_string(number) + ": " + problem;
            return false;
        }
    }
    if (parsed.log.size() > kMaxLogRecords) {
        parsed.log.erase(parsed.log.begin(), parsed.log.end() - kMaxLogRecords);
    }
    *state = std::move(parsed);
    return true;
}

bool LoadState(const std::string& path, DeviceState* state, std::string* error) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        if (errno == ENOENT) return true;
        *error = "cannot read " + path + ": " + std::strerror(errno);
        return false;
    }
    std::ostringstream text;
    text << file.rdbuf();
    if (!ParseState(text.str(), state, error)) {
        *error = path + ": " + *error;
        return false;
    }
    std::ifstream image(path + ".firmware", std::ios::binary);
    if (image) {
        state->firmware.assign(std::istreambuf_iterator<char>(image),
                               std::istreambuf_iterator<char>());
    }
    return true;
}

namespace {

bool WriteAtomically(const std::string& path, const void* data, size_t size, std::string* error) {
    const int failure =
        AtomicFile::Write(path, std::string_view(static_cast<const char*>(data), size));
    if (failure != 0) *error = "cannot write " + path + ": " + std::strerror(failure);
    return failure == 0;
}

}  // namespace

bool SaveState(const std::string& path, const DeviceState& state, bool withFirmware,
               std::string* error) {
    if (withFirmware &&
        !WriteAtomically(path + ".firmware", state.firmware.data(), state.firmware.size(), error)) {
        return false;
    }
    const std::string text = FormatState(state);
    return WriteAtomically(path, text.data(), text.size(), error);
}

}  // namespace vantelsor::sim
