// Taking a snapshot of a paused game and putting one back.

#include "fatal_error.h"
#include "interpreter.h"

namespace vorn {
namespace {

constexpr const char* kSavedPictureUndecodable =
    VORN_TR("loading a saved game: cannot load the picture \"%1\" of %2: it is not a picture the player can read (a "
            "Windows bitmap is expected).");

} // namespace
namespace {

constexpr PictureElement kElements[] = {PictureElement::Form1, PictureElement::Image1, PictureElement::Image2};
constexpr std::size_t kMaxPictureBytes = 256 * 1024 * 1024;

} // namespace

std::optional<Snapshot> Interpreter::snapshot() const {
    if (running_ || !stream_.isOpen()) return std::nullopt;
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
    s.backlog.assign(surface_.backlog().begin(), surface_.backlog().end());
    return s;
}

std::string Interpreter::restore(const Snapshot& saved, std::string script) {
    if (running_) return "the game is in the middle of a run; load it when the page has been shown";
    if (!stream_.isOpen()) return "the game has not started, or has shut down";
    if (saved.position < ScriptStream::firstCharacter(script) || saved.position > script.size() ||
        saved.menuOffset > script.size())
        return "its place in the script lies outside code.vrn";
    if (saved.WaitCmd != 0 && saved.WaitCmd != -1) return "WaitCmd holds neither 0 nor -1";

    // Every picture is read before anything changes, so a missing one refuses
    // the load instead of leaving half a screen.
    std::array<std::string, 3> bytes, sizeBytes;
    const auto read = [this](const std::string& name, std::string& into) -> std::string {
        if (name.empty()) return "";
        FileContents file = folder_.read(name, kMaxPictureBytes);
        if (!file.error.empty())
            return "the picture \"" + name + "\" of the saved screen cannot be read: " + file.error;
        into = std::move(file.bytes);
        return "";
    };
    for (const PictureElement element : kElements) {
        const std::size_t k = static_cast<std::size_t>(element);
        const PictureState& picture = saved.pictures[k];
        std::string why = read(picture.file.value_or(""), bytes[k]);
        if (why.empty() && picture.file && picture.file->empty() && picture.sizeOf)
            why = read(*picture.sizeOf, sizeBytes[k]);
        if (!why.empty()) return why;
    }

    stream_.adopt(std::move(script));
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

    for (const PictureElement element : kElements) {
        const std::size_t k = static_cast<std::size_t>(element);
        showSavedPicture(element, saved.pictures[k], bytes[k], sizeBytes[k]);
    }
    for (int label = 1; label <= 4; ++label) surface_.setCaption(label, saved.captions[std::size_t(label - 1)]);
    surface_.setText(saved.text);
    surface_.replaceBacklog(saved.backlog); // after the page, which is in it already
    device_.setCommand("Close");
    if (saved.music) {
        device_.setFileName(*saved.music);
        device_.setCommand("Open");
        device_.setCommand("Play");
    }
    return "";
}

// An emptied element keeps the size of the picture it held before, so that
// picture is shown first, then the empty one.
void Interpreter::showSavedPicture(PictureElement element, const PictureState& saved, const std::string& bytes,
                                   const std::string& sizeBytes) {
    const auto show = [&](const std::string& name, const std::string& data) {
        PictureFile picture{name, std::nullopt};
        if (!name.empty()) picture.bytes = data;
        if (!surface_.setPicture(element, picture))
            throw FatalError(
                Message(kSavedPictureUndecodable, {Message::words(name), Message::words(elementName(element))}));
    };
    if (!saved.file) {
        surface_.resetPicture(element);
        return;
    }
    if (saved.file->empty()) {
        if (saved.sizeOf)
            show(*saved.sizeOf, sizeBytes);
        else
            surface_.resetPicture(element);
    }
    show(*saved.file, bytes);
}

} // namespace vorn
