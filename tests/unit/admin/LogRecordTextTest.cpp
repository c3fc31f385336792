#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "admin/LogRecordText.h"

namespace vantelsor::test {
namespace {

// Each test case runs in a process of its own, so the zone stays with it.
class LogRecordTextTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ::setenv("TZ", "CST-8", 1);  // UTC+8, no daylight saving
        ::tzset();
    }

    static login::LoginRecord Record(uint16_t year, uint16_t month, uint16_t day, uint16_t hour,
                                     uint16_t minute) {
        login::LoginRecord r;
        r.year = year;
        r.month = month;
        r.day = day;
        r.hour = hour;
        r.minute = minute;
        return r;
    }
};

TEST_F(LogRecordTextTest, TimesAreShownInLocalTime) {
    const struct {
        login::LoginRecord record;
        const char* text;
    } cases[] = {
        {Record(2013, 5, 1, 2, 30), "2013-05-01 10:30"},
        {Record(2013, 12, 31, 20, 5), "2014-01-01 04:05"},
        {Record(1899, 12, 31, 16, 0), "1900-01-01 00:00"},
        // Local years before 1900 show the time value 0.
        {Record(1899, 12, 31, 15, 59), "1970-01-01 08:00"},
        // Not a date: the time value 0 in local time.
        {Record(2013, 13, 1, 0, 0), "1970-01-01 08:00"},
        {Record(2013, 0, 1, 0, 0), "1970-01-01 08:00"},
        {Record(2013, 1, 1, 24, 0), "1970-01-01 08:00"},
        {Record(0, 1, 1, 0, 0), "1970-01-01 08:00"},
    };
    for (const auto& c : cases) EXPECT_EQ(LogTimeText(c.record), c.text);
}

TEST_F(LogRecordTextTest, RowColumns) {
    login::LoginRecord r = Record(2013, 5, 1, 2, 30);
    r.clientAddress = {0xC0, 0xA8, 0x00, 0x0A};
    r.user = login::MakeField("abcdefghijklmnop");
    r.event = login::kEventLogin;
    LogRow row = FormatLogRecord(r);
    EXPECT_EQ(row.time, "2013-05-01 10:30");
    EXPECT_EQ(row.address, "192.168.0.10");
    EXPECT_EQ(row.user, "abcdefghijklmnop");
    EXPECT_EQ(row.event, "登录");
    r.event = login::kEventLogout;
    r.user = login::MakeField(std::string("ad\x1b[2Jmin", 9));
    r.user.bytes[7] = 0;
    row = FormatLogRecord(r);
    EXPECT_EQ(row.event, "登出");
    EXPECT_EQ(row.user, "ad?[2Jm");
    r.event = 9;
    EXPECT_EQ(FormatLogRecord(r).event, "9");
}

}  // namespace
}  // namespace vantelsor::test
