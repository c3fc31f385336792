#include "sim/DeviceModel.h"

#include "sim/StateFile.h"

namespace vantelsor::sim {

DeviceModel::DeviceModel(const SimConfig& config) : path_(config.statePath) {
    state_.accounts = config.accounts;
    if (!path_.empty()) LoadState(path_, &state_, &error_);
}

void DeviceModel::AddLogRecord(const login::LoginRecord& record) {
    Update([&](DeviceState& s) {
        s.log.push_back(record);
        // Like a device's ring buffer: the oldest records make room.
        if (s.log.size() > kMaxLogRecords) s.log.erase(s.log.begin());
    });
}

void DeviceModel::Save(bool firmwareChanged) {
    if (path_.empty()) return;
    std::string problem;
    if (!SaveState(path_, state_, firmwareChanged, &problem)) error_ = problem;
}

}  // namespace vantelsor::sim
