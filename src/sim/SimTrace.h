// The simulator's record of what it received, and its optional trace output:
// each message as a TraceEntry, and every entry and connection note as a line
// "conn=N <text>" on stdout or appended to a file, flushed per line.
//
// Not thread-safe: DeviceSim calls it under its lock.
#pragma once

#include <cstddef>
#include <cstdio>
#include <deque>
#include <string>

#include "sim/SimConfig.h"

namespace vantelsor::sim {

class SimTrace {
  public:
    // Keeps the newest `capacity` entries in memory.
    explicit SimTrace(size_t capacity) : capacity_(capacity) {}
    ~SimTrace();
    SimTrace(const SimTrace&) = delete;
    SimTrace& operator=(const SimTrace&) = delete;

    // "" writes no lines, "-" writes to stdout, anything else is a file opened
    // for appending. False (with a reason in *error) when the file cannot be opened.
    bool Open(const std::string& path, std::string* error);
    void Close();

    void Add(TraceEntry entry);
    // A line that is not a received message (connected, closed, reboot).
    void Note(int connection, const std::string& text);

    const std::deque<TraceEntry>& entries() const { return entries_; }

  private:
    void Write(int connection, const std::string& text);

    size_t capacity_;
    std::deque<TraceEntry> entries_;
    std::FILE* out_ = nullptr;
    bool ownsOut_ = false;
};

}  // namespace vantelsor::sim
