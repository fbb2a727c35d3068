// The save document and save and load without Qt, as the browser page has
// them: documents written by the desktop player before the format moved to
// plain C++ read back and write again byte for byte, damaged documents are
// refused with words, and a game whose script hash the front end supplies
// saves and loads.

#include "interpreter/interpreter.h"
#include "interpreter/mirror.h"
#include "interpreter/music_device.h"
#include "presentation/web/memory_tree.h"
#include "quiet_surface.h"
#include "saves/save_format.h"
#include "saves/saves.h"
#include "saves/slot_name.h"
#include "saves/slot_store.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

using namespace vorn;

namespace {

std::string fixture(const std::string& name) {
    std::ifstream in(std::string(VORN_SOURCE_DIR) + "/tests/saves/fixtures/" + name, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    EXPECT_FALSE(bytes.str().empty()) << name;
    return bytes.str();
}

std::string replaced(std::string s, const std::string& from, const std::string& to) {
    const auto at = s.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) s.replace(at, from.size(), to);
    return s;
}

std::string refusal(const std::string& bytes) {
    std::string why;
    EXPECT_FALSE(decodeSave(bytes, why)) << bytes;
    return why;
}

} // namespace

// The documents in the fixtures were written by the desktop player's earlier
// Qt code; the first holds every kind of value, escapes and all.
TEST(SaveDocument, DocumentsOfTheEarlierPlayerReadAndWriteAgainByteForByte) {
    for (const char* name : {"every-value.json", "nothing-set.json"}) {
        const std::string old = fixture(name);
        std::string why;
        const std::optional<SaveDocument> document = decodeSave(old, why);
        ASSERT_TRUE(document) << name << ": " << why;
        EXPECT_EQ(encodeSave(*document), old) << name;
    }
    std::string why;
    const SaveDocument d = *decodeSave(fixture("every-value.json"), why);
    EXPECT_EQ(d.game.name, "ゲーム \"one\"/\\");
    EXPECT_EQ(d.picture, "quick.1765110896000.png");
    const Snapshot& s = d.snapshot;
    EXPECT_EQ(s.position, 123456789012u);
    EXPECT_EQ(s.NumCmds, -32768);
    EXPECT_EQ(s.musfile, std::string("a\0b\\\"\r\n\x01\x1f\x7f\b\f\t.mid", 17));
    EXPECT_EQ(s.captions[3], "4 \xE2\x80\xA8 \xF0\x9F\x8E\xB5 </script>");
    EXPECT_EQ(s.pictures[1], PictureState{});
    EXPECT_EQ(s.pictures[2], (PictureState{"", "text.bmp"}));
    ASSERT_EQ(s.backlog.size(), 3u);
    EXPECT_EQ(s.backlog[1], (BacklogEntry{BacklogEntry::Kind::Choice, "賽銭 Offer coin"}));

    const SaveDocument empty = *decodeSave(fixture("nothing-set.json"), why);
    EXPECT_EQ(empty.snapshot, Snapshot{});
    EXPECT_FALSE(empty.picture);
}

TEST(SaveDocument, DamagedDocumentsAreRefusedWithWhatIsWrong) {
    const std::string good = fixture("every-value.json");
    // Cut short anywhere: never read, always said so with where.
    for (std::size_t length : {std::size_t(0), std::size_t(1), std::size_t(40), good.size() / 2, good.size() - 3}) {
        const std::string why = refusal(good.substr(0, length));
        EXPECT_EQ(why.rfind("it is cut short or damaged (", 0), 0u) << why;
        EXPECT_NE(why.find(" at byte "), std::string::npos) << why;
    }
    EXPECT_EQ(refusal("[1,2]"), "it is not a saved game of this player");
    EXPECT_EQ(refusal(replaced(good, "VORN saved game", "VORN saved gam")), "it is not a saved game of this player");
    EXPECT_NE(refusal(replaced(good, "\"version\":1", "\"version\":2")).find("made by a newer version"),
              std::string::npos);
    EXPECT_EQ(refusal(replaced(good, "\"version\":1", "\"version\":1.5")),
              "it is damaged: \"version\" is not a whole number from 1 to 1099511627776");
    EXPECT_EQ(refusal(replaced(good, "[0,1,2,4,8,16,128,255]", "[0,1,2,4,8,16,128]")),
              "it is damaged: \"flags\" is not a list of 8");
    EXPECT_EQ(refusal(replaced(good, "[0,1,2,4,8,16,128,255]", "[0,1,2,4,8,16,128,256]")),
              "it is damaged: \"flags\" is not a whole number from 0 to 255");
    EXPECT_EQ(refusal(replaced(good, "\"WaitCmd\":-1", "\"WaitCmd\":\"-1\"")),
              "it is damaged: \"WaitCmd\" is not a whole number from -1 to 0");
    EXPECT_EQ(refusal(replaced(good, "\"menuWaiting\":true", "\"menuWaiting\":1")),
              "it is damaged: \"menuWaiting\" is not true or false");
    EXPECT_EQ(refusal(replaced(good, "\"captions\":[", "\"captions\":[1,")),
              "it is damaged: \"captions\" is not a list of 4");
    EXPECT_EQ(refusal(replaced(good, "\"music\":\"\"", "\"music\":{}")), "it is damaged: \"music\" is not a text");
    EXPECT_EQ(refusal(replaced(good, "{\"page\":\"one\"}", "{\"page\":\"one\",\"choice\":\"x\"}")),
              "it is damaged: \"backlog\" is not a list of pages and options chosen");
    EXPECT_EQ(refusal(replaced(good, "\"game\":{", "\"gam\":{")), "it is damaged: \"game\" is not an object");
    // Deep nesting and bytes that are not UTF-8 are refused, not a crash.
    EXPECT_EQ(refusal(std::string(20000000, '[')),
              "it is cut short or damaged (lists and objects nested more than 64 deep)");
    EXPECT_EQ(refusal(replaced(good, "line two", "line \xFF two")).rfind("it is cut short or damaged", 0), 0u);
}

// Save and load with the memory store and a script hash handed in, as the
// browser page does it (it computes the hash itself).
TEST(SavesWithoutQt, ASaveOfAnEditedScriptIsRefusedAndTheRestLoads) {
    auto tree = std::make_shared<MemoryTree>();
    tree->add("code.vrn", "\"one\"\"two\"(2 a,b){\"A\"}{\"B\"}");
    for (const char* file : {"back.bmp", "mouse.ico", "text.bmp"}) tree->add(file, "shown by no one");
    tree->setName("demo");
    const GameFolder folder(tree);
    test::QuietSurface surface;
    SilentMusicDevice device;
    Interpreter interpreter(folder, surface, device);
    MemorySlotStore store;
    std::string hash = std::string(64, 'c');
    Saves saves(interpreter, folder, store, "demo", [&](std::string_view) { return hash; });
    interpreter.load();
    interpreter.playRun();

    ASSERT_EQ(saves.save("first", "png").english(), "");
    interpreter.resume();
    ASSERT_EQ(interpreter.snapshot()->text, "two");
    const std::vector<SlotSummary> listed = saves.list();
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0].firstLine, "one");
    EXPECT_EQ(listed[0].picture, "png");
    EXPECT_EQ(listed[0].savedAt.size(), std::string("2026-12-07T12:34:56Z").size());
    EXPECT_EQ(listed[0].savedAt.back(), 'Z');

    ASSERT_EQ(saves.load("first").english(), "");
    EXPECT_EQ(interpreter.snapshot()->text, "one");
    std::string why;
    EXPECT_EQ(decodeSave(*store.readDocument("first", why), why)->game, (GameIdentity{"demo", hash}));

    hash = std::string(64, 'd'); // as if the script had been edited
    EXPECT_NE(saves.load("first").english().find("another version of this game's script"), std::string::npos);
    EXPECT_NE(saves.list()[0].problem.english().find("another version"), std::string::npos);
    EXPECT_EQ(interpreter.snapshot()->text, "one") << "a refused load changes nothing";
}

// A new save is "slot-N", one above the highest such slot; the reader's own
// names, the quick slot and numbers too long to be the player's do not count.
TEST(SlotNames, ANewSlotIsNumberedOneAboveTheHighestNumberedSlot) {
    EXPECT_EQ(newSlotName({}), "slot-1");
    EXPECT_EQ(newSlotName({"quick", "continue", "slot-x", "slot-", "my-slot-9"}), "slot-1");
    EXPECT_EQ(newSlotName({"slot-2", "slot-10", "slot-3"}), "slot-11");
    EXPECT_EQ(newSlotName({"slot-9999999", "slot-12345678", "slot-1"}), "slot-10000000");
}

// A save padded with members no save has reads as the save it pads, and what
// it is padded with is not kept: a file far too large is refused unread.
TEST(SaveDocument, PaddingIsReadPastAndAFileTooLargeIsRefusedUnread) {
    const std::string good = fixture("every-value.json");
    std::string why;
    const SaveDocument expected = *decodeSave(good, why);
    const auto decodes = [&](const std::string& bytes) {
        std::string problem;
        const std::optional<SaveDocument> d = decodeSave(bytes, problem);
        EXPECT_TRUE(d) << problem;
        if (d) {
            EXPECT_EQ(d->snapshot, expected.snapshot);
        }
    };
    std::string objects = "[";
    for (int k = 0; k < 200000; ++k) objects += k ? ",{\"a\":[{}]}" : "{\"a\":[{}]}";
    objects += "]";
    decodes(replaced(good, "\"saved\":", "\"padding\":" + objects + ",\"saved\":"));
    decodes(replaced(good, "\"WaitCmd\":", "\"x\":{\"y\":" + objects + "},\"WaitCmd\":"));
    decodes(replaced(good, "\"file\":null", "\"file\":null,\"unknown\":\"" + std::string(100000, 'z') + "\""));

    // Where a save has one value, a list or an object is not one, however long.
    EXPECT_EQ(refusal(replaced(good, "\"music\":\"\"", "\"music\":" + objects)), "it is damaged: \"music\" is not a text");
    std::string flags = "[";
    for (int k = 0; k < 1000000; ++k) flags += k ? ",0" : "0";
    EXPECT_EQ(refusal(replaced(good, "[0,1,2,4,8,16,128,255]", flags + "]")), "it is damaged: \"flags\" is not a list of 8");
    EXPECT_EQ(refusal(replaced(good, "\"captions\":[", "\"captions\":[" + objects + ",")),
              "it is damaged: \"captions\" is not a list of 4");
    EXPECT_EQ(refusal(replaced(good, "{\"page\":\"one\"}", "{\"page\":" + objects + "}")),
              "it is damaged: \"page\" is not a text");
    EXPECT_EQ(refusal(replaced(good, "{\"page\":\"one\"}", "{}")),
              "it is damaged: \"backlog\" is not a list of pages and options chosen");
    EXPECT_EQ(refusal(replaced(good, "{\"page\":\"one\"}", "\"one\"")),
              "it is damaged: \"backlog\" is not a list of pages and options chosen");

    // A backlog of countless entries keeps the latest, as many as a load keeps.
    std::string entries;
    for (std::size_t k = 0; k < SurfaceMirror::kBacklogCharacters + 5000; ++k) entries += "{\"choice\":\"\"},";
    const std::optional<SaveDocument> long_ =
        decodeSave(replaced(good, "{\"page\":\"one\"},", entries + "{\"page\":\"one\"},"), why);
    ASSERT_TRUE(long_) << why;
    std::size_t weight = 0;
    for (const BacklogEntry& entry : long_->snapshot.backlog) weight += SurfaceMirror::weight(entry.text);
    EXPECT_EQ(weight, SurfaceMirror::kBacklogCharacters) << "the oldest entries are dropped, one by one";
    EXPECT_EQ(long_->snapshot.backlog.back(), expected.snapshot.backlog.back());

    std::string huge = replaced(good, "\"saved\":", "\"padding\":\"" + std::string(kMaxSaveBytes, ' ') + "\",\"saved\":");
    EXPECT_EQ(refusal(huge), "it is larger than 24 MB, far larger than a saved game");
}

// Values the interpreter never holds, and names that leave the game folder,
// make a snapshot impossible; everything a script can bring about is not.
TEST(SaveDocument, OnlySnapshotsAScriptCanBringAboutArePossible) {
    Snapshot s;
    EXPECT_EQ(impossibleSnapshot(s).english(), "");
    s.WaitCmd = -1;
    s.NumCmds = 0;
    s.Cmd_Selected = 3; // a page in the chosen branch reset the count
    s.pictures[1] = {"pictures\\room.bmp", "pictures/../room.bmp"};
    s.musfile = s.music = "music/./a..b.mid";
    EXPECT_EQ(impossibleSnapshot(s).english(), "");
    s.menuWaiting = true;
    s.Cmd_Selected = 0;
    s.NumCmds.reset(); // a menu whose count was no digit
    EXPECT_EQ(impossibleSnapshot(s).english(), "");
    s.NumCmds = 4;
    EXPECT_EQ(impossibleSnapshot(s).english(), "");

    const auto impossible = [&](auto change, const std::string& expected) {
        Snapshot bad = s;
        change(bad);
        EXPECT_EQ(impossibleSnapshot(bad).english(), expected);
    };
    impossible([](Snapshot& b) { b.WaitCmd = 1; }, "WaitCmd holds neither 0 nor -1");
    impossible([](Snapshot& b) { b.NumCmds = 32767; },
               "NumCmds holds 32767, where a choice menu has at most 4 options");
    impossible([](Snapshot& b) { b.NumCmds = -3; }, "NumCmds holds -3, where a choice menu has at most 4 options");
    impossible([](Snapshot& b) { b.Cmd_Selected = 9; },
               "Cmd_Selected holds 9, where a choice menu has at most 4 options");
    impossible([](Snapshot& b) { b.NumCmds = 0; }, "a choice menu waits while WaitCmd holds -1 and NumCmds 0");
    impossible([](Snapshot& b) { b.WaitCmd = 0; }, "a choice menu waits while WaitCmd holds 0 and NumCmds 4");
    impossible([](Snapshot& b) { b.pictures[1].file = "/etc/x.bmp"; },
               "its picture \"/etc/x.bmp\" of Image1 lies outside the game folder");
    impossible([](Snapshot& b) { b.pictures[2].sizeOf = "a\\..\\..\\x.bmp"; },
               "its picture \"a\\..\\..\\x.bmp\" of Image2 lies outside the game folder");
    impossible([](Snapshot& b) { b.pictures[0].file = "\\\\server\\x.bmp"; },
               "its picture \"\\\\server\\x.bmp\" of Form1 lies outside the game folder");
    impossible([](Snapshot& b) { b.music = "../x.mid"; }, "its music \"../x.mid\" lies outside the game folder");
    impossible([](Snapshot& b) { b.musfile = "./../x.mid"; }, "its music \"./../x.mid\" lies outside the game folder");

    // Linear in the name: 200,000 parts take no time at all.
    std::string deep;
    for (int k = 0; k < 100000; ++k) deep += "a/";
    for (int k = 0; k < 100000; ++k) deep += "../";
    EXPECT_FALSE(nameLeavesGameFolder(deep + "x.bmp"));
    EXPECT_TRUE(nameLeavesGameFolder(deep + "../x.bmp"));
}
