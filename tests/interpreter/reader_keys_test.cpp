// The reader's key table, which the window and the browser page both read.
#include "interpreter/reader_keys.h"

#include <gtest/gtest.h>
#include <set>
#include <string>
#include <utility>

using namespace vorn;

// Every row is reached by its own key, held with exactly its modifiers; a
// key and modifiers name one action; every action has a key.
TEST(ReaderKeys, EachRowIsReachedAndEachActionHasAKey) {
    std::set<std::pair<std::string, unsigned>> keys;
    std::set<KeyAction> actions;
    for (const KeyRow& row : keyRows()) {
        SCOPED_TRACE(std::string(row.key) + " with modifiers " + std::to_string(row.modifiers));
        EXPECT_TRUE(keys.insert({row.key, row.modifiers}).second) << "a key with two actions";
        EXPECT_EQ(keyAction(row.key, row.modifiers), row.action);
        EXPECT_EQ(keyAction(row.key, row.modifiers | kMeta), KeyAction::None) << "held with Meta";
        actions.insert(row.action);
        const std::string key = row.key;
        if (key.size() == 1 && key[0] >= 'a' && key[0] <= 'z') {
            EXPECT_EQ(keyAction(std::string(1, static_cast<char>(key[0] - 'a' + 'A')), row.modifiers), row.action)
                << "a letter counts in either case (Caps Lock)";
            EXPECT_EQ(keyAction(key, row.modifiers | kAlt), KeyAction::None);
        }
    }
    for (int a = static_cast<int>(KeyAction::ReadOn); a <= static_cast<int>(KeyAction::RepeatSpeech); ++a)
        EXPECT_TRUE(actions.count(static_cast<KeyAction>(a))) << actionName(static_cast<KeyAction>(a));
    EXPECT_FALSE(actions.count(KeyAction::None));
}

TEST(ReaderKeys, OtherKeysAndModifiersDoNothing) {
    EXPECT_EQ(keyAction("q", kNoModifier), KeyAction::None) << "Quit is Ctrl+Q alone";
    EXPECT_EQ(keyAction("B", kShift), KeyAction::None);
    EXPECT_EQ(keyAction("1", kCtrl), KeyAction::None);
    EXPECT_EQ(keyAction("F5", kCtrl), KeyAction::None);
    EXPECT_EQ(keyAction("5", kNoModifier), KeyAction::None);
    EXPECT_EQ(keyAction("", kNoModifier), KeyAction::None);
    EXPECT_EQ(keyAction("Enter", kCtrl), KeyAction::None);
}

// Under the backlog the story waits: only the keys of the backlog, the
// window's and the saves' act; a save or load closes the backlog first.
TEST(ReaderKeys, UnderTheBacklogTheStoryWaits) {
    EXPECT_EQ(whileBacklogOpen(KeyAction::ReadOn), BacklogKey::Ignored);
    EXPECT_EQ(whileBacklogOpen(KeyAction::ClickOption2), BacklogKey::Ignored);
    EXPECT_EQ(whileBacklogOpen(KeyAction::PopupMenu), BacklogKey::Ignored);
    EXPECT_EQ(whileBacklogOpen(KeyAction::ToggleBacklog), BacklogKey::ClosesIt);
    EXPECT_EQ(whileBacklogOpen(KeyAction::CloseBacklog), BacklogKey::ClosesIt);
    EXPECT_EQ(whileBacklogOpen(KeyAction::ScrollDown), BacklogKey::ScrollsIt);
    EXPECT_EQ(whileBacklogOpen(KeyAction::QuickLoad), BacklogKey::ClosesFirst);
    EXPECT_EQ(whileBacklogOpen(KeyAction::Quit), BacklogKey::ActsAsEver);
    EXPECT_EQ(whileBacklogOpen(KeyAction::CopyPage), BacklogKey::ActsAsEver);
    // Ctrl comes first in Ctrl+C: pressed alone it leaves the backlog open.
    EXPECT_EQ(whileBacklogOpen(KeyAction::SkipWhileHeld), BacklogKey::Ignored);
    EXPECT_EQ(whileBacklogOpen(KeyAction::StepBack), BacklogKey::ClosesFirst);
}
