#include "saves/reader_settings.h"

#include <gtest/gtest.h>

namespace vorn {
namespace {

TEST(ReaderSettings, WrittenSettingsReadBackTheSame) {
    ReaderSettings settings;
    settings.musicVolume = 35;
    settings.musicMuted = true;
    settings.autoDelay = 120;
    settings.skipUnread = true;
    settings.zoom = 3;
    settings.language = "ja";
    settings.selfVoicing = true;
    settings.speechRate = -4;
    settings.voice = "日本語 \"quoted\"";
    const SettingsRead read = readSettings(writeSettings(settings));
    EXPECT_EQ(read.settings, settings);
    EXPECT_EQ(read.note, "");
}

TEST(ReaderSettings, MissingAndUnknownMembersAreQuietlyDefaults) {
    const SettingsRead read = readSettings(R"({"musicVolume": 40, "aLaterSetting": [1, 2]})");
    ReaderSettings expected;
    expected.musicVolume = 40;
    EXPECT_EQ(read.settings, expected);
    EXPECT_EQ(read.note, "");
    EXPECT_EQ(readSettings("{}").settings, ReaderSettings{});
}

TEST(ReaderSettings, EachBadValueIsItsDefaultAndNamedTheOthersKept) {
    const SettingsRead read = readSettings(
        R"({"musicVolume": 101, "musicMuted": "yes", "autoDelay": 9, "zoom": 2, "language": "fr", "speechRate": 1.5})");
    ReaderSettings expected;
    expected.zoom = 2;
    EXPECT_EQ(read.settings, expected);
    for (const char* name : {"musicVolume", "musicMuted", "autoDelay", "language", "speechRate"})
        EXPECT_NE(read.note.find(name), std::string::npos) << name << " in " << read.note;
    EXPECT_EQ(read.note.find("zoom"), std::string::npos);
}

TEST(ReaderSettings, ADamagedDocumentGivesTheDefaultsAndANote) {
    for (const std::string& damaged : {std::string("{\"musicVolume\": 4"), std::string("[1]"), std::string(""),
                                      std::string("\xff\xfe{}"), std::string(70 * 1024, ' ') + "{}"}) {
        const SettingsRead read = readSettings(damaged);
        EXPECT_EQ(read.settings, ReaderSettings{});
        EXPECT_NE(read.note, "");
    }
}

TEST(ReaderSettings, VolumeStepsStayWithinItsRange) {
    EXPECT_EQ(louder(95), 100);
    EXPECT_EQ(louder(100), 100);
    EXPECT_EQ(quieter(5), 0);
    EXPECT_EQ(quieter(50), 40);
}

TEST(ReaderSettings, MusicLevelFollowsVolumeAndMute) {
    ReaderSettings settings;
    EXPECT_DOUBLE_EQ(musicLevel(settings), 1.0);
    settings.musicVolume = 50;
    EXPECT_DOUBLE_EQ(musicLevel(settings), 0.25);
    settings.musicVolume = 0;
    EXPECT_DOUBLE_EQ(musicLevel(settings), 0.0);
    settings.musicVolume = 80;
    settings.musicMuted = true;
    EXPECT_DOUBLE_EQ(musicLevel(settings), 0.0);
    // Each step down is quieter than the one before it, all the way to silence.
    settings.musicMuted = false;
    for (int volume = ReaderSettings::kMaxVolume; volume > 0; volume = quieter(volume)) {
        settings.musicVolume = volume;
        const double level = musicLevel(settings);
        settings.musicVolume = quieter(volume);
        EXPECT_LT(musicLevel(settings), level) << volume;
    }
}

TEST(ReaderSettings, AutoDelayGrowsWithThePageWithinItsBounds) {
    EXPECT_EQ(pageCharacters("ab c\nd\r\n"), 4u);
    EXPECT_EQ(pageCharacters("\xe6\x97\xa5\xe6\x9c\xac\xe3\x80\x80x"), 4u); // 日本, a full-width space, x
    EXPECT_EQ(pageCharacters(""), 0u);
    EXPECT_EQ(autoTurnDelay(0, 60), 1000);
    EXPECT_EQ(autoTurnDelay(100, 60), 7000);
    EXPECT_LT(autoTurnDelay(100, 60), autoTurnDelay(101, 60));
    EXPECT_LT(autoTurnDelay(100, 30), autoTurnDelay(100, 60));
    // A huge page, or a delay out of range from elsewhere, stays within bounds.
    EXPECT_EQ(autoTurnDelay(std::size_t(-1), 60), 60000);
    EXPECT_EQ(autoTurnDelay(10, -5), autoTurnDelay(10, ReaderSettings::kMinAutoDelay));
}

} // namespace
} // namespace vorn
