// Taking a snapshot of a paused game and putting one back.

#include "fatal_error.h"
#include "interpreter.h"
#include "script_stream.h"

namespace vorn {
namespace {

constexpr PictureElement kElements[] = {PictureElement::Form1, PictureElement::Image1, PictureElement::Image2};

// Why a snapshot cannot be put back, worded for the reader.
constexpr const char* kInRun = VORN_TR("the game is in the middle of a run; load it when the page has been shown");
constexpr const char* kNotStarted = VORN_TR("the game has not started, or has shut down");
constexpr const char* kPlaceOutside = VORN_TR("its place in the script lies outside %1");
constexpr const char* kWaitCmd = VORN_TR("WaitCmd holds neither 0 nor -1");
constexpr const char* kNumCmds = VORN_TR("NumCmds holds %1, where a choice menu has at most 4 options");
constexpr const char* kCmdSelected = VORN_TR("Cmd_Selected holds %1, where a choice menu has at most 4 options");
constexpr const char* kMenuWaits = VORN_TR("a choice menu waits while WaitCmd holds %1 and NumCmds %2");
constexpr const char* kEmpty = VORN_TR("empty");
constexpr const char* kPictureOutside = VORN_TR("its picture \"%1\" of %2 lies outside the game folder");
constexpr const char* kMusicOutside = VORN_TR("its music \"%1\" lies outside the game folder");
constexpr const char* kPictureUnreadable = VORN_TR("the picture \"%1\" of the saved screen cannot be read: %2");
constexpr const char* kPictureUndecodable =
    VORN_TR("its picture \"%1\" of %2 is not a picture the player can read (a Windows bitmap is expected)");

Message shown(const std::optional<std::int16_t>& value) {
    return value ? Message::words(std::to_string(*value)) : Message(kEmpty);
}
Message number(long value) { return Message::words(std::to_string(value)); }

} // namespace

bool nameLeavesGameFolder(std::string_view name) {
    const auto separator = [](char c) { return c == '/' || c == '\\'; };
    if (!name.empty() && separator(name.front())) return true;
    long depth = 0;
    std::size_t start = 0;
    while (start <= name.size()) {
        std::size_t end = start;
        while (end < name.size() && !separator(name[end])) ++end;
        const std::string_view part = name.substr(start, end - start);
        if (part == "..") {
            if (--depth < 0) return true;
        } else if (!part.empty() && part != ".") {
            ++depth;
        }
        start = end + 1;
    }
    return false;
}

Message impossibleSnapshot(const Snapshot& s) {
    if (s.WaitCmd != 0 && s.WaitCmd != -1) return Message(kWaitCmd);
    if (s.NumCmds && (*s.NumCmds < 0 || *s.NumCmds > 4)) return Message(kNumCmds, {shown(s.NumCmds)});
    if (s.Cmd_Selected && (*s.Cmd_Selected < 0 || *s.Cmd_Selected > 4))
        return Message(kCmdSelected, {shown(s.Cmd_Selected)});
    if (s.menuWaiting && (s.WaitCmd != -1 || (s.NumCmds && *s.NumCmds == 0)))
        return Message(kMenuWaits, {number(s.WaitCmd), shown(s.NumCmds)});
    static constexpr const char* kElementNames[] = {"Form1", "Image1", "Image2"};
    for (std::size_t k = 0; k < s.pictures.size(); ++k)
        for (const std::optional<std::string>& name : {s.pictures[k].file, s.pictures[k].sizeOf})
            if (name && nameLeavesGameFolder(*name))
                return Message(kPictureOutside, {Message::words(*name), Message::words(kElementNames[k])});
    for (const std::optional<std::string>& name : {s.musfile, s.music})
        if (name && nameLeavesGameFolder(*name)) return Message(kMusicOutside, {Message::words(*name)});
    return {};
}

std::optional<Snapshot> Interpreter::snapshot() const {
    if (running_ || !stream_.isOpen()) return std::nullopt;
    Snapshot s = stateWithoutBacklog();
    s.backlog.assign(surface_.backlog().begin(), surface_.backlog().end());
    return s;
}

Snapshot Interpreter::stateWithoutBacklog() const {
    Snapshot s;
    s.position = stream_.position();
    s.menuOffset = menuOffset_;
    s.WaitCmd = WaitCmd;
    s.NumCmds = NumCmds;
    s.musfile = musfile;
    s.Flag = Flag;
    s.Cmd_Selected = Cmd_Selected;
    s.menuWaiting = menuWaiting_;
    for (const PictureElement element : kElements)
        s.pictures[static_cast<std::size_t>(element)] = surface_.picture(element);
    s.captions = surface_.captions();
    s.text = surface_.text();
    s.music = device_.playing();
    return s;
}

// The script's place and the members as `saved` holds them; the next run
// starts a cycle afresh.
void Interpreter::takeMembersOf(const Snapshot& saved) {
    stream_.seek(saved.position);
    menuOffset_ = saved.menuOffset;
    commandOffset_ = saved.position;
    WaitCmd = saved.WaitCmd;
    NumCmds = saved.NumCmds;
    musfile = saved.musfile;
    Flag = saved.Flag;
    Cmd_Selected = saved.Cmd_Selected;
    menuWaiting_ = saved.menuWaiting;
    newCycle_ = false;
    musicDonePending_ = false;
}

Message Interpreter::restore(const Snapshot& saved, std::string script) {
    if (running_) return Message(kInRun);
    if (!stream_.isOpen()) return Message(kNotStarted);
    if (saved.position < ScriptStream::firstCharacter(script) || saved.position > script.size() ||
        saved.menuOffset > script.size())
        return Message(kPlaceOutside, {Message::words(kScriptName)});
    if (Message why = impossibleSnapshot(saved); !why.empty()) return why;

    if (Message why = showSavedPictures(saved, false); !why.empty()) return why;

    stream_.adopt(std::move(script));
    takeMembersOf(saved);

    for (int label = 1; label <= 4; ++label) surface_.setCaption(label, saved.captions[std::size_t(label - 1)]);
    surface_.setText(saved.text);
    keepBacklogForPlaces();
    surface_.replaceBacklog(saved.backlog); // after the page, which is in it already
    if (saved.music)
        sendMusic(*saved.music);
    else
        device_.setCommand(MusicCommand::Close);
    keepPlace(); // a load is a place to go back to, and the places before it stay
    return {};
}

Message Interpreter::showSavedPictures(const Snapshot& saved, bool onlyChanged) {
    const auto unchanged = [&](std::size_t k) { return onlyChanged && saved.pictures[k] == surface_.picture(kElements[k]); };
    // Every picture is read before anything changes, so a missing one refuses
    // the load instead of leaving half a screen.
    std::array<std::string, 3> bytes, sizeBytes;
    for (std::size_t k = 0; k < 3; ++k) {
        if (unchanged(k)) continue;
        if (Message why = readSavedPicture(saved.pictures[k], bytes[k], sizeBytes[k]); !why.empty()) return why;
    }
    // The pictures are shown before the state changes. One that no longer
    // decodes puts back those shown before it, and the load is refused with
    // the game as it was.
    std::array<PictureState, 3> shown;
    std::array<bool, 3> changed{};
    for (std::size_t k = 0; k < 3; ++k) {
        shown[k] = surface_.picture(kElements[k]);
        changed[k] = !unchanged(k);
    }
    for (std::size_t k = 0; k < 3; ++k) {
        if (!changed[k]) continue;
        const std::string broken = showSavedPicture(kElements[k], saved.pictures[k], bytes[k], sizeBytes[k]);
        if (broken.empty()) continue;
        for (std::size_t back = 0; back <= k; ++back)
            if (changed[back]) putPictureBack(kElements[back], shown[back]);
        return Message(kPictureUndecodable, {Message::words(broken), Message::words(elementName(kElements[k]))});
    }
    return {};
}

// The bytes of a saved element's picture and, for an emptied element, of the
// picture whose size it keeps. Returns why they cannot be read, or "".
Message Interpreter::readSavedPicture(const PictureState& saved, std::string& bytes, std::string& sizeBytes) const {
    const auto read = [this](const std::string& name, std::string& into) -> Message {
        if (name.empty()) return {};
        FileContents file = folder_.read(name, kMaxPictureBytes);
        if (!file.error.empty())
            return Message(kPictureUnreadable, {Message::words(name), Message::sentence(file.error)});
        into = std::move(file.bytes);
        return {};
    };
    Message why = read(saved.file.value_or(""), bytes);
    if (why.empty() && saved.file && saved.file->empty() && saved.sizeOf) why = read(*saved.sizeOf, sizeBytes);
    return why;
}

// An emptied element keeps the size of the picture it held before, so that
// picture is shown first, then the empty one. Returns the name of a picture
// that does not decode, or "" when all is shown.
std::string Interpreter::showSavedPicture(PictureElement element, const PictureState& saved, const std::string& bytes,
                                          const std::string& sizeBytes) {
    const auto show = [&](const std::string& name, const std::string& data) {
        PictureFile picture{name, std::nullopt};
        if (!name.empty()) picture.bytes = data;
        return surface_.setPicture(element, picture);
    };
    if (!saved.file) {
        surface_.resetPicture(element);
        return "";
    }
    if (saved.file->empty()) {
        if (saved.sizeOf) {
            if (!show(*saved.sizeOf, sizeBytes)) return *saved.sizeOf;
        } else {
            surface_.resetPicture(element);
        }
    }
    return show(*saved.file, bytes) ? "" : *saved.file;
}

// Shows again a picture that was on screen a moment ago; only a picture file
// changed on disk meanwhile stops it, which ends the game like any picture
// that cannot be loaded.
void Interpreter::putPictureBack(PictureElement element, const PictureState& shown) {
    std::string bytes, sizeBytes;
    std::string why = readSavedPicture(shown, bytes, sizeBytes).english();
    if (why.empty()) {
        const std::string broken = showSavedPicture(element, shown, bytes, sizeBytes);
        if (!broken.empty()) why = "the picture \"" + broken + "\" is no longer a picture the player can read";
    }
    if (!why.empty())
        throw FatalError(std::string("loading a saved game failed, and the screen before it cannot be shown again: ") +
                         elementName(element) + ": " + why + ".");
}

} // namespace vorn
