#pragma once
// Runs `vorn check` and `vorn explore` on a test game, as the command line would.

#include <string>
#include <vector>

namespace vorn::test {

struct ToolRun {
    int status = 0;
    std::string out;
    std::string err;
    std::vector<std::string> lines; // of `out`
    // The finding lines of `vorn check`, without their hint lines.
    std::vector<std::string> findings() const;
    // The hint under the first finding line that starts with `prefix`, or "".
    std::string hintOf(const std::string& prefix) const;
};

ToolRun runTool(const std::vector<std::string>& args);

// Joins lines with CR LF, the line end of the games' scripts.
std::string crlf(const std::vector<std::string>& lines);

} // namespace vorn::test
