// The game in the browser page: the interpreter over the game's files held in
// memory, its display surface and music device handed to the page's script.
// The page draws the pictures (decoded by the browser), shows the text and the
// captions, and plays the music; the rules stay here, in the shared core.

#include "interpreter/fatal_error.h"
#include "interpreter/interpreter.h"
#include "presentation/picture_check.h"
#include "presentation/scene_layout.h"
#include "presentation/web/memory_tree.h"
#include "shell/shell.h"

#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <memory>

namespace vorn {
namespace {

using emscripten::val;

constexpr const char* kFolderHoldsNoGame = VORN_TR("the folder \"%1\" holds no code.vrn, so it is no VORN game");

std::string bytesOf(const val& array) {
    const std::vector<std::uint8_t> v = emscripten::convertJSArrayToNumberVector<std::uint8_t>(array);
    return std::string(v.begin(), v.end());
}

const char* sceneElementName(SceneElement element) {
    switch (element) {
    case SceneElement::Background: return "Background";
    case SceneElement::Image1: return "Image1";
    case SceneElement::Image2: return "Image2";
    case SceneElement::Label1: return "Label1";
    case SceneElement::Label2: return "Label2";
    case SceneElement::Label3: return "Label3";
    case SceneElement::Label4: return "Label4";
    case SceneElement::Text1: return "Text1";
    }
    return "Background";
}

// Where each element sits at start, in scene pixels, by name.
val sceneLayout() {
    val layout = val::object();
    for (const SceneElement element :
         {SceneElement::Background, SceneElement::Image1, SceneElement::Image2, SceneElement::Label1,
          SceneElement::Label2, SceneElement::Label3, SceneElement::Label4, SceneElement::Text1}) {
        const SceneRect r = startSceneRect(element);
        val rect = val::object();
        rect.set("x", r.x);
        rect.set("y", r.y);
        rect.set("width", r.width);
        rect.set("height", r.height);
        layout.set(sceneElementName(element), rect);
    }
    return layout;
}

val viewOf(const std::string& bytes) {
    return val(emscripten::typed_memory_view(bytes.size(), reinterpret_cast<const std::uint8_t*>(bytes.data())));
}

// Every display and music operation goes to the page's object `page`, by the
// names of the headless transcript's records.
class PageSurface : public DisplaySurface, public MusicDevice {
  public:
    explicit PageSurface(val page) : page_(std::move(page)) {}

    void setText(const std::string& text) override { page_.call<void>("setText", text); }
    void setCaption(int label, const std::string& text) override { page_.call<void>("setCaption", label, text); }
    void refreshLabel(int) override {}
    bool setPicture(PictureElement element, const PictureFile& picture) override {
        if (picture.bytes && !isShowablePicture(*picture.bytes)) return false;
        page_.call<void>("setPicture", std::string(elementName(element)), picture.name,
                         picture.bytes ? viewOf(*picture.bytes) : val::null());
        return true;
    }
    bool setCursor(const PictureFile& icon) override {
        if (!icon.bytes || !isShowableIcon(*icon.bytes)) return false;
        page_.call<void>("setCursor", icon.name, viewOf(*icon.bytes));
        return true;
    }
    void resetPicture(PictureElement element) override {
        page_.call<void>("resetPicture", std::string(elementName(element)));
    }
    void showMessage(const std::string& text, const std::string& title) override {
        page_.call<void>("showMessage", text, title);
    }

    void setDeviceType(const std::string& value) override {
        page_.call<void>("music", std::string("DeviceType"), value);
    }
    void setFileName(const std::string& value) override { page_.call<void>("music", std::string("FileName"), value); }
    void setCommand(const std::string& value) override { page_.call<void>("music", std::string("Command"), value); }
    void setNotify(bool value) override { page_.call<void>("music", std::string("Notify"), val(value)); }
    void setWait(bool value) override { page_.call<void>("music", std::string("Wait"), val(value)); }
    void setShareable(bool value) override { page_.call<void>("music", std::string("Shareable"), val(value)); }

  private:
    val page_;
};

// One game being played in the page. Each event returns "" or, after a fatal
// error, its message; the game then takes no more events.
class WebGame {
  public:
    explicit WebGame(val page) : surface_(std::move(page)) {}

    void addFile(val path, val bytes) { tree_->add(bytesOf(path), bytesOf(bytes)); }
    // An archive's entry: its name's bytes as stored, its bytes, and what it
    // is: "file", "folder" or "other" (a link, a device).
    void addEntry(val name, val bytes, const std::string& type) {
        const auto kind = type == "folder" ? MemoryTree::Kind::Folder
                          : type == "file" ? MemoryTree::Kind::File
                                           : MemoryTree::Kind::Other;
        tree_->addEntry(bytesOf(name), kind == MemoryTree::Kind::File ? bytesOf(bytes) : std::string(), kind);
    }
    void setName(const std::string& name) { tree_->setName(name); }
    // Picks the game among the files added, the top-most folder that holds a
    // code.vrn, as the desktop player does in an archive. Returns "" or why
    // there is nothing to play.
    std::string openFiles(const std::string& name, bool isArchive) {
        tree_->finish();
        if (!tree_->problem().empty())
            return Message(kArchiveUnplayable, {Message::words(name), Message::sentence(tree_->problem())}).english();
        const std::vector<std::string> games = tree_->chooseGame();
        if (games.empty())
            return isArchive
                       ? Message(kArchiveUnplayable, {Message::words(name), Message(kArchiveHoldsNoGame)}).english()
                       : Message(kFolderHoldsNoGame, {Message::words(name)}).english();
        // A folder is named by the game's folder in it; an archive, or a folder
        // that is itself the game, by the name it came by.
        tree_->setName(isArchive || games.front() == "." ? name : "");
        notice_ = severalGamesNotice(name, games);
        return "";
    }
    // What to tell the reader before playing (of several games in one archive), or "".
    std::string notice() const { return notice_; }
    // The music file's bytes, for the page's synthesizer, or none.
    val musicFile(const std::string& name) const {
        const FileLookup found = folder_->resolve(name);
        if (!found.place || found.isFolder) return val::null();
        musicBytes_ = folder_->read(name, 64 * 1024 * 1024).bytes;
        return viewOf(musicBytes_);
    }

    std::string start() {
        folder_ = std::make_unique<GameFolder>(tree_);
        interpreter_ = std::make_unique<Interpreter>(*folder_, surface_, surface_);
        shell_ = std::make_unique<Shell>(*interpreter_, surface_, surface_);
        return guarded([this] {
            interpreter_->load();
            interpreter_->playRun();
        });
    }
    std::string clickText() {
        return guarded([this] { interpreter_->resume(); });
    }
    std::string chooseOption(int option) {
        return guarded([this, option] { interpreter_->chooseOption(option); });
    }
    std::string musicEnded() {
        return guarded([this] { interpreter_->musicEnded(); });
    }
    std::string newGame() {
        return guarded([this] { shell_->newGame(); });
    }
    std::string showCredits() {
        return guarded([this] { shell_->showCredits(); });
    }
    std::string quit() {
        return guarded([this] { shell_->shutDown(); });
    }

    // What the page needs to take a press as the window takes it.
    bool offersOption(int option) const { return interpreter_ && interpreter_->offersOption(option); }
    // The captions that take a press where they overlap the one above: the
    // waiting menu's options, or all four while no menu waits.
    int offeredCaptions() const {
        if (!interpreter_ || !interpreter_->menuWaiting()) return 4;
        return interpreter_->NumCmds ? *interpreter_->NumCmds : 0;
    }
    // The element a press at (x, y), in scene pixels, lands on, given the
    // sizes of the two pictures as the page shows them.
    std::string elementAt(int x, int y, int image1Width, int image1Height, int image2Width, int image2Height) const {
        return sceneElementName(
            vorn::elementAt(x, y, image1Width, image1Height, image2Width, image2Height, offeredCaptions()));
    }
    // The pages read and the options chosen, oldest first.
    val backlog() const {
        val entries = val::array();
        if (!interpreter_) return entries;
        for (const BacklogEntry& entry : interpreter_->backlog()) {
            val shown = val::object();
            shown.set("choice", entry.kind == BacklogEntry::Kind::Choice);
            shown.set("text", entry.text);
            entries.call<void>("push", shown);
        }
        return entries;
    }

  private:
    template <typename F>
    std::string guarded(F&& f) {
        if (!fatal_.empty()) return fatal_;
        try {
            f();
        } catch (const FatalError& error) {
            fatal_ = error.what();
            if (fatal_.empty()) fatal_ = "fatal error";
        }
        return fatal_;
    }

    PageSurface surface_;
    std::shared_ptr<MemoryTree> tree_ = std::make_shared<MemoryTree>();
    std::unique_ptr<GameFolder> folder_;
    std::unique_ptr<Interpreter> interpreter_;
    std::unique_ptr<Shell> shell_;
    mutable std::string musicBytes_;
    std::string notice_;
    std::string fatal_;
};

} // namespace
} // namespace vorn

EMSCRIPTEN_BINDINGS(vorn_web) {
    emscripten::class_<vorn::WebGame>("WebGame")
        .constructor<emscripten::val>()
        .function("addFile", &vorn::WebGame::addFile)
        .function("addEntry", &vorn::WebGame::addEntry)
        .function("setName", &vorn::WebGame::setName)
        .function("openFiles", &vorn::WebGame::openFiles)
        .function("notice", &vorn::WebGame::notice)
        .function("musicFile", &vorn::WebGame::musicFile)
        .function("start", &vorn::WebGame::start)
        .function("clickText", &vorn::WebGame::clickText)
        .function("chooseOption", &vorn::WebGame::chooseOption)
        .function("musicEnded", &vorn::WebGame::musicEnded)
        .function("newGame", &vorn::WebGame::newGame)
        .function("showCredits", &vorn::WebGame::showCredits)
        .function("quit", &vorn::WebGame::quit)
        .function("offersOption", &vorn::WebGame::offersOption)
        .function("elementAt", &vorn::WebGame::elementAt)
        .function("backlog", &vorn::WebGame::backlog);
    emscripten::function("sceneLayout", &vorn::sceneLayout);
}
