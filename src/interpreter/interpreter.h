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
#include "script_stream.h"
#include "snapshot.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace vorn {

class Interpreter {
  public:
    Interpreter(const GameFolder& folder, DisplaySurface& surface, MusicDevice& device);

    // State members. Empty optionals are the values never assigned; they count
    // as 0 (or the empty text) wherever they are compared.
    std::int16_t WaitCmd = 0;
    std::optional<std::int16_t> NumCmds;
    std::optional<std::string> musfile; // UTF-8
    std::array<std::uint8_t, 8> Flag{}; // Flag_A .. Flag_H
    std::optional<std::int16_t> Cmd_Selected;

    // Events. Each of them does nothing while a run is in progress, so no
    // event can interleave with the script.
    void load();    // opens the script; shows the background, sets the cursor, sets the music device up
    void playRun(); // plays the script until it pauses or ends
    // A click on the text box: the next run, unless a menu waits for a choice.
    void resume();
    // A click on option `option` (1..4) of the menu waiting: plays its branch.
    void chooseOption(int option);
    // Whether a click on option `option` would play its branch now.
    bool offersOption(int option) const;
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

  private:
    // The command table names the command procedures.
    friend std::span<const CommandRow> commandRows();

    // Run loop helpers.
    bool fetch(ScriptChar& ch);
    void runCommand(Table table, const ScriptChar& ch);
    void keepAliveNowAndThen();

    // Command procedures, each reading its own arguments from the stream.
    void showPage(Table from);
    void showPicture(Table from);
    void playMusic(Table from);
    void jump(Table from);
    void showMenu(Table from);
    void setFlag(Table from);
    void clearFlag(Table from);
    void ifSet(Table from);
    void ifClear(Table from);
    void conditional(bool runWhenSet);
    void endBranch(Table from);
    void skipBranch();

    // The flag a command names; throws FatalError when its bit is no digit.
    syntax::FlagSyntax readFlagName(const char* command);
    std::string readUntil(char closing); // raw script bytes, closing char consumed
    void beginCommand(Command command);
    // `what` names the loader in a report; `commandOffset` its place in the script, if any.
    void loadPicture(PictureElement element, const std::string& name, const char* what,
                     std::optional<std::size_t> commandOffset);
    void sendMusic(const std::string& fileName);
    Message readSavedPicture(const PictureState& saved, std::string& bytes, std::string& sizeBytes) const;
    std::string showSavedPicture(PictureElement element, const PictureState& saved, const std::string& bytes,
                                 const std::string& sizeBytes);
    void putPictureBack(PictureElement element, const PictureState& shown);

    const GameFolder& folder_;
    SurfaceMirror surface_; // every display and device operation goes through these
    DeviceMirror device_;
    ScriptStream stream_;

    bool running_ = false;
    bool menuWaiting_ = false;
    bool newCycle_ = false; // a set command ended the cycle; the next begins at once
    bool musicDonePending_ = false;
    std::size_t commandOffset_ = 0; // where the command being carried out starts
    std::size_t menuOffset_ = 0;
    std::uint32_t cyclesSinceCheck_ = 0;
    std::chrono::steady_clock::time_point lastAlive_;
};

// The value of NumCmds or Cmd_Selected in a comparison: empty counts as 0.
int valueOr0(const std::optional<std::int16_t>& value);

} // namespace vorn
