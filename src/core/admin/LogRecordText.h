// A log record as the log viewer lists it: time in local time, client address,
// user name and event. Pure functions; the time uses the process's time zone.
#pragma once

#include <string>

#include "protocol/LoginMessages.h"

namespace vantelsor {

struct LogRow {
    std::string time;     // "%Y-%m-%d %H:%M", local time
    std::string address;  // "192.168.0.10"
    std::string user;     // up to the first zero, at most 16 bytes
    std::string event;    // "登录", "登出", or the event's number
};

// The record's UTC fields (second 1) in local time. A time that is not a valid
// date, or whose local year is before 1900, shows the time value 0 instead.
std::string LogTimeText(const login::LoginRecord& record);
LogRow FormatLogRecord(const login::LoginRecord& record);

}  // namespace vantelsor
