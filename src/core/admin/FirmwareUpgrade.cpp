#include "admin/FirmwareUpgrade.h"

#include <algorithm>
#include <cstring>
#include <fstream>

#include "net/NetSession.h"
#include "net/ReplyExchange.h"
#include "protocol/FirmwareMessages.h"
#include "protocol/MessageTypes.h"

namespace vantelsor {

int KUpdateFirmwareDlgHandler::OnMessage(const uint8_t* data, int length) {
    return owner_->OnFirmwareMessage(data, length);
}

FirmwareUpgrade::FirmwareUpgrade(NetSession& session, const Timing& timing)
    : session_(session), timing_(timing) {}

FirmwareUpgrade::~FirmwareUpgrade() {
    if (worker_.joinable()) worker_.join();
}

int FirmwareUpgrade::OnFirmwareMessage(const uint8_t* data, int length) {
    if (length < 1) return 0;
    if (data[0] != msg::kFirmwareStart && data[0] != msg::kFirmwareBlock) return 0;
    reply_.Keep(data, length);
    return 1;
}

AdminOutcome FirmwareUpgrade::Load(const std::string& path) {
    std::vector<uint8_t> image;
    const AdminOutcome o = ReadImage(path, &image);
    if (o != AdminOutcome::kOk) return o;
    return LoadImage(std::move(image));
}

AdminOutcome FirmwareUpgrade::ReadImage(const std::string& path, std::vector<uint8_t>* out) {
    if (path.empty()) return AdminOutcome::kFirmwareNoFile;
    // Read-only: checking and sending an image never needs to write it, so a
    // write-protected image is as good as any other.
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file) return AdminOutcome::kFirmwareFileError;
    const std::streamoff size = file.tellg();
    if (size < 0 || static_cast<uint64_t>(size) > firmware::kMaxImageSize) {
        return AdminOutcome::kFirmwareFileError;
    }
    std::vector<uint8_t> image(static_cast<size_t>(size));
    file.seekg(0);
    if (!file.read(reinterpret_cast<char*>(image.data()), size) ||
        !firmware::CheckImage(image.data(), image.size())) {
        return AdminOutcome::kFirmwareFileError;
    }
    *out = std::move(image);
    return AdminOutcome::kOk;
}

AdminOutcome FirmwareUpgrade::LoadImage(std::vector<uint8_t> image) {
    if (worker_.joinable()) return AdminOutcome::kFirmwareFileError;
    image_.clear();
    if (image.size() > firmware::kMaxImageSize ||
        !firmware::CheckImage(image.data(), image.size())) {
        return AdminOutcome::kFirmwareFileError;
    }
    image_ = std::move(image);
    return AdminOutcome::kOk;
}

bool FirmwareUpgrade::Start(Progress progress) {
    if (worker_.joinable() || image_.empty()) return false;
    done_.Reset();
    worker_ = std::thread(&FirmwareUpgrade::Work, this, std::move(progress));
    return true;
}

AdminOutcome FirmwareUpgrade::Wait() {
    if (!worker_.joinable()) return result_;
    done_.Wait(UINT32_MAX);
    worker_.join();
    return result_;
}

void FirmwareUpgrade::Work(Progress progress) {
    session_.keepAlivePaused = 1;
    result_ = Transfer(progress);
    session_.keepAlivePaused = 0;
    done_.Set();
}

AdminOutcome FirmwareUpgrade::Transfer(const Progress& progress) {
    // The start reply's contents are not examined; any failed wait is a time-out.
    if (Exchange(session_, firmware::BuildStart(), timing_.replyTimeoutMs) !=
        ExchangeResult::kReplied) {
        return AdminOutcome::kTimeout;
    }
    if (progress) progress(0);
    const firmware::ChunkPlan plan = firmware::ChunkPlan::For(image_.size());
    for (int index = 0; index < plan.count; ++index) {
        const AdminOutcome o = SendChunk(index, plan.IsLast(index), progress);
        if (o != AdminOutcome::kOk) return o;
    }
    return AdminOutcome::kOk;
}

AdminOutcome FirmwareUpgrade::SendChunk(int index, bool last, const Progress& progress) {
    const uint64_t total = image_.size();
    const firmware::ChunkPlan plan = firmware::ChunkPlan::For(total);
    const int n = plan.LengthOf(index, total);
    const std::vector<uint8_t> chunk =
        firmware::BuildChunk(static_cast<uint16_t>(index), last,
                             image_.data() + size_t(index) * firmware::kChunkSize, n);
    if (last && progress) progress(100);
    // The slot is cleared before sending: an acknowledgement left from an earlier
    // chunk never counts for this one, and a start reply is no acknowledgement.
    const ExchangeResult exchange =
        Exchange(session_, chunk, timing_.replyTimeoutMs, reply_, msg::kFirmwareBlock);
    if (exchange == ExchangeResult::kOtherReply) return AdminOutcome::kFirmwareFailed;
    if (exchange != ExchangeResult::kReplied) return AdminOutcome::kTimeout;
    const KeptReply reply = reply_.Copy();
    firmware::ChunkAck ack;
    if (!firmware::ParseChunkReply(reply.bytes.data(), reply.length, &ack)) {
        return AdminOutcome::kFirmwareFailed;
    }
    if (ack.status != firmware::kStatusAccepted || ack.index != index) {
        return AdminOutcome::kFirmwareFailed;
    }
    if (!last && progress) {
        progress(firmware::ProgressPercent(uint64_t(index + 1) * firmware::kChunkSize, total));
    }
    return AdminOutcome::kOk;
}

}  // namespace vantelsor
