// The firmware upgrade without its window: the image file's check, then the
// transfer on a worker thread — 0xB3, then 4096-byte chunks 0xB4, each
// acknowledged with its index — with progress in percent. The heartbeat and
// the lock-state poll send nothing while a transfer runs (keepAlivePaused).
//
// Construction installs the handler, destruction waits for a running transfer
// and puts the previous handler back. Load, Start and Wait belong to the
// caller's thread; the progress callback runs on the worker thread and must
// only post; the handler runs on the stream receive thread.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "admin/AdminOutcome.h"
#include "admin/KUpdateFirmwareDlgHandler.h"
#include "net/ManualResetEvent.h"
#include "net/ReplySlot.h"
#include "net/ScopedHandler.h"
#include "session/Timing.h"

namespace vantelsor {

class NetSession;

class FirmwareUpgrade {
  public:
    using Progress = std::function<void(int percent)>;

    explicit FirmwareUpgrade(NetSession& session, const Timing& timing = {});
    ~FirmwareUpgrade();
    FirmwareUpgrade(const FirmwareUpgrade&) = delete;
    FirmwareUpgrade& operator=(const FirmwareUpgrade&) = delete;

    // Reads and checks the image: kFirmwareNoFile for an empty path,
    // kFirmwareFileError when it cannot be read, lacks the 0xFC mark, its size
    // field differs from its size, or it is too large to number its chunks.
    AdminOutcome Load(const std::string& path);
    // The same check without a session, for callers that check before connecting.
    static AdminOutcome ReadImage(const std::string& path, std::vector<uint8_t>* image);
    // The same for an image already in memory.
    AdminOutcome LoadImage(std::vector<uint8_t> image);
    const std::vector<uint8_t>& image() const { return image_; }

    // Starts the worker on the loaded image; false when none is loaded or a
    // transfer is already running. `progress` gets 0 first, then the percentage
    // after each acknowledged chunk, and 100 right after the last is sent.
    bool Start(Progress progress = {});
    // Waits for the worker: kOk, kFirmwareFailed (a chunk refused or
    // acknowledged with another index), kTimeout (no reply in time).
    AdminOutcome Wait();

    // From KUpdateFirmwareDlgHandler, on the stream receive thread.
    int OnFirmwareMessage(const uint8_t* data, int length);

  private:
    void Work(Progress progress);
    AdminOutcome Transfer(const Progress& progress);
    AdminOutcome SendChunk(int index, bool last, const Progress& progress);

    NetSession& session_;
    Timing timing_;
    KUpdateFirmwareDlgHandler handler_{this};
    std::vector<uint8_t> image_;
    std::thread worker_;
    ManualResetEvent done_;
    AdminOutcome result_ = AdminOutcome::kOk;  // written by the worker before done_ is set

    ReplySlot reply_{8};  // the last 0xB3 or 0xB4 reply
    // Last: installed once everything its messages reach exists, removed first.
    ScopedHandler installed_{session_, &handler_};
};

}  // namespace vantelsor
