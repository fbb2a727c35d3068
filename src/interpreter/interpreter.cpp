#include "interpreter.h"

#include "fatal_error.h"

namespace vorn {
namespace {

constexpr const char* kCursorUnreadable = VORN_TR("cannot load the cursor \"%1\": %2.");
constexpr const char* kCursorNoIcon =
    VORN_TR("cannot load the cursor \"%1\": it is not an icon file the player can read.");
constexpr const char* kPictureUnreadable = VORN_TR("%1: cannot load the picture \"%2\": %3.");
constexpr const char* kPictureUndecodable =
    VORN_TR("%1: cannot load the picture \"%2\": it is not a picture the player can read (a Windows bitmap is "
            "expected).");
constexpr const char* kPictureNameTooLong =
    VORN_TR("%1: cannot load the picture \"%2\": its name is %3 bytes long, longer than any file name the player "
            "looks for (%4 bytes at most); write the file's own name, as in <room.bmp>.");
constexpr const char* kPlaceAndWhat = VORN_TR("%1: %2");
constexpr const char* kWindowBackground = VORN_TR("the window background");
constexpr const char* kTheCursor = VORN_TR("the cursor");

} // namespace

int valueOr0(const std::optional<std::int16_t>& value) { return value.value_or(0); }

Interpreter::Interpreter(const GameFolder& folder, DisplaySurface& surface, MusicDevice& device)
    : folder_(folder), surface_(surface), device_(device), stream_(folder) {}

void Interpreter::load() {
    stream_.open();
    loadPicture(PictureElement::Form1, kBackgroundPicture, kWindowBackground, std::nullopt);
    const FileContents icon = folder_.read(kCursorIcon, kMaxIconBytes);
    if (!icon.error.empty()) {
        if (const std::string archive = folder_.archive(); !archive.empty())
            throw FatalError(archiveFileUnreadable(archive, Message(kTheCursor), kCursorIcon, icon.why()));
        throw FatalError(Message(kCursorUnreadable, {Message::words(kCursorIcon), icon.why()}));
    }
    if (!surface_.setCursor({kCursorIcon, icon.bytes}))
        throw FatalError(Message(kCursorNoIcon, {Message::words(kCursorIcon)}));
    device_.setNotify(false);
    device_.setWait(true);
    device_.setShareable(false);
    device_.setDeviceType("Sequencer");
}

// The run loop. The script plays in runs: each click on the text box (or on
// an option, or the game's start) starts one run, and the run reads the script
// forward until it pauses for the reader. A run is a sequence of cycles, and a
// cycle has two halves:
//   - the branch half, only while a chosen branch plays (Cmd_Selected > 0):
//     one command character is fetched and looked up in the branch context,
//     where '}' ends the branch;
//   - the main half, only while no pause has been asked for (WaitCmd 0): one
//     more command character is fetched and looked up in the main context.
// So while a branch plays, each cycle reads two characters, one in each half;
// this is how the games' scripts were always played, and a '}' that falls to
// a main half is passed over as text.
// A set command ends its cycle at once and the next begins (newCycle_): the
// nested run it started in the original player, without nesting the stack.
// A run ends when a command asks for a pause (WaitCmd -1: a page shown, a
// menu offered) or when the script has no command character left. A music
// end reported during the run is handled once the run is over.
void Interpreter::playRun() {
    if (running_) return;
    struct RunScope {
        Interpreter& self;
        explicit RunScope(Interpreter& s) : self(s) {
            self.running_ = true;
            self.menuWaiting_ = false;
            self.lastAlive_ = std::chrono::steady_clock::now();
        }
        ~RunScope() { self.running_ = false; }
    } scope(*this);

    WaitCmd = 0;
    while (true) {
        keepAliveNowAndThen();
        newCycle_ = false;
        if (stream_.atEnd()) break;
        if (valueOr0(Cmd_Selected) > 0) { // the branch half
            ScriptChar ch;
            if (!fetch(ch)) break;
            runCommand(Context::Branch, ch);
            if (newCycle_) continue;
        }
        if (WaitCmd == 0) { // the main half
            if (stream_.atEnd()) break;
            ScriptChar ch;
            if (!fetch(ch)) break;
            runCommand(Context::Main, ch);
            if (newCycle_) continue;
        }
        if (WaitCmd == -1) break; // a pause for the reader
    }
    running_ = false;
    if (musicDonePending_) {
        musicDonePending_ = false;
        musicEnded();
    }
    keepPlace(); // the reader waits here
}

bool Interpreter::fetch(ScriptChar& ch) {
    if (!stream_.fetchCommandChar(ch)) return false;
    commandOffset_ = stream_.position() - ch.bytes.size();
    return true;
}

// A character that is no command in this context is ordinary text: consumed
// without effect.
void Interpreter::runCommand(Context context, const ScriptChar& ch) {
    if (const CommandRow* row = findCommand(context, ch)) {
        pointReportsAt(*row);
        (this->*row->handler)(context);
    }
}

// A run that never pauses must still let the reader close the window.
void Interpreter::keepAliveNowAndThen() {
    if (++cyclesSinceCheck_ < 16) return;
    cyclesSinceCheck_ = 0;
    const auto now = std::chrono::steady_clock::now();
    if (now - lastAlive_ < std::chrono::milliseconds(50)) return;
    lastAlive_ = now;
    surface_.keepAlive();
}

// No menu waits for a choice (NumCmds 0), or a chosen branch plays on.
bool Interpreter::textClickPlaysOn() const {
    return !running_ && (valueOr0(NumCmds) == 0 || valueOr0(Cmd_Selected) != 0);
}

int Interpreter::offeredCaptions() const { return menuWaiting_ ? valueOr0(NumCmds) : 4; }

void Interpreter::resume() {
    // One click starts at most one run, so the page it shows stays to be read.
    if (!textClickPlaysOn()) return;
    markPageRead(); // the reader plays on from the page on screen
    WaitCmd = 0;
    playRun();
}

void Interpreter::musicEnded() {
    if (running_) {
        musicDonePending_ = true;
        return;
    }
    sendMusic(musfile.value_or(""));
}

void Interpreter::restartScript() {
    if (running_) return;
    stream_.reopen();
    // A choice under way belongs to the old reading: kept, it would play the
    // restart in branch mode and never offer the first menu again.
    NumCmds.reset();
    Cmd_Selected.reset();
    WaitCmd = 0;
    playRun();
}

void Interpreter::close() { stream_.close(); }

// An end-of-file report from here on names this command, its place and its hint.
void Interpreter::pointReportsAt(const CommandRow& row) {
    stream_.setReading(row.name, row.cutOffHint, commandOffset_, row.readsText ? row.closing : 0);
}

std::string Interpreter::readUntil(char closing) {
    std::string raw;
    while (true) {
        const ScriptChar ch = stream_.readChar();
        if (ch.is(closing)) return raw;
        raw.append(ch.bytes);
    }
}

void Interpreter::loadPicture(PictureElement element, const std::string& name, const char* what,
                              std::optional<std::size_t> commandOffset) {
    // The place in the script is worked out only for a report: it costs a scan
    // from the top of the script.
    const auto where = [&] {
        return commandOffset ? Message(kPlaceAndWhat, {Message::words(stream_.describe(*commandOffset)), what})
                             : Message(what);
    };
    PictureFile picture{name, std::nullopt};
    if (name.size() > kMaxFileNameBytes)
        throw FatalError(
            Message(kPictureNameTooLong, {where(), Message::words(name), Message::words(std::to_string(name.size())),
                                          Message::words(std::to_string(kMaxFileNameBytes))}));
    if (!name.empty()) {
        FileContents file = folder_.read(name, kMaxPictureBytes);
        if (!file.error.empty()) {
            // The background at start-up: an archive that cannot give it is refused.
            if (const std::string archive = folder_.archive(); !commandOffset && !archive.empty())
                throw FatalError(archiveFileUnreadable(archive, Message(what), name, file.why()));
            throw FatalError(Message(kPictureUnreadable, {where(), Message::words(name), file.why()}));
        }
        picture.bytes = std::move(file.bytes);
    }
    if (!surface_.setPicture(element, picture))
        throw FatalError(Message(kPictureUndecodable, {where(), Message::words(name)}));
}

} // namespace vorn
