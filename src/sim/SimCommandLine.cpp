#include "sim/SimCommandLine.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "net/AddressText.h"
#include "sim/AccountsFile.h"

namespace vantelsor::sim {
namespace {

constexpr const char* kUsage =
    "usage: vantelsor-sim [options]\n"
    "A simulated IP KVM device (control connection) for tests and demonstrations.\n"
    "\n"
    "  --listen ADDR         IPv4 address to listen on (default 127.0.0.1)\n"
    "  --port N              control port (default 5552; 0: any free port)\n"
    "  --accounts FILE       accounts, one \"name password type\" a line (type 1\n"
    "                        administrator, 2 ordinary user; '#' starts a comment line);\n"
    "                        default admin/admin123 (1) and user/user1234 (2)\n"
    "  --version-status N    status of the version check reply 0xA1 (default 0)\n"
    "  --login-status N      force the status of every login reply 0xA3\n"
    "  --slots N             concurrent logged-in users (default 4)\n"
    "  --control-busy        refuse every operation-right request 0xA9 (0xFF)\n"
    "  --reboot-delay MS     after a reboot 0xB0, listen again after MS (default 3000)\n"
    "  --lock-leds N         target lock LEDs: bit 0 Num, bit 1 Caps, bit 2 Scroll\n"
    "  --key HEX16           session key for every connection (default: random)\n"
    "  --silent TYPE         never reply to messages of TYPE (repeatable)\n"
    "  --delay TYPE:MS       delay replies to TYPE by MS (repeatable)\n"
    "  --close-after N       close a connection on receiving its N-th message\n"
    "  --garbage TYPE:N      reply to TYPE with N bytes drawn from the seed (repeatable)\n"
    "  --seed S              seed of every injected fault (garbage bytes, video\n"
    "                        faults): the same seed replays the same faults (default 1)\n"
    "  --trace FILE|-        record every received message (\"-\": standard output)\n"
    "  --state FILE          keep accounts, settings, log and firmware in FILE (and\n"
    "                        FILE.firmware) across reboots and restarts\n"
    "  --account-write-fails answer every account write 0xA7 with 0xFE\n"
    "  --sleep-refused       do not take sleep time writes 0xB6\n"
    "  --log-clear-fails     answer the log clear 0xAC with 0xFF\n"
    "  --max-frame-rate N    answer higher video frame rates with 0xFFFF (default 30)\n"
    "  --firmware-refuse-chunk K  refuse firmware chunk K (status 1)\n"
    "  --firmware-wrong-ack K     acknowledge firmware chunk K with index K + 1\n"
    "\n"
    "Video (UDP, to every logged-in client that sends the start datagram 0xA5):\n"
    "  --video-port N        video port (default 5553; 0: any free port)\n"
    "  --size WxH            the target's screen (default 1280x1024)\n"
    "  --key-interval N      pictures between key frames (default 50)\n"
    "  --clock TEXT          show TEXT instead of the local time (a still picture)\n"
    "  --picture-out FILE    write each new picture, before encoding, to FILE (PPM)\n"
    "  --video-loss P        drop each datagram with probability P (0 to 1); which\n"
    "                        datagrams the video faults hit follows from --seed\n"
    "  --video-reorder P     send a datagram after the next one, probability P\n"
    "  --video-duplicate P   send a datagram twice, probability P\n"
    "  --video-damage P      damage a datagram's header, probability P\n"
    "  --help                show this text\n"
    "\n"
    "Numbers are decimal or hexadecimal with 0x. Prints \"vantelsor-sim listening on\n"
    "ADDR:PORT\" when ready; SIGINT or SIGTERM stop it. Exit status 2: bad arguments.\n";

// Decimal or 0x hexadecimal, no sign, no trailing characters, at most `max`.
bool ParseNumber(std::string_view text, uint64_t max, uint64_t* value) {
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty()) return false;
    uint64_t v = 0;
    for (char ch : text) {
        int digit;
        if (ch >= '0' && ch <= '9') {
            digit = ch - '0';
        } else if (base == 16 && ch >= 'a' && ch <= 'f') {
            digit = ch - 'a' + 10;
        } else if (base == 16 && ch >= 'A' && ch <= 'F') {
            digit = ch - 'A' + 10;
        } else {
            return false;
        }
        // Checked before it is computed: with a max of 2^64 - 1 the value would wrap.
        const auto d = static_cast<uint64_t>(digit);
        if (d > max || v > (max - d) / static_cast<uint64_t>(base)) return false;
        v = v * static_cast<uint64_t>(base) + static_cast<uint64_t>(digit);
    }
    *value = v;
    return true;
}

bool ParseKey(std::string_view text, SessionKey* key) {
    if (text.size() != 16) return false;
    for (size_t i = 0; i < 8; ++i) {
        uint64_t byte;
        if (!ParseNumber("0x" + std::string(text.substr(2 * i, 2)), 0xFF, &byte)) return false;
        (*key)[i] = static_cast<uint8_t>(byte);
    }
    return true;
}

// Options without a value.
constexpr std::string_view kFlags[] = {"--control-busy", "--account-write-fails", "--sleep-refused",
                                       "--log-clear-fails"};
// Options with one value.
constexpr std::string_view kValueOptions[] = {"--listen",
                                              "--port",
                                              "--accounts",
                                              "--version-status",
                                              "--login-status",
                                              "--slots",
                                              "--reboot-delay",
                                              "--lock-leds",
                                              "--key",
                                              "--silent",
                                              "--delay",
                                              "--close-after",
                                              "--garbage",
                                              "--trace",
                                              "--state",
                                              "--firmware-refuse-chunk",
                                              "--firmware-wrong-ack",
                                              "--max-frame-rate",
                                              "--seed"};

// Options of the video stream, with one value.
constexpr std::string_view kVideoOptions[] = {
    "--video-port", "--size",          "--key-interval",    "--clock",       "--picture-out",
    "--video-loss", "--video-reorder", "--video-duplicate", "--video-damage"};

// A probability: a decimal number from 0 to 1.
bool ParseProbability(const std::string& text, double* out) {
    if (text.empty() || text.find_first_not_of("0123456789.") != std::string::npos) return false;
    char* end = nullptr;
    const double p = std::strtod(text.c_str(), &end);
    if (*end != '\0' || p < 0 || p > 1) return false;
    *out = p;
    return true;
}

bool OneOf(std::string_view option, const auto& names) {
    for (std::string_view name : names) {
        if (name == option) return true;
    }
    return false;
}

class Parser {
  public:
    Parser(SimConfig* config, std::string* error) : config_(config), error_(error) {}

    CommandLineResult Run(const std::vector<std::string>& args) {
        config_->listenAddress = 0x7F000001;
        for (const std::string& a : args) {
            if (a == "--help" || a == "-h") return CommandLineResult::kHelp;
        }
        for (size_t i = 0; i < args.size(); ++i) {
            const std::string& a = args[i];
            if (OneOf(a, kFlags)) {
                SetFlag(a);
            } else if (!OneOf(a, kValueOptions) && !OneOf(a, kVideoOptions)) {
                *error_ = a.rfind('-', 0) == 0 ? "unknown option '" + a + "'"
                                               : "unexpected argument '" + a + "'";
                return CommandLineResult::kError;
            } else if (i + 1 == args.size()) {
                *error_ = a + " needs a value";
                return CommandLineResult::kError;
            } else if (!Apply(a, args[++i])) {
                return CommandLineResult::kError;
            }
        }
        return CommandLineResult::kRun;
    }

  private:
    void SetFlag(const std::string& a) {
        if (a == "--control-busy") config_->controlBusy = true;
        if (a == "--account-write-fails") config_->accountWriteFails = true;
        if (a == "--sleep-refused") config_->sleepRefused = true;
        if (a == "--log-clear-fails") config_->logClearFails = true;
    }

    bool Apply(const std::string& a, const std::string& v) {
        if (OneOf(a, kVideoOptions)) return ApplyVideo(a, v);
        Faults& f = config_->faults;
        if (a == "--max-frame-rate") return Number(a, v, 0xFFFF, &config_->maxFrameRate);
        if (a == "--seed") return Number(a, v, UINT64_MAX, &config_->faultSeed);
        if (a == "--state") {
            config_->statePath = v;
            return true;
        }
        if (a == "--firmware-refuse-chunk" || a == "--firmware-wrong-ack") {
            int k;
            if (!Number(a, v, 65535, &k)) return false;
            (a == "--firmware-refuse-chunk" ? config_->firmwareRefuseChunk
                                            : config_->firmwareWrongAckChunk) = k;
            return true;
        }
        if (a == "--listen") {
            return ParseAddress(v, &config_->listenAddress) || Fail(a, v, "an IPv4 address");
        }
        if (a == "--port") return Number(a, v, 0xFFFF, &config_->controlPort);
        if (a == "--accounts") {
            if (LoadAccounts(v, &config_->accounts, error_)) return true;
            *error_ = a + ": " + *error_;
            return false;
        }
        if (a == "--version-status") return Number(a, v, 0xFF, &config_->versionStatus);
        if (a == "--login-status") {
            uint8_t status;
            if (!Number(a, v, 0xFF, &status)) return false;
            config_->loginStatus = status;
            return true;
        }
        if (a == "--slots") return Number(a, v, 1000, &config_->loginSlots);
        if (a == "--reboot-delay") return Number(a, v, 3600000, &config_->rebootDelayMs);
        if (a == "--lock-leds") return Number(a, v, 7, &config_->lockLeds);
        if (a == "--key") {
            SessionKey key;
            if (!ParseKey(v, &key)) return Fail(a, v, "16 hexadecimal digits");
            config_->fixedKey = key;
            return true;
        }
        if (a == "--silent") {
            uint8_t type;
            if (!Number(a, v, 0xFF, &type)) return false;
            f.silent.insert(type);
            return true;
        }
        if (a == "--delay") {
            uint8_t type;
            uint32_t ms;
            if (!Pair(a, v, 3600000, &type, &ms)) return false;
            f.delayMs[type] = ms;
            return true;
        }
        if (a == "--close-after") return Number(a, v, 1000000, &f.closeAfterMessages);
        if (a == "--garbage") {
            uint8_t type;
            int count;
            if (!Pair(a, v, 65536, &type, &count)) return false;
            f.garbage[type] = count;
            return true;
        }
        config_->tracePath = v;  // --trace
        return true;
    }

    bool ApplyVideo(const std::string& a, const std::string& v) {
        if (a == "--video-port") return Number(a, v, 0xFFFF, &config_->videoPort);
        if (a == "--size") return Size(a, v);
        if (a == "--key-interval") return Number(a, v, 10000, &config_->keyInterval);
        if (a == "--clock") {
            config_->fixedClock = v;
            return true;
        }
        if (a == "--picture-out") {
            config_->pictureFile = v;
            return true;
        }
        VideoFaults& f = config_->videoFaults;
        double* p = a == "--video-loss"        ? &f.loss
                    : a == "--video-reorder"   ? &f.reorder
                    : a == "--video-duplicate" ? &f.duplicate
                                               : &f.damage;
        return ParseProbability(v, p) || Fail(a, v, "a probability from 0 to 1");
    }

    // WxH, each from 16 to 4096.
    bool Size(const std::string& option, const std::string& v) {
        const size_t x = v.find('x');
        uint64_t w, h;
        if (x == std::string::npos || !ParseNumber(std::string_view(v).substr(0, x), 4096, &w) ||
            !ParseNumber(std::string_view(v).substr(x + 1), 4096, &h) || w < 16 || h < 16) {
            return Fail(option, v, "WxH with W and H from 16 to 4096");
        }
        config_->screenWidth = static_cast<int>(w);
        config_->screenHeight = static_cast<int>(h);
        return true;
    }

    template <typename T>
    bool Number(const std::string& option, const std::string& v, uint64_t max, T* out) {
        uint64_t n;
        if (!ParseNumber(v, max, &n)) {
            return Fail(option, v, "a number from 0 to " + std::to_string(max));
        }
        *out = static_cast<T>(n);
        return true;
    }

    // TYPE:N, TYPE a byte.
    template <typename T>
    bool Pair(const std::string& option, const std::string& v, uint64_t max, uint8_t* type,
              T* out) {
        const size_t colon = v.find(':');
        uint64_t t, n;
        if (colon == std::string::npos ||
            !ParseNumber(std::string_view(v).substr(0, colon), 0xFF, &t) ||
            !ParseNumber(std::string_view(v).substr(colon + 1), max, &n)) {
            return Fail(option, v,
                        "TYPE:N with TYPE from 0 to 0xFF and N from 0 to " + std::to_string(max));
        }
        *type = static_cast<uint8_t>(t);
        *out = static_cast<T>(n);
        return true;
    }

    bool Fail(const std::string& option, const std::string& value, const std::string& expected) {
        *error_ = option + ": '" + value + "' is not " + expected;
        return false;
    }

    SimConfig* config_;
    std::string* error_;
};

}  // namespace

CommandLineResult ParseCommandLine(const std::vector<std::string>& args, SimConfig* config,
                                   std::string* error) {
    return Parser(config, error).Run(args);
}

const char* UsageText() {
    return kUsage;
}

}  // namespace vantelsor::sim
