#include "authoring_fixture.h"

#include "authoring/authoring_tool.h"

#include <QApplication>
#include <gtest/gtest.h>
#include <sstream>

namespace vorn::test {
namespace {

// One application object for every test of the binary, whichever comes first:
// a widget one, so that the window's own text box can be built beside the
// tools, which then use it as their own.
class ToolApplication : public ::testing::Environment {
  public:
    void SetUp() override {
        if (QCoreApplication::instance()) return;
        static int argc = 3;
        static char name[] = "vorn_authoring_tests";
        static char platform[] = "-platform";
        static char offscreen[] = "offscreen";
        static char* argv[] = {name, platform, offscreen, nullptr};
        static QApplication* app = new QApplication(argc, argv);
        (void)app;
    }
};

[[maybe_unused]] ::testing::Environment* const kToolApplication =
    ::testing::AddGlobalTestEnvironment(new ToolApplication);

} // namespace

std::vector<std::string> ToolRun::findings() const {
    std::vector<std::string> found;
    for (const std::string& line : lines)
        if (line.find(": error: ") != std::string::npos || line.find(": warning: ") != std::string::npos)
            found.push_back(line);
    return found;
}

std::string ToolRun::hintOf(const std::string& prefix) const {
    for (std::size_t i = 0; i + 1 < lines.size(); ++i)
        if (lines[i].rfind(prefix, 0) == 0) {
            const std::string& next = lines[i + 1];
            const std::string mark = "    hint: ";
            return next.rfind(mark, 0) == 0 ? next.substr(mark.size()) : "";
        }
    return "";
}

ToolRun runTool(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    ToolRun run;
    run.status = runAuthoringTool(args, out, err);
    run.out = out.str();
    run.err = err.str();
    std::istringstream lines(run.out);
    for (std::string line; std::getline(lines, line);) run.lines.push_back(line);
    return run;
}

std::string crlf(const std::vector<std::string>& lines) {
    std::string out;
    for (std::size_t i = 0; i < lines.size(); ++i) out += (i ? "\r\n" : "") + lines[i];
    return out;
}

} // namespace vorn::test
