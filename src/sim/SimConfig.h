// What a simulated device is made of: its accounts, its answers, its faults and
// where it writes its trace. Plain values; the owner of a DeviceSim fills one in
// before Start and the device keeps its own copy.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "crypto/FieldCipher.h"

namespace vantelsor::sim {

inline constexpr uint16_t kAdministrator = 1;
inline constexpr uint16_t kOrdinaryUser = 2;
inline constexpr uint64_t kDefaultFaultSeed = 1;

struct Account {
    std::string name;      // at most 16 bytes, compared exactly
    std::string password;  // at most 16 bytes
    uint16_t type = kOrdinaryUser;

    bool operator==(const Account&) const = default;
};

// administrator "admin"/"admin123", ordinary user "user"/"user1234".
inline std::vector<Account> DefaultAccounts() {
    return {{"admin", "admin123", kAdministrator}, {"user", "user1234", kOrdinaryUser}};
}

// Faults act on the device's reply to a message of the given type, after the
// device has acted on the message (a silenced login still logs in).
struct Faults {
    std::set<uint8_t> silent;             // message types that get no reply
    std::map<uint8_t, uint32_t> delayMs;  // reply delay per message type
    int closeAfterMessages = 0;      // close a connection on receiving its N-th message (0: never)
    std::map<uint8_t, int> garbage;  // reply with N seeded bytes instead of the reply to this type
};

// Faults of the video stream, each a probability per datagram (0..1). Which datagrams
// they hit is decided by the device's fault seed (see FaultPolicy).
struct VideoFaults {
    double loss = 0;       // not sent
    double reorder = 0;    // sent after the datagram that follows it
    double duplicate = 0;  // sent twice
    double damage = 0;     // header damaged (version bits), so a client must reject it
    bool operator==(const VideoFaults&) const = default;
};

struct SimConfig {
    uint32_t listenAddress = 0x7F000001;  // host order
    uint16_t controlPort = 5552;          // 0: any free port (DeviceSim::ControlPort tells which)
    std::vector<Account> accounts = DefaultAccounts();
    uint8_t versionStatus = 0x00;        // 0xA1 reply status
    std::optional<uint8_t> loginStatus;  // forces the 0xA3 reply status
    int loginSlots = 4;                  // concurrent logged-in users; beyond: 0xFC
    bool controlBusy = false;            // 0xA9 answered 0xFF (right held elsewhere, not movable)
    uint32_t rebootDelayMs = 3000;       // 0xB0: drop everything, listen again after this
    uint8_t lockLeds = 0;                // bit 0 NumLock, bit 1 CapsLock, bit 2 ScrollLock
    std::optional<SessionKey> fixedKey;  // otherwise a fresh random key per connection
    int screenWidth = 1280;              // the simulated target's screen, in pixels
    int screenHeight = 1024;
    uint16_t videoPort = 5553;  // UDP; 0: any free port (DeviceSim::VideoPort tells which)
    int keyInterval = 50;       // pictures between key frames
    VideoFaults videoFaults;
    std::string fixedClock;  // "" the local time; else the clock shows this text
    // "" none; else every new picture the device encodes is also written there, as it
    // was before encoding (binary PPM), so a viewer's picture can be compared with it.
    std::string pictureFile;
    // The device's persistent state (accounts, settings, log, firmware image):
    // "" keeps it in memory only; otherwise read at start and written after
    // every change, the firmware image beside it in "<path>.firmware".
    std::string statePath;
    // Refusals of the administration messages.
    bool accountWriteFails = false;            // every account write answered 0xFE
    bool sleepRefused = false;                 // a sleep time write is not taken
    bool logClearFails = false;                // 0xAC answered 0xFF
    int maxFrameRate = 30;                     // higher frame rates are answered 0xFFFF
    std::optional<int> firmwareRefuseChunk;    // this chunk index is refused (status 1)
    std::optional<int> firmwareWrongAckChunk;  // this chunk is acknowledged with index + 1
    Faults faults;
    // Decides every injected fault (video datagrams, garbage replies): the same seed
    // gives the same faults. Fixed unless chosen, so a run that sets no seed replays too.
    uint64_t faultSeed = kDefaultFaultSeed;
    std::string tracePath;  // "" none, "-" stdout, else a file (appended, flushed per line)
    // Received messages kept in memory for Trace(); beyond it the oldest go (the
    // trace file keeps every line). Bounds a long demonstration or a flood.
    size_t traceCapacity = 100000;
};

// One message the device received, with its reading of it. Connections are
// numbered from 1 in the order they were accepted, across reboots.
struct TraceEntry {
    int connection = 0;
    uint8_t type = 0;
    std::vector<uint8_t> bytes;  // as received; a login's password field is zeroed
    std::string text;            // e.g. "A3 login user=admin len=5 -> 0x81"
};

}  // namespace vantelsor::sim
