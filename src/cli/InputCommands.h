// vantelsorctl's keyboard and mouse commands: keys ctrl-alt-del, keys
// print-screen, type TEXT, mouse home.
#pragma once

#include <string>
#include <vector>

namespace vantelsor {
class NetSession;
struct SessionInfo;
}  // namespace vantelsor

namespace vantelsor::ctl {

bool IsInputCommand(const std::string& command);
// Checks an input command's arguments before anything is sent; false with the
// reason in `error`. TEXT must be printable ASCII.
bool CheckInputArguments(const std::string& command, const std::vector<std::string>& arguments,
                         std::string* error);
// Runs a checked input command on a logged-in session; returns the exit code.
int RunInputCommand(const std::string& command, const std::vector<std::string>& arguments,
                    NetSession& session, SessionInfo* info);

}  // namespace vantelsor::ctl
