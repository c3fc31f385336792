#include "admin/LogRecordText.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

#include "res/Strings.h"

namespace vantelsor {
namespace {

bool ValidFields(const login::LoginRecord& r) {
    return r.month >= 1 && r.month <= 12 && r.day >= 1 && r.day <= 31 && r.hour < 24 &&
           r.minute < 60;
}

std::string LocalText(time_t t) {
    tm local{};
    if (!localtime_r(&t, &local)) return {};
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &local);
    return text;
}

}  // namespace

std::string LogTimeText(const login::LoginRecord& r) {
    if (ValidFields(r)) {
        tm utc{};
        utc.tm_year = r.year - 1900;
        utc.tm_mon = r.month - 1;
        utc.tm_mday = r.day;
        utc.tm_hour = r.hour;
        utc.tm_min = r.minute;
        utc.tm_sec = 1;
        const time_t t = timegm(&utc);
        tm local{};
        if (t != static_cast<time_t>(-1) && localtime_r(&t, &local) && local.tm_year >= 0) {
            return LocalText(t);
        }
    }
    return LocalText(0);
}

LogRow FormatLogRecord(const login::LoginRecord& r) {
    LogRow row;
    row.time = LogTimeText(r);
    char address[16];
    std::snprintf(address, sizeof address, "%d.%d.%d.%d", r.clientAddress[0], r.clientAddress[1],
                  r.clientAddress[2], r.clientAddress[3]);
    row.address = address;
    const auto end = std::find(r.user.bytes.begin(), r.user.bytes.end(), 0);
    for (auto it = r.user.bytes.begin(); it != end; ++it) {
        // Control bytes from the device never reach a terminal or a list cell as such.
        row.user += (*it < 0x20 || *it == 0x7F) ? '?' : static_cast<char>(*it);
    }
    if (r.event == login::kEventLogin) {
        row.event = res::kLogEventLogin;
    } else if (r.event == login::kEventLogout) {
        row.event = res::kLogEventLogout;
    } else {
        row.event = std::to_string(r.event);
    }
    return row;
}

}  // namespace vantelsor
