#include "shell/command_line.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace vorn;
namespace fs = std::filesystem;

TEST(CommandLine, OptionsAndTheGameFolder) {
    const fs::path dir = fs::temp_directory_path() / ("vorn-args-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    std::ofstream(dir / "code.vrn") << "";

    const auto plain = parseCommandLine({});
    EXPECT_EQ(plain.options.mode, Options::Mode::Window);
    EXPECT_EQ(plain.options.gameFolder, ".");

    const auto headless = parseCommandLine({"--headless", dir.string(), "--no-music", "--zoom", "3"});
    ASSERT_TRUE(headless.error.empty()) << headless.error;
    EXPECT_EQ(headless.options.mode, Options::Mode::Headless);
    EXPECT_EQ(headless.options.gameFolder, dir);
    EXPECT_FALSE(headless.options.music);
    EXPECT_EQ(headless.options.zoom, 3);

    const auto script = parseCommandLine({(dir / "code.vrn").string(), "--fullscreen", "--soundfont", "x.sf2"});
    ASSERT_TRUE(script.error.empty()) << script.error;
    EXPECT_EQ(script.options.gameFolder, dir) << "a script names its folder";
    EXPECT_TRUE(script.options.fullscreen);
    EXPECT_EQ(script.options.soundfont, "x.sf2");
    EXPECT_FALSE(script.options.continueGame);

    const auto goOn = parseCommandLine({"--continue", dir.string(), "--save-dir", "s"});
    ASSERT_TRUE(goOn.error.empty()) << goOn.error;
    EXPECT_TRUE(goOn.options.continueGame);
    EXPECT_EQ(goOn.options.saveDir, "s");

    EXPECT_EQ(parseCommandLine({"--version", "--bogus"}).options.mode, Options::Mode::Version);
    EXPECT_EQ(parseCommandLine({"--help"}).options.mode, Options::Mode::Help);
    EXPECT_EQ(parseCommandLine({"--language", "ja", dir.string()}).options.language, "ja");
    EXPECT_EQ(parseCommandLine({dir.string()}).options.language, std::nullopt) << "the desktop's";
    // The help is told in the language named after it as well as before it.
    EXPECT_EQ(parseCommandLine({"--help", "--language", "en"}).options.language, "en");
    EXPECT_EQ(parseCommandLine({"--help", "--language", "xx"}).options.language, std::nullopt);
    EXPECT_TRUE(usageText().find("--language LANG") != std::string::npos);
    fs::remove_all(dir);
}

TEST(CommandLine, UsageErrorsSayWhatIsWrong) {
    struct Case {
        std::vector<std::string> args;
        std::string says;
    } cases[] = {
        {{"--zoom", "5"}, "1 to 4"},
        {{"--zoom"}, "needs a value"},
        {{"--soundfont"}, "needs a value"},
        {{"--bogus"}, "unknown option"},
        {{""}, "empty"},
        {{"/no/such/game/folder"}, "does not exist"},
        {{".", "."}, "only one game"},
        {{"--language"}, "needs a value"},
        {{"--language", "jp"}, "en or ja"},
        {{"--language", "JA"}, "en or ja"},
        {{"--headless", "--continue"}, "load continue"},
    };
    for (const Case& c : cases) {
        const auto parsed = parseCommandLine(c.args);
        EXPECT_NE(parsed.error.find(c.says), std::string::npos) << parsed.error;
    }
}
