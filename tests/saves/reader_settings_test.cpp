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

} // namespace
} // namespace vorn
