// The pad table: each button presses a key of the reader's key table, so a
// pad means in play what the keyboard means.
#include "interpreter/pad_buttons.h"
#include "interpreter/reader_keys.h"

#include <gtest/gtest.h>
#include <set>

using namespace vorn;

TEST(PadButtons, EachButtonHasOneRowAndItsKeysMeanWhatTheyShould) {
    std::set<PadButton> seen;
    for (const PadRow& row : padRows()) EXPECT_TRUE(seen.insert(row.button).second) << row.name;
    EXPECT_EQ(seen.size(), 12u);
    const auto inPlay = [](PadButton button) {
        const auto& key = padRow(button).inPlay;
        return key ? keyAction(key->key, key->modifiers) : KeyAction::None;
    };
    EXPECT_EQ(inPlay(PadButton::South), KeyAction::ReadOn);
    EXPECT_EQ(inPlay(PadButton::East), KeyAction::StepBack);
    EXPECT_EQ(inPlay(PadButton::West), KeyAction::ToggleBacklog);
    EXPECT_EQ(inPlay(PadButton::North), KeyAction::PopupMenu);
    EXPECT_EQ(inPlay(PadButton::Start), KeyAction::PopupMenu);
    EXPECT_EQ(inPlay(PadButton::Select), KeyAction::QuickSave);
    EXPECT_EQ(inPlay(PadButton::LeftShoulder), KeyAction::SkipWhileHeld);
    EXPECT_TRUE(padRow(PadButton::LeftShoulder).held) << "skips only while held";
    EXPECT_EQ(inPlay(PadButton::RightShoulder), KeyAction::ToggleAuto);
    // Over a dialog: the d-pad walks, south answers, east cancels.
    EXPECT_STREQ(padRow(PadButton::South).inDialog->key, "Enter");
    EXPECT_STREQ(padRow(PadButton::East).inDialog->key, "Escape");
    EXPECT_STREQ(padRow(PadButton::DpadDown).inDialog->key, "ArrowDown");
    EXPECT_EQ(whileBacklogOpen(keyAction(padRow(PadButton::West).inDialog->key, kNoModifier)), BacklogKey::ClosesIt)
        << "west closes the backlog it opened";
}

TEST(PadButtons, TheStickPressesTheDpadWithoutChattering) {
    EXPECT_EQ(stickDirection(0, 0, std::nullopt), std::nullopt);
    EXPECT_EQ(stickDirection(kStickPress - 1, 0, std::nullopt), std::nullopt);
    EXPECT_EQ(stickDirection(0, kStickPress, std::nullopt), PadButton::DpadDown);
    EXPECT_EQ(stickDirection(0, -32768, std::nullopt), PadButton::DpadUp);
    EXPECT_EQ(stickDirection(-20000, 18000, std::nullopt), PadButton::DpadLeft) << "the axis leaning furthest";
    // Held between the thresholds, let go below the lower one.
    EXPECT_EQ(stickDirection(0, kStickRelease, PadButton::DpadDown), PadButton::DpadDown);
    EXPECT_EQ(stickDirection(0, kStickRelease - 1, PadButton::DpadDown), std::nullopt);
    EXPECT_EQ(stickDirection(kStickPress, 0, PadButton::DpadDown), PadButton::DpadRight);
}
