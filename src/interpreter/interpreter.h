#pragma once
// The interpreter: the state members of the window, the run routine that plays
// the script in runs, and the command procedures it dispatches to. It reaches
// the screen and the music only through a DisplaySurface and a MusicDevice.

#include "command_syntax.h"
#include "command_table.h"
#include "display_surface.h"
#include "game_folder.h"
#include "mirror.h"
#include "music_device.h"
#include "read_pages.h"
#include "script_stream.h"
#include "snapshot.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <span>
#include <string>

namespace vorn {

// The window's background and the cursor's icon, the first pictures a game loads.
inline constexpr const char* kBackgroundPicture = "back.bmp";
inline constexpr const char* kCursorIcon = "mouse.ico";

class Interpreter {
  public:
    Interpreter(const GameFolder& folder, DisplaySurface& surface, MusicDevice& device);

    // State members, by the names the games' authors know. Empty optionals are
    // the values never assigned; they count as 0 (or the empty text) wherever
    // they are compared, but a save keeps them apart.

    // Whether the run goes on: 0 while it reads the script, -1 once a command
    // has asked for a pause for the reader (a page shown, a menu offered),
    // which ends the run. Each run starts at 0.
    std::int16_t WaitCmd = 0;
    // The options of the latest menu, 1 to 4 while it waits or one of its
    // branches plays; 0 after a page shown outside the branch half, when a click on the text
    // box plays on. Empty before any menu, and after a menu whose count is no
    // digit 1 to 4 (it offers nothing, and a click on the text plays on).
    std::optional<std::int16_t> NumCmds;
    // The music file playing, as the music command named it (UTF-8), started
    // again whenever it ends; empty before any music command.
    std::optional<std::string> musfile;
    std::array<std::uint8_t, 8> Flag{}; // Flag_A .. Flag_H, one bit per flag 1..8
    // The option whose branch plays, 1 to 4: each cycle of a run then has its
    // branch half. 0 once the branch has ended ('}'); empty before any choice
    // and after "New".
    std::optional<std::int16_t> Cmd_Selected;

    // Events. Each of them does nothing while a run is in progress, so no
    // event can interleave with the script.
    void load();    // opens the script; shows the background, sets the cursor, sets the music device up
    void playRun(); // plays the script until it pauses or ends
    // A click on the text box: the next run, unless a menu waits for a choice.
    void resume();
    // Whether a click on the text box would start a run now: no run is going
    // on, and no menu waits for its choice (or a chosen branch plays on).
    bool textClickPlaysOn() const;
    // A click on option `option` (1..4) of the menu waiting: plays its branch.
    void chooseOption(int option);
    // Whether a click on option `option` would play its branch now.
    bool offersOption(int option) const;
    // How many captions, from the top, take a press where they overlap the
    // caption above them: the waiting menu's options, or all four while no
    // menu waits.
    int offeredCaptions() const;
    // The music reached its end; while a run is going on it waits for the run's end.
    void musicEnded();
    // "New": the script again from its first character, with no choice under
    // way; the flags, the music and the screen are kept.
    void restartScript();
    // Shut-down: the script is closed; nothing plays after.
    void close();

    bool running() const { return running_; }
    // True while the last run paused at a choice menu and no run has started since.
    bool menuWaiting() const { return menuWaiting_; }
    const ScriptStream& stream() const { return stream_; }

    // Saving. A game is saved and loaded only between runs, never inside one.
    // The snapshot of the game as it stands; none while a run is in progress.
    std::optional<Snapshot> snapshot() const;
    // Puts the game back as `saved` holds it, with `script` (the bytes of
    // code.vrn it was saved with) as the script stream, and shows the saved
    // screen and music again through the surface and the device: pictures
    // reloaded from the game folder, the music started from its beginning.
    // Returns why it cannot be done, with nothing changed; nothing when done. A
    // saved picture that no longer decodes refuses the load too, once the
    // pictures shown before are back; only when those cannot be shown again
    // does it throw FatalError, as the picture command does.
    Message restore(const Snapshot& saved, std::string script);
    // The pages read and the options chosen, oldest first.
    const std::deque<BacklogEntry>& backlog() const { return surface_.backlog(); }
    // What the screen shows as the script put it there (UTF-8): Text1's page
    // and the four captions; and a count that grows with each change of them.
    const std::string& pageText() const { return surface_.text(); }
    const std::array<std::string, 4>& captions() const { return surface_.captions(); }
    unsigned long long screenChanges() const { return surface_.changes(); }

    // Going back. The places where the reader waited are kept, newest last:
    // one after every run that ended (start-up's first run, a click that
    // played on, an option chosen, "New") and one after each load. The
    // newest is where the reader is now.
    static constexpr std::size_t kKeptPlaces = 200;
    // And their pages and captions up to this many bytes, the latest two
    // places always: a script showing huge pages over and over keeps fewer
    // places behind rather than a copy of each (and of the backlog entries
    // they hold aside), which would fill the memory.
    static constexpr std::size_t kKeptPlacesBytes = std::size_t(8) * 1024 * 1024;
    // How many places lie behind the one the reader is at: how often
    // stepBack() can be done.
    std::size_t placesBehind() const;
    // Puts the game back as it was at the place before the current one, and
    // drops the current one: the screen and the music through the surface
    // and the device (only what differs from what is shown), and the
    // position, members, flags and backlog exactly. The same clicks after it
    // play as they did the first time. Returns why not (nothing behind, a run
    // in progress), with nothing changed; nothing when done. Throws
    // FatalError only when a picture of the place can no longer be shown.
    Message stepBack();
    // Goes back to the place where the backlog's entry `backlogIndex`
    // (0 = the oldest entry backlog() holds) was on screen: the page itself,
    // or for an option chosen, the menu that offered it. Returns why not
    // (no kept place shows it, or the reader is there already).
    Message stepBackTo(std::size_t backlogIndex);
    // Drops every kept place but none: the next run keeps the first one. For
    // a front end that puts the game back to its start by restore().
    void forgetPlaces();
    // Places are kept unless turned off (the explorer's copies keep none).
    void setKeepingPlaces(bool keep);

    // Read pages. `pages` is the set the front end keeps (and stores);
    // `digest` names the script in it. Without them no page counts as read.
    void setReadPages(ReadPages* pages, ScriptDigest digest);
    // Whether the page on screen has been played on from before in this game
    // (its script), by this reader. False at a menu and before any page.
    bool pageRead() const;
    // Skipping stops after this many pages in a row.
    static constexpr std::size_t kSkipLimit = 10000;
    // Turns the page on screen as a click on the text would, if it may be
    // skipped: read before (or `skipUnread`), no menu waiting, no run going
    // on, and the script not at its end. Returns whether it turned it. The
    // page turned keeps a place, as a click does. Throws FatalError as a
    // click would.
    bool skipStep(bool skipUnread);
    // skipStep() until it turns nothing or kSkipLimit pages have turned;
    // returns the pages turned.
    std::size_t skip(bool skipUnread);

  private:
    // The command table names the command procedures.
    friend std::span<const CommandRow> commandRows();

    // Run loop helpers.
    bool fetch(ScriptChar& ch);
    void runCommand(Context context, const ScriptChar& ch);
    void pointReportsAt(const CommandRow& row);
    void keepAliveNowAndThen();

    // Command procedures, each reading its own arguments from the stream.
    void showPage(Context from);
    void showPicture(Context from);
    void playMusic(Context from);
    void jump(Context from);
    void showMenu(Context from);
    void setFlag(Context from);
    void clearFlag(Context from);
    void ifSet(Context from);
    void ifClear(Context from);
    void conditional(bool runWhenSet);
    void endBranch(Context from);
    void skipBranch();

    // The flag a command names; throws FatalError when its bit is no digit.
    syntax::FlagSyntax readFlagName(const char* command);
    std::string readUntil(char closing); // raw script bytes, closing char consumed
    // `what` names the loader in a report; `commandOffset` its place in the script, if any.
    void loadPicture(PictureElement element, const std::string& name, const char* what,
                     std::optional<std::size_t> commandOffset);
    void sendMusic(const std::string& fileName);
    Message readSavedPicture(const PictureState& saved, std::string& bytes, std::string& sizeBytes) const;
    std::string showSavedPicture(PictureElement element, const PictureState& saved, const std::string& bytes,
                                 const std::string& sizeBytes);
    void putPictureBack(PictureElement element, const PictureState& shown);
    // Shows the pictures `saved` holds, or only those that differ from the
    // ones on screen; returns why not, with the screen as it was.
    Message showSavedPictures(const Snapshot& saved, bool onlyChanged);
    Snapshot stateWithoutBacklog() const;

    // A kept place: the game as the reader waited there, without its backlog,
    // which the backlog shown now holds (numbered entries start to end), or,
    // for a place kept before a load, a copy shared by all such places.
    struct BacklogCopy {
        std::deque<BacklogEntry> entries;
        std::size_t start = 0; // the number of its first entry
    };
    struct KeptPlace {
        Snapshot state;
        std::shared_ptr<const std::string> script;
        std::size_t backlogStart = 0;
        std::size_t backlogEnd = 0;
        std::shared_ptr<const BacklogCopy> backlogBefore;
    };
    void keepPlace();
    // The places kept before the backlog is replaced by a load keep a copy of it.
    void keepBacklogForPlaces();
    // How far the backlog's trimming may go: the oldest place's entries stay.
    void guardPlacesBacklog();
    Message putBack(const KeptPlace& place);
    void takeMembersOf(const Snapshot& saved);
    // The byte offset where the text of the page on screen starts; none
    // while a menu waits, during a run, and before the first page.
    std::optional<std::size_t> pageOffset() const;
    const std::string& scriptDigest() const;
    void markPageRead();

    const GameFolder& folder_;
    SurfaceMirror surface_; // every display and device operation goes through these
    DeviceMirror device_;
    ScriptStream stream_;

    bool running_ = false;          // a run is in progress: events wait for its end
    bool menuWaiting_ = false;      // the last run paused at a menu, and no run has started since
    bool newCycle_ = false;         // a set command ended the cycle; the next begins at once
    bool musicDonePending_ = false; // the music ended during the run: started again after it
    std::size_t commandOffset_ = 0; // where the command being carried out starts
    std::size_t menuOffset_ = 0;    // where the latest menu starts: branch reports name it
    std::uint32_t cyclesSinceCheck_ = 0;
    std::deque<KeptPlace> places_;
    bool keepingPlaces_ = true;
    ReadPages* readPages_ = nullptr;
    ScriptDigest digest_;
    mutable std::shared_ptr<const std::string> digested_; // the script whose digest digestText_ is
    mutable std::string digestText_;
    std::chrono::steady_clock::time_point lastAlive_;
};

// The value of NumCmds or Cmd_Selected in a comparison: empty counts as 0.
int valueOr0(const std::optional<std::int16_t>& value);

} // namespace vorn
