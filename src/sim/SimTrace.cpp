#include "sim/SimTrace.h"

#include <cerrno>
#include <cstring>

namespace vantelsor::sim {

SimTrace::~SimTrace() {
    Close();
}

bool SimTrace::Open(const std::string& path, std::string* error) {
    Close();
    if (path.empty()) return true;
    if (path == "-") {
        out_ = stdout;
        return true;
    }
    out_ = std::fopen(path.c_str(), "a");
    if (!out_) {
        *error = "cannot open trace file " + path + ": " + std::strerror(errno);
        return false;
    }
    ownsOut_ = true;
    return true;
}

void SimTrace::Close() {
    if (ownsOut_) std::fclose(out_);
    out_ = nullptr;
    ownsOut_ = false;
}

void SimTrace::Add(TraceEntry entry) {
    Write(entry.connection, entry.text);
    if (capacity_ == 0) return;
    if (entries_.size() == capacity_) entries_.pop_front();
    entries_.push_back(std::move(entry));
}

void SimTrace::Note(int connection, const std::string& text) {
    Write(connection, text);
}

void SimTrace::Write(int connection, const std::string& text) {
    if (!out_) return;
    // Flushed per line: scripts and people follow the trace while the device runs.
    std::fprintf(out_, "conn=%d %s\n", connection, text.c_str());
    std::fflush(out_);
}

}  // namespace vantelsor::sim
