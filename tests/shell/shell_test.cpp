// The pop-up menu's commands and the shut-down, through the headless driver.

#include "headless_fixture.h"
#include "presentation/headless/headless_driver.h"
#include "shell/shell.h"

#include <functional>
#include <sstream>
#include <streambuf>

#include <gtest/gtest.h>

using namespace vorn::test;

namespace {
const std::string kCredits = R"({"message":")" + vorn::creditsText() + R"(","title":"VORN"})";
}

TEST(Shell, TheCreditsBeginWithTheSystemsOwnWords) {
    EXPECT_EQ(vorn::creditsText().rfind("VORN interpeter ", 0), 0u);
    // The page shows the same credits in a browser, on any system.
    for (const char* system : {"Linux", "Windows", "desktop", "browser"})
        EXPECT_EQ(vorn::creditsText().find(system), std::string::npos) << system;
}

TEST(Shell, AboutShowsTheCreditsAndChangesNothing) {
    TestGame game("\"page\"");
    const auto r = game.play("menu about\n");
    EXPECT_EQ(r.afterEvent(1), (Lines{kCredits, state(-1, "0", "null")}));
}

TEST(Shell, CloseAndQuitShowTheCreditsThenCloseTheMusicAndEnd) {
    TestGame game("\"page\"");
    for (const char* how : {"close\nclick text\n", "menu quit\nclick text\n"}) {
        const auto r = game.play(how);
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.afterEvent(1), (Lines{kCredits, R"({"device":"Command","value":"Close"})"})) << how;
        EXPECT_EQ(r.matching(R"({"event")").size(), 1u) << "nothing is read after the shut-down";
    }
}

TEST(Shell, NewPlaysFromTheFirstCharacterAndKeepsEverythingElse) {
    TestGame game("~A1~[m.mid]\"one\"(2 a,b){\"A\"}{\"B\"}");
    const auto r = game.play("click text\nclick option 1\nmenu new\n");
    // The flags and the music are kept; the choice under way is not.
    const Lines afterNew = r.afterEvent(3);
    EXPECT_EQ(r.matching(R"({"device":"Command","value":"Play"})").size(), 2u) << "the music command ran again";
    EXPECT_EQ(afterNew.back(), state(-1, "0", "null", "\"m.mid\"", "1,0,0,0,0,0,0,0"));
}

TEST(Shell, NewInsideABranchShowsTheStartAndTheMenuAgain) {
    // The second script opens with the old workaround for a restart inside a
    // branch; braces pass over harmlessly, so it plays the same.
    for (const std::string prefix : {"", "}{}{}{}"}) {
        TestGame game(prefix + "\"Start\"(2 a,b){\"A1\"\"A2\"}{\"B1\"}\"End\"");
        const auto r = game.play("click text\nclick option 1\nmenu new\nclick text\nclick option 2\nclick text\n");
        EXPECT_EQ(r.afterEvent(3).front(), R"({"text":"Start"})") << prefix;
        EXPECT_EQ(r.afterEvent(3).back(), state(-1, "0", "null")) << prefix;
        EXPECT_EQ(r.matching(R"({"caption":2,"text":"b"})").size(), 2u) << prefix << ": the menu is offered again";
        EXPECT_EQ(r.afterEvent(4).back(), state(-1, "2", "null")) << prefix;
        EXPECT_EQ(r.afterEvent(5).front(), R"({"text":"B1"})") << prefix;
        EXPECT_EQ(r.afterEvent(6).front(), R"({"text":"End"})") << prefix;
        EXPECT_EQ(r.afterEvent(6).back(), state(-1, "0", "0")) << prefix;
    }
}

TEST(Shell, NewAfterTheEndPlaysTheStoryAgain) {
    TestGame game("\"one\"\"two\"");
    const auto r = game.play("click text\nclick text\nmenu new\n");
    EXPECT_EQ(r.afterEvent(3).front(), R"({"text":"one"})");
}

// Standard input whose second line is handed out only after an action ran,
// so a test can change the game folder between two events.
class InputWithPause : public std::streambuf {
  public:
    InputWithPause(std::string first, std::function<void()> between, std::string second)
        : first_(std::move(first)), second_(std::move(second)), between_(std::move(between)) {
        setg(first_.data(), first_.data(), first_.data() + first_.size());
    }

  protected:
    int_type underflow() override {
        if (!between_) return traits_type::eof();
        between_();
        between_ = nullptr;
        setg(second_.data(), second_.data(), second_.data() + second_.size());
        return second_.empty() ? traits_type::eof() : traits_type::to_int_type(second_[0]);
    }

  private:
    std::string first_, second_;
    std::function<void()> between_;
};

TEST(Shell, NewWhenTheScriptHasGoneIsAFatalErrorNamingIt) {
    TestGame game("\"one\"");
    InputWithPause input(
        "click text\n", [&] { game.remove("code.vrn"); }, "menu new\n");
    std::istream in(&input);
    std::ostringstream out, err;
    EXPECT_EQ(vorn::runHeadless(vorn::GameFolder(game.dir()), in, out, err), 1);
    const std::string transcript = out.str();
    const auto fatal = transcript.find("{\"fatal\":");
    ASSERT_NE(fatal, std::string::npos) << transcript;
    EXPECT_NE(transcript.find("code.vrn", fatal), std::string::npos) << transcript;
}

TEST(Shell, AScriptWithoutMusicSendsOnlyTheStartUpSettingsAndTheFinalClose) {
    TestGame game("\"page\"");
    const auto r = game.play("click text\n");
    EXPECT_EQ(r.matching(R"({"device")"), (Lines{
                                              R"({"device":"Notify","value":false})",
                                              R"({"device":"Wait","value":true})",
                                              R"({"device":"Shareable","value":false})",
                                              R"({"device":"DeviceType","value":"Sequencer"})",
                                              R"({"device":"Command","value":"Close"})",
                                          }));
}
