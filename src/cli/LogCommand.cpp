// log and log clear.
#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <string>

#include "admin/LogRecordText.h"
#include "admin/UserLog.h"
#include "cli/AdminCommandSupport.h"
#include "cli/CommandRuns.h"
#include "res/Strings.h"

namespace vantelsor::ctl {
namespace {

std::string CsvField(const std::string& s) {
    if (s.find_first_of(",\"\n") == std::string::npos) return s;
    std::string out = "\"";
    for (char ch : s) out += ch == '"' ? std::string("\"\"") : std::string(1, ch);
    return out + "\"";
}

std::string JsonString(const std::string& s) {
    std::string out = "\"";
    for (unsigned char ch : s) {
        if (ch == '"' || ch == '\\') {
            out += '\\';
            out += static_cast<char>(ch);
        } else if (ch < 0x20) {
            char e[8];
            std::snprintf(e, sizeof e, "\\u%04x", ch);
            out += e;
        } else {
            out += static_cast<char>(ch);
        }
    }
    return out + "\"";
}

void Print(const std::vector<login::LoginRecord>& records, const std::string& format) {
    if (format == "json") std::printf("[");
    if (format == "csv") std::printf("time,address,user,event\n");
    bool first = true;
    for (const login::LoginRecord& r : records) {
        const LogRow row = FormatLogRecord(r);
        if (format == "csv") {
            std::printf("%s,%s,%s,%s\n", row.time.c_str(), row.address.c_str(),
                        CsvField(row.user).c_str(), row.event.c_str());
        } else if (format == "json") {
            std::printf("%s\n  {\"time\": %s, \"address\": %s, \"user\": %s, \"event\": %s}",
                        first ? "" : ",", JsonString(row.time).c_str(),
                        JsonString(row.address).c_str(), JsonString(row.user).c_str(),
                        JsonString(row.event).c_str());
        } else {
            std::printf("%s  %-15s  %-16s  %s\n", row.time.c_str(), row.address.c_str(),
                        row.user.c_str(), row.event.c_str());
        }
        first = false;
    }
    if (format == "json") std::printf("%s]\n", records.empty() ? "" : "\n");
}

// The question of the clear, answered on standard input.
bool Confirmed() {
    std::fprintf(stderr, "%s [y/N] ", res::kClearLogQuestion);
    std::string answer;
    if (!std::getline(std::cin, answer)) return false;
    return answer == "y" || answer == "Y" || answer == "yes";
}

}  // namespace

int RunLog(const Invocation& c, const CommandContext& x) {
    UserLog log(x.session, x.timing);
    if (c.action == "clear") {
        if (!c.yes && !Confirmed()) {
            PrintError("the log was not cleared");
            return kExitFailed;
        }
        const AdminOutcome o = log.Clear();
        if (o == AdminOutcome::kOk) std::printf("log cleared\n");
        return ReportOutcome(o, "the device did not clear the log");
    }
    std::vector<login::LoginRecord> records;
    const AdminOutcome o = log.Query(&records);
    if (o == AdminOutcome::kLogTooLong) {
        PrintError("the log has more than 1000 records and is not listed");
        return kExitFailed;
    }
    if (int r = ReportOutcome(o)) return r;
    Print(records, c.format);
    return kExitOk;
}

}  // namespace vantelsor::ctl
