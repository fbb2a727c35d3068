#pragma once
// Saving and loading one game: the interpreter's snapshot, named for its game,
// kept in a slot store. Front ends call save() and load() between runs and
// show what they return, a reason worded in the reader's language by the
// window and in English by the transcript and the page. Plain C++: the desktop's folders and Qt's SHA-256 are
// in save_store.h.

#include "interpreter/game_folder.h"
#include "interpreter/interpreter.h"
#include "save_format.h"
#include "slot_store.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vorn {

// The slots the window fills by itself: F5's, and the place kept when the
// window is closed in the middle of a game.
inline constexpr const char* kQuickSlot = "quick";
inline constexpr const char* kContinueSlot = "continue";

// Which of those a slot is: kQuickSlot or kContinueSlot for the slot itself
// and for its name with a script's mark (see Saves::ownSlot), else none.
std::optional<std::string> automaticSlotOf(const std::string& slot);

// The slot that the window's own slot `slot` (quick or continue) is for the
// game `owner` in `store`. The slot of that name while it is empty or holds a
// save of the same game and script; otherwise the name followed by '-' and
// the first 8 hex digits of the script's SHA-256 ("quick-5d41402a"), so that
// an automatic save never overwrites a save of another game kept under the
// same folder name, nor one of an earlier version of this game. `forSaving`
// false: the marked slot when it exists, else the plain one (which may then
// be refused, saying why).
std::string ownSlot(const SlotStore& store, const std::string& slot, const GameIdentity& owner, bool forSaving);

// What a save dialog shows of a slot.
struct SlotSummary {
    std::string slot;
    std::string savedAt;   // UTC, as 2026-12-07T12:34:56Z; empty when the slot cannot be read
    std::string firstLine; // of the page on screen (or the latest page read, while a menu waits), cut short
    std::string picture;   // PNG; empty when none
    Message problem;       // why the slot cannot be loaded; empty when it can
};

// The SHA-256 of a script's bytes, in lower-case hex.
using ScriptHash = std::function<std::string(std::string_view script)>;

class Saves {
  public:
    // `gameName` is the name the saves are kept under and checked against.
    Saves(Interpreter& interpreter, const GameFolder& folder, SlotStore& store, std::string gameName,
          ScriptHash scriptHash);
    // The desktop's: the game folder's name on disk and the SHA-256 by Qt
    // (defined with the folder store).
    Saves(Interpreter& interpreter, const GameFolder& folder, SlotStore& store);

    // The desktop's name of the game: its folder's, found on disk, or the
    // folder's inside an archive (defined with the folder store).
    static std::string gameName(const GameFolder& folder);
    // Qt's SHA-256 (defined with the folder store).
    static std::string scriptHash(std::string_view script);

    // Saves the game as it stands into `slot`; `png` is a picture of the scene
    // (the window's), or empty. Returns nothing when saved, otherwise why
    // not, naming the slot; the slot then keeps what it held.
    Message save(const std::string& slot, const std::string& png = {});
    // Loads `slot` and shows its screen. Returns nothing when loaded,
    // otherwise why not, naming the slot; the game then goes on unchanged,
    // and the slot is kept whatever is wrong with it.
    Message load(const std::string& slot);
    // Every slot of the store, readable or not, by name.
    std::vector<SlotSummary> list() const;
    // One slot; none when it is empty.
    std::optional<SlotSummary> find(const std::string& slot) const;
    // Deletes a slot, on the reader's request only.
    Message remove(const std::string& slot);
    // The slot to use for the window's own slot `slot` (quick or continue)
    // in this game, as ownSlot() above decides it for the script being played.
    std::string ownSlot(const std::string& slot, bool forSaving) const;

  private:
    GameIdentity identity() const;
    // The slot's document, checked for this game; `why` says what is wrong.
    std::optional<SaveDocument> read(const std::string& slot, Message& why) const;
    // The same for a document already read from the slot.
    std::optional<SaveDocument> decode(const std::string& slot, const std::string& bytes, Message& why) const;

    Interpreter& interpreter_;
    const GameFolder& folder_;
    SlotStore& store_;
    ScriptHash scriptHash_;
    std::string gameName_;
};

} // namespace vorn
