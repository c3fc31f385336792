#include "sim/AdminResponder.h"

#include <algorithm>

#include "net/AddressText.h"
#include "protocol/FirmwareMessages.h"
#include "protocol/IdentityMessages.h"
#include "protocol/LogMessages.h"
#include "protocol/MessageTypes.h"
#include "protocol/NetworkMessages.h"
#include "protocol/SleepMessages.h"
#include "protocol/UserMessages.h"
#include "protocol/VideoSettingsMessages.h"

namespace vantelsor::sim {
namespace {

constexpr size_t kMaxAccounts = users::kMaxRecords;
// The most the simulated device stores of an image in progress.
constexpr size_t kMaxReceivedImage = 64u << 20;
constexpr uint8_t kChunkRefused = 1;
constexpr uint8_t kChunkOutOfOrder = 2;
constexpr uint8_t kChunkTooLarge = 3;
constexpr int kMinFrameRate = 1;
constexpr int kMinBitRate = 10, kMaxBitRate = 2048;

template <typename Array>
std::vector<uint8_t> Bytes(const Array& a) {
    return {a.begin(), a.end()};
}

std::string Text(const users::Field& f) {
    return std::string(reinterpret_cast<const char*>(f.bytes.data()),
                       std::min<size_t>(f.length, users::kFieldSize));
}

std::string Status(uint8_t status) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", status);
    return text;
}

// Names from the wire are shown in traces with their non-printable bytes escaped.
std::string Printable(const std::string& s) {
    std::string out;
    for (unsigned char c : s) {
        if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            char e[8];
            std::snprintf(e, sizeof e, "\\x%02X", c);
            out += e;
        }
    }
    return out;
}

}  // namespace

AdminResponder::AdminResponder(DeviceModel* model, const SimConfig& config)
    : model_(model), config_(config) {}

bool AdminResponder::Handles(uint8_t type) {
    switch (type) {
        case msg::kUserList:
        case msg::kUserWrite:
        case msg::kNetworkSettings:
        case msg::kVideoSettings:
        case msg::kSleepTime:
        case msg::kIdentity:
        case msg::kFirmwareVersion:
        case msg::kFirmwareStart:
        case msg::kFirmwareBlock:
        case msg::kLogRead:
        case msg::kLogClear:
            return true;
        default:
            return false;
    }
}

AdminResponder::Answer AdminResponder::Receive(const Requester& requester, const uint8_t* message,
                                               int length) {
    switch (message[0]) {
        case msg::kUserList:
            return UserList();
        case msg::kUserWrite:
            return UserWrite(requester, message);
        case msg::kNetworkSettings:
            return Network(message);
        case msg::kVideoSettings:
            return Video(message);
        case msg::kSleepTime:
            return Sleep(message);
        case msg::kIdentity:
            return Identity(message);
        case msg::kFirmwareVersion:
            return Version();
        case msg::kFirmwareStart:
            return FirmwareStart();
        case msg::kFirmwareBlock:
            return FirmwareChunk(message, length);
        case msg::kLogRead:
            return LogRead();
        default:
            return LogClear();
    }
}

AdminResponder::Answer AdminResponder::UserList() const {
    std::vector<users::UserRecord> records;
    for (const Account& a : model_->state().accounts) {
        users::UserRecord r;
        const users::Field f = users::PackUserField(a.name);
        r.nameLength = f.length;
        r.name = f.bytes;
        r.userType = a.type;
        records.push_back(r);
    }
    return {" -> " + std::to_string(records.size()) + " accounts", users::BuildUserList(records)};
}

AdminResponder::Answer AdminResponder::UserWrite(const Requester& requester,
                                                 const uint8_t* message) {
    const users::UserWrite w = users::ParseUserWrite(requester.key, message);
    Answer a;
    uint8_t status = users::kStatusWriteFailed;
    switch (w.mode) {
        case users::kAdd:
            status = AddUser(Text(w.fields[2]), Text(w.fields[3]), requester);
            a.text = " add " + Printable(Text(w.fields[2]));
            break;
        case users::kModify: {
            std::optional<std::string> old;
            if (w.fields[1].length > 0) old = Text(w.fields[1]);
            status =
                ModifyUser(Text(w.fields[0]), old, Text(w.fields[2]), Text(w.fields[3]), requester);
            a.text = " modify " + Printable(Text(w.fields[0])) + " -> " +
                     Printable(Text(w.fields[2])) + (old ? " (old password given)" : "");
            if (status == users::kStatusOk && Text(w.fields[0]) != Text(w.fields[2])) {
                a.renamedFrom = Text(w.fields[0]);
                a.renamedTo = Text(w.fields[2]);
            }
            break;
        }
        case users::kDelete:
            status = DeleteUser(Text(w.fields[0]), requester);
            a.text = " delete " + Printable(Text(w.fields[0]));
            break;
        default:
            a.text = " mode " + std::to_string(w.mode);
            break;
    }
    a.text += " -> " + Status(status);
    a.reply = std::vector<uint8_t>{msg::kUserWrite, status};
    return a;
}

uint8_t AdminResponder::AddUser(const std::string& name, const std::string& password,
                                const Requester& r) {
    const auto& accounts = model_->state().accounts;
    if (r.userType != kAdministrator || config_.accountWriteFails) {
        return users::kStatusWriteFailed;
    }
    if (std::any_of(accounts.begin(), accounts.end(),
                    [&](const Account& a) { return a.name == name; })) {
        return users::kStatusNameExists;
    }
    if (name.empty() || password.empty() || accounts.size() >= kMaxAccounts) {
        return users::kStatusWriteFailed;
    }
    model_->Update([&](DeviceState& s) { s.accounts.push_back({name, password, kOrdinaryUser}); });
    return users::kStatusOk;
}

uint8_t AdminResponder::ModifyUser(const std::string& current,
                                   const std::optional<std::string>& oldPassword,
                                   const std::string& newName, const std::string& newPassword,
                                   const Requester& r) {
    const auto& accounts = model_->state().accounts;
    const auto it = std::find_if(accounts.begin(), accounts.end(),
                                 [&](const Account& a) { return a.name == current; });
    if (it == accounts.end()) return users::kStatusWriteFailed;
    const bool own = current == r.user;
    // Only an administrator changes other accounts, and only without their
    // old password; one's own account always takes the old password.
    if (!own && r.userType != kAdministrator) return users::kStatusWriteFailed;
    if (own && !oldPassword) return users::kStatusOldPasswordWrong;
    if (oldPassword && *oldPassword != it->password) return users::kStatusOldPasswordWrong;
    if (newName.empty() || newPassword.empty() || config_.accountWriteFails) {
        return users::kStatusWriteFailed;
    }
    if (newName != current && std::any_of(accounts.begin(), accounts.end(),
                                          [&](const Account& a) { return a.name == newName; })) {
        return users::kStatusNameExists;
    }
    const size_t index = static_cast<size_t>(it - accounts.begin());
    model_->Update([&](DeviceState& s) {
        s.accounts[index].name = newName;
        s.accounts[index].password = newPassword;
    });
    return users::kStatusOk;
}

uint8_t AdminResponder::DeleteUser(const std::string& name, const Requester& r) {
    const auto& accounts = model_->state().accounts;
    const auto it = std::find_if(accounts.begin(), accounts.end(),
                                 [&](const Account& a) { return a.name == name; });
    if (it == accounts.end() || name == r.user) return users::kStatusDeleteFailed;
    if (r.userType != kAdministrator || config_.accountWriteFails) {
        return users::kStatusWriteFailed;
    }
    const size_t index = static_cast<size_t>(it - accounts.begin());
    model_->Update([&](DeviceState& s) {
        s.accounts.erase(s.accounts.begin() + static_cast<std::ptrdiff_t>(index));
    });
    return users::kStatusOk;
}

AdminResponder::Answer AdminResponder::Network(const uint8_t* message) {
    uint8_t kind = 0;
    network::NetworkConfig requested;
    network::ParseNetworkMessage(message, network::kMessageSize, &kind, &requested);
    std::string text = kind == network::kWrite ? " write" : " read";
    if (kind == network::kWrite) {
        // The stored configuration changes; the simulator keeps listening where it does.
        model_->Update([&](DeviceState& s) { s.network = requested; });
    } else if (kind != network::kRead) {
        return {" kind " + std::to_string(kind) + " -> no configuration",
                Bytes(network::BuildNetworkMessage(0, {}))};
    }
    const network::NetworkConfig& n = model_->state().network;
    text += " -> " + AddressText(n.ipAddress) + " mask " + AddressText(n.subnetMask) + " gw " +
            AddressText(n.gateway);
    return {text, Bytes(network::BuildNetworkMessage(network::kCarriesConfig, n))};
}

AdminResponder::Answer AdminResponder::Video(const uint8_t* message) {
    const VideoRate current = model_->state().video;
    if (message[1] != videoset::kWrite) {
        return {" read -> " + std::to_string(current.frameRate) + " fps, bit rate " +
                    std::to_string(current.bitRate),
                Bytes(videoset::BuildReply(message[1], current.bitRate, current.frameRate))};
    }
    const VideoRate want = videoset::ParseRates(message);
    const bool fpsOk = want.frameRate >= kMinFrameRate && want.frameRate <= config_.maxFrameRate;
    const bool rateOk = want.bitRate >= kMinBitRate && want.bitRate <= kMaxBitRate;
    if (fpsOk && rateOk) model_->Update([&](DeviceState& s) { s.video = want; });
    const VideoRate now = model_->state().video;
    const uint16_t bitRate = rateOk ? now.bitRate : videoset::kFailure;
    const uint16_t frameRate = fpsOk ? now.frameRate : videoset::kFailure;
    return {" write " + std::to_string(want.frameRate) + " fps, bit rate " +
                std::to_string(want.bitRate) + (fpsOk && rateOk ? " -> taken" : " -> refused"),
            Bytes(videoset::BuildReply(videoset::kWrite, bitRate, frameRate))};
}

AdminResponder::Answer AdminResponder::Sleep(const uint8_t* message) {
    std::string text = " read";
    if (sleeptime::IsWriteRequest(message)) {
        const uint8_t minutes = sleeptime::RequestedMinutes(message);
        text = " write " + std::to_string(minutes);
        if (config_.sleepRefused) {
            text += " (refused)";
        } else {
            model_->Update([&](DeviceState& s) { s.sleepMinutes = minutes; });
        }
    }
    const uint8_t now = model_->state().sleepMinutes;
    return {text + " -> " + std::to_string(now), Bytes(sleeptime::BuildReply(now))};
}

AdminResponder::Answer AdminResponder::Identity(const uint8_t* message) {
    std::string text = " read";
    if (identity::RequestKind(message) == identity::kWrite) {
        const identity::Identity id = identity::ParseMessage(message, identity::kMessageSize);
        // The UID is the device's own: only the name changes.
        model_->Update([&](DeviceState& s) { s.name = identity::TextOf(id.name); });
        text = " write";
    }
    identity::Identity reply;
    reply.uid = model_->state().uid;
    reply.name = identity::PackText(model_->state().name);
    return {text + " -> " + Printable(model_->state().name), Bytes(identity::BuildReply(reply))};
}

AdminResponder::Answer AdminResponder::Version() const {
    const DeviceState& s = model_->state();
    return {" -> " + std::to_string(s.versionMajor) + "." + std::to_string(s.versionMinor),
            Bytes(identity::BuildVersionReply(s.versionMajor, s.versionMinor))};
}

AdminResponder::Answer AdminResponder::FirmwareStart() {
    upgrading_ = true;
    nextChunk_ = 0;
    received_.clear();
    return {"", Bytes(firmware::BuildStartReply())};
}

AdminResponder::Answer AdminResponder::FirmwareChunk(const uint8_t* message, int length) {
    firmware::Chunk chunk;
    if (!firmware::ParseChunk(message, length, &chunk)) {
        return {" malformed", Bytes(firmware::BuildChunkReply(kChunkOutOfOrder, 0))};
    }
    const std::string what = " index " + std::to_string(chunk.index) + " n " +
                             std::to_string(chunk.length) + (chunk.last ? " last" : "");
    auto reply = [&](uint8_t status, uint16_t index, const std::string& note) {
        return Answer{what + " -> " + note, Bytes(firmware::BuildChunkReply(status, index))};
    };
    if (!upgrading_ || chunk.index != nextChunk_) {
        upgrading_ = false;
        return reply(kChunkOutOfOrder, chunk.index, "out of order");
    }
    if (config_.firmwareRefuseChunk && *config_.firmwareRefuseChunk == chunk.index) {
        upgrading_ = false;
        return reply(kChunkRefused, chunk.index, "refused");
    }
    if (received_.size() + static_cast<size_t>(chunk.length) > kMaxReceivedImage) {
        upgrading_ = false;
        return reply(kChunkTooLarge, chunk.index, "image too large");
    }
    received_.insert(received_.end(), chunk.data, chunk.data + chunk.length);
    ++nextChunk_;
    if (chunk.last) {
        upgrading_ = false;
        model_->Update([&](DeviceState& s) { s.firmware = std::move(received_); }, true);
        received_.clear();
    }
    if (config_.firmwareWrongAckChunk && *config_.firmwareWrongAckChunk == chunk.index) {
        return reply(firmware::kStatusAccepted, static_cast<uint16_t>(chunk.index + 1),
                     "acknowledged with the wrong index");
    }
    return reply(
        firmware::kStatusAccepted, chunk.index,
        chunk.last ? "image complete, " + std::to_string(model_->state().firmware.size()) + " bytes"
                   : "ok");
}

AdminResponder::Answer AdminResponder::LogRead() const {
    const auto& log = model_->state().log;
    return {" -> " + std::to_string(log.size()) + " records", userlog::BuildLogReply(log)};
}

AdminResponder::Answer AdminResponder::LogClear() {
    if (config_.logClearFails) {
        return {" -> refused", Bytes(userlog::BuildClearReply(userlog::kStatusClearFailed))};
    }
    model_->Update([](DeviceState& s) { s.log.clear(); });
    return {" -> cleared", Bytes(userlog::BuildClearReply(userlog::kStatusCleared))};
}

}  // namespace vantelsor::sim
