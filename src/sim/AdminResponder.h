// The device's side of the administration messages: accounts 0xA7/0xA8,
// network 0xA6, video 0xA4, sleep 0xB6, identity 0xB2, version 0xB5, firmware
// 0xB3/0xB4 and the user log 0xAB/0xAC, over the device model, with the
// refusals the configuration asks for.
//
// Not thread-safe: ControlDevice calls it under DeviceSim's lock.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "crypto/FieldCipher.h"
#include "sim/DeviceModel.h"
#include "sim/SimConfig.h"

namespace vantelsor::sim {

class AdminResponder {
  public:
    // Who sent the message.
    struct Requester {
        std::string user;
        uint16_t userType = 0;
        SessionKey key{};
    };
    struct Answer {
        Answer() = default;
        Answer(std::string t, std::vector<uint8_t> r) : text(std::move(t)), reply(std::move(r)) {}

        std::string text;  // the trace text after the message's name
        std::optional<std::vector<uint8_t>> reply;
        // An account renamed: sessions logged in under `renamedFrom` now go by `renamedTo`.
        std::optional<std::string> renamedFrom, renamedTo;
    };

    AdminResponder(DeviceModel* model, const SimConfig& config);

    // Whether this class answers messages of `type`.
    static bool Handles(uint8_t type);
    // One whole message of a type it handles, from a logged-in requester.
    Answer Receive(const Requester& requester, const uint8_t* message, int length);

  private:
    Answer UserList() const;
    Answer UserWrite(const Requester& requester, const uint8_t* message);
    uint8_t AddUser(const std::string& name, const std::string& password, const Requester& r);
    uint8_t ModifyUser(const std::string& current, const std::optional<std::string>& oldPassword,
                       const std::string& newName, const std::string& newPassword,
                       const Requester& r);
    uint8_t DeleteUser(const std::string& name, const Requester& r);
    Answer Network(const uint8_t* message);
    Answer Video(const uint8_t* message);
    Answer Sleep(const uint8_t* message);
    Answer Identity(const uint8_t* message);
    Answer Version() const;
    Answer FirmwareStart();
    Answer FirmwareChunk(const uint8_t* message, int length);
    Answer LogRead() const;
    Answer LogClear();

    DeviceModel* model_;
    const SimConfig& config_;

    // The upgrade in progress.
    bool upgrading_ = false;
    int nextChunk_ = 0;
    std::vector<uint8_t> received_;
};

}  // namespace vantelsor::sim
