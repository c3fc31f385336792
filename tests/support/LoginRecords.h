// A login/logout record for tests, in one line instead of eight assignments.
#pragma once

#include <array>
#include <cstdint>

#include "protocol/LoginMessages.h"

namespace vantelsor::test {

inline login::LoginRecord MakeRecord(uint16_t year, uint16_t month, uint16_t day, uint16_t hour,
                                     uint16_t minute, std::array<uint8_t, 4> address,
                                     const char* user, uint16_t event) {
    login::LoginRecord r;
    r.year = year;
    r.month = month;
    r.day = day;
    r.hour = hour;
    r.minute = minute;
    r.clientAddress = address;
    r.user = login::MakeField(user);
    r.event = event;
    return r;
}

}  // namespace vantelsor::test
