// The game in the browser page: the interpreter over the game's files held in
// memory, its display surface and music device handed to the page's script.
// The page draws the pictures (decoded by the browser), shows the text and the
// captions, and plays the music; the rules stay here, in the shared core.

#include "interpreter/fatal_error.h"
#include "interpreter/interpreter.h"
#include "interpreter/pad_buttons.h"
#include "interpreter/reader_keys.h"
#include "interpreter/self_voicing.h"
#include "presentation/headless/headless_recorder.h"
#include "presentation/picture_check.h"
#include "presentation/scene_layout.h"
#include "presentation/web/memory_tree.h"
#include "presentation/web/js_bytes.h"
#include "saves/reader_settings.h"
#include "saves/read_pages_format.h"
#include "saves/saves.h"
#include "shell/shell.h"
#include "saves/slot_name.h"
#include "saves/slot_store.h"

#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <new>

namespace vorn {
namespace {

using emscripten::val;

// The largest music file handed to the page's synthesizer.
constexpr std::size_t kMusicFileMaxBytes = 64 * 1024 * 1024;

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

// Self-voicing's speaker on the page: an object of the page's with
// available(), hasVoice(lang), say(text, lang), stop() and notice(name), where
// lang is "ja" or "en" and name one of "SpeechUnavailable", "NoJapaneseVoice",
// "NoLatinVoice". The page speaks through the browser's speechSynthesis.
class PageSpeaker : public Speaker {
  public:
    explicit PageSpeaker(val page) : page_(std::move(page)) {}
    bool available() override { return page_.call<bool>("available"); }
    bool hasVoice(SpeechLanguage language) override {
        return page_.call<bool>("hasVoice", std::string(languageTag(language)));
    }
    void say(const std::string& text, SpeechLanguage language) override {
        page_.call<void>("say", text, std::string(languageTag(language)));
    }
    void stop() override { page_.call<void>("stop"); }
    void notice(VoicingNotice notice) {
        const char* name = notice == VoicingNotice::SpeechUnavailable ? "SpeechUnavailable"
                           : notice == VoicingNotice::NoJapaneseVoice ? "NoJapaneseVoice"
                                                                      : "NoLatinVoice";
        page_.call<void>("notice", std::string(name));
    }

  private:
    val page_;
};

// The key table's answer for a key press, by the names the page knows:
// {action, whileBacklog}.
val keyActionOf(const std::string& key, unsigned modifiers) {
    const KeyAction action = keyAction(key, modifiers);
    val found = val::object();
    found.set("action", std::string(actionName(action)));
    found.set("whileBacklog", std::string(backlogKeyName(whileBacklogOpen(action))));
    return found;
}

// The whole key table, {key, modifiers, action} a row, for the page's tests.
val keyTable() {
    val rows = val::array();
    for (const KeyRow& row : keyRows()) {
        val shown = val::object();
        shown.set("key", std::string(row.key));
        shown.set("modifiers", row.modifiers);
        shown.set("action", std::string(actionName(row.action)));
        rows.call<void>("push", shown);
    }
    return rows;
}

// The pad table, {name, inPlay, inDialog, held} a row, each key {key, modifiers}
// or null; rows by the buttons' names ("south", "dpad-up").
val padTable() {
    const auto keyOf = [](const std::optional<PadKey>& key) {
        if (!key) return val::null();
        val shown = val::object();
        shown.set("key", std::string(key->key));
        shown.set("modifiers", key->modifiers);
        return shown;
    };
    val rows = val::array();
    for (const PadRow& row : padRows()) {
        val shown = val::object();
        shown.set("name", std::string(row.name));
        shown.set("inPlay", keyOf(row.inPlay));
        shown.set("inDialog", keyOf(row.inDialog));
        shown.set("held", row.held);
        rows.call<void>("push", shown);
    }
    return rows;
}

// The reader's settings from the document the page keeps in the browser's
// storage: every member, and `note` (empty, or what was not understood).
val readReaderSettings(const std::string& document) {
    // Nothing kept yet (a first visit): the defaults, without the JSON
    // reader, whose code is compiled when first run, before the first page.
    const SettingsRead read = document == "{}" ? SettingsRead{} : readSettings(document);
    const ReaderSettings& s = read.settings;
    val shown = val::object();
    shown.set("musicVolume", s.musicVolume);
    shown.set("musicMuted", s.musicMuted);
    shown.set("autoDelay", s.autoDelay);
    shown.set("skipUnread", s.skipUnread);
    shown.set("zoom", s.zoom);
    shown.set("language", s.language);
    shown.set("selfVoicing", s.selfVoicing);
    shown.set("speechRate", s.speechRate);
    shown.set("voice", s.voice);
    shown.set("note", read.note);
    return shown;
}

// The document to keep for settings the page gives as JSON: read by the same
// rules as a kept one, so a value out of range is kept as its default.
std::string writeReaderSettings(const std::string& json) { return writeSettings(readSettings(json).settings); }

double musicLevelOf(int volume, bool muted) {
    ReaderSettings settings;
    settings.musicVolume = volume;
    settings.musicMuted = muted;
    return musicLevel(settings);
}

// Auto mode's wait for the share `shown` (0 to 1) of a page's text in view.
int autoTurnDelayOf(const std::string& pageText, int autoDelay, double shown) {
    const double characters = static_cast<double>(pageCharacters(pageText)) * std::clamp(shown, 0.0, 1.0);
    return autoTurnDelay(static_cast<std::size_t>(characters), autoDelay);
}

// The d-pad button the left stick presses at (x, y), each from -32768 to
// 32767, by its name ("dpad-up"), given the one it pressed before ("" for
// none); "" while it presses none.
std::string padStickOf(int x, int y, const std::string& was) {
    std::optional<PadButton> before;
    for (const PadRow& row : padRows())
        if (was == row.name) before = row.button;
    const std::optional<PadButton> now = stickDirection(x, y, before);
    return now ? padRow(*now).name : "";
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
    void setCommand(MusicCommand command) override {
        page_.call<void>("music", std::string("Command"), std::string(musicCommandName(command)));
    }
    void setNotify(bool value) override { page_.call<void>("music", std::string("Notify"), val(value)); }
    void setWait(bool value) override { page_.call<void>("music", std::string("Wait"), val(value)); }
    void setShareable(bool value) override { page_.call<void>("music", std::string("Shareable"), val(value)); }

  private:
    val page_;
};

// A surface that shows and plays nothing, and takes every picture: what a
// game's start reads, without what it shows. Music it reads as the page's
// music does, when the file is opened.
class QuietSurface : public DisplaySurface, public MusicDevice {
  public:
    explicit QuietSurface(const GameFolder& folder) : folder_(folder) {}

    void setText(const std::string&) override {}
    void setCaption(int, const std::string&) override {}
    void refreshLabel(int) override {}
    bool setPicture(PictureElement, const PictureFile&) override { return true; }
    bool setCursor(const PictureFile&) override { return true; }
    void showMessage(const std::string&, const std::string&) override {}
    void setDeviceType(const std::string&) override {}
    void setFileName(const std::string& value) override { fileName_ = value; }
    void setCommand(MusicCommand command) override {
        if (command != MusicCommand::Open) return;
        if (const FileLookup found = folder_.resolve(fileName_); found.place && !found.isFolder)
            folder_.read(fileName_, kMusicFileMaxBytes);
    }
    void setNotify(bool) override {}
    void setWait(bool) override {}
    void setShareable(bool) override {}

  private:
    const GameFolder& folder_;
    std::string fileName_;
};

// The slots of the game being played, held here and kept by the page in the
// browser's storage (IndexedDB): the page hands in what it has kept when the
// game opens, and each save or deletion goes to the page at once.
class PageSlotStore : public MemorySlotStore {
  public:
    explicit PageSlotStore(val page) : page_(std::move(page)) {}

    // A slot the page kept from an earlier visit.
    void keep(const std::string& slot, std::string document, std::string png, std::string picture) {
        slots_[slot] = {std::move(document), std::move(png), std::move(picture)};
    }
    std::string write(const std::string& slot, const std::string& png, const MakeDocument& document) override {
        MemorySlotStore::write(slot, png, document);
        const Slot& kept = slots_[slot];
        page_.call<void>("keepSlot", slot, kept.document, viewOf(kept.png), kept.picture);
        return "";
    }
    std::string remove(const std::string& slot) override {
        MemorySlotStore::remove(slot);
        page_.call<void>("forgetSlot", slot);
        return "";
    }

  private:
    // As the desktop names its pictures: the slot and the time of the save.
    std::string pictureName(const std::string& slot) const override {
        const auto now =
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::system_clock::now().time_since_epoch());
        return slot + "." + std::to_string(now.count()) + ".png";
    }

    val page_;
};

// One game being played in the page. Each event returns "" or, after a fatal
// error, its message; the game then takes no more events.
class WebGame {
  public:
    explicit WebGame(val page) : surface_(page), store_(page) {}

    // Memory running out while the files are taken in is told when they are
    // opened, as any other reason not to play.
    void addFile(val path, val bytes) {
        try {
            tree_->add(bytesOf(path), bytesOf(bytes));
        } catch (const std::bad_alloc&) {
            outOfMemory_ = true;
        }
    }
    // An archive's entry: its name's bytes as stored, its bytes, and what it
    // is: "file", "folder" or "other" (a link, a device).
    void addEntry(val name, val bytes, const std::string& type) {
        const auto kind = type == "folder" ? MemoryTree::Kind::Folder
                          : type == "file" ? MemoryTree::Kind::File
                                           : MemoryTree::Kind::Other;
        try {
            tree_->addEntry(bytesOf(name), kind == MemoryTree::Kind::File ? bytesOf(bytes) : std::string(), kind);
        } catch (const std::bad_alloc&) {
            outOfMemory_ = true;
        }
    }
    // An archive's file handed in still packed, with the size the archive
    // states: its bytes are asked of the source given to setEntrySource()
    // when the game first reads it.
    void addPackedEntry(val name, std::size_t size) {
        try {
            tree_->addPackedEntry(bytesOf(name), size);
        } catch (const std::bad_alloc&) {
            outOfMemory_ = true;
        }
    }
    // `source(entry, now)`, the entry's number in the order the entries
    // were added, gives a packed file's bytes (a Uint8Array of the stated
    // size) or, as a string, why they cannot be read; with `now` false, null
    // where they are not unpacked yet.
    void setEntrySource(val source) {
        tree_->unpackWith([source](std::size_t entry, bool now) -> std::optional<FileContents> {
            const val got = source(entry, now);
            if (got.isNull() || got.isUndefined()) return std::nullopt;
            if (got.isString()) return FileContents::refused(Message::sentence(got.as<std::string>()));
            return FileContents{bytesOf(got), {}};
        });
    }
    // The files the game's start reads that are not unpacked yet, by entry
    // number: its start is run on a surface that shows and plays nothing,
    // each such file read as an empty one. The page unpacks them and asks
    // again until none is left (a file may name others), so that start()
    // finds every file of the first page unpacked. What is read meanwhile is
    // kept for start().
    val entriesToUnpack() {
        std::vector<std::size_t> wanted;
        tree_->noteUnpacked(&wanted);
        scriptWasRead_ = false;
        try {
            GameFolder folder(tree_);
            // The script first: once it is there, one run names every file
            // the first page reads (no other file names files).
            folder.read(kScriptName, ScriptStream::kMaxScriptBytes);
            scriptWasRead_ = wanted.empty();
            QuietSurface quiet(folder);
            Interpreter interpreter(folder, quiet, quiet);
            interpreter.load();
            interpreter.playRun();
        } catch (const FatalError&) {
            // start() meets it again, and reports it
        } catch (const std::bad_alloc&) {
        }
        tree_->noteUnpacked(nullptr);
        // In the order read, each once.
        val found = val::array();
        for (std::size_t i = 0; i < wanted.size(); i++)
            if (std::find(wanted.begin(), wanted.begin() + i, wanted[i]) == wanted.begin() + i)
                found.call<void>("push", wanted[i]);
        return found;
    }
    // Whether the last entriesToUnpack() read the script: then the files it
    // named are all the first page reads, and need not be asked for again.
    bool namedAllToUnpack() const { return scriptWasRead_; }
    void setName(const std::string& name) { tree_->setName(name); }
    // Picks the game among the files added, the top-most folder that holds a
    // code.vrn, as the desktop player does in an archive. Returns "" or why
    // there is nothing to play.
    std::string openFiles(const std::string& name, bool isArchive) {
        name_ = name;
        if (!outOfMemory_) {
            try {
                const MemoryTree::Opened opened = tree_->open(name, isArchive);
                notice_ = opened.notice;
                return opened.problem;
            } catch (const std::bad_alloc&) {
                // told below, as when the files were taken in
            }
        }
        return Message(kArchiveUnplayable, {Message::words(name), Message(kNotEnoughMemoryToOpen)}).english();
    }
    // What to tell the reader before playing (of several games in one archive), or "".
    std::string notice() const { return notice_; }
    // The music file's bytes, for the page's synthesizer, or none.
    val musicFile(const std::string& name) const {
        const FileLookup found = folder_->resolve(name);
        if (!found.place || found.isFolder) return val::null();
        musicBytes_ = folder_->read(name, kMusicFileMaxBytes).bytes;
        return viewOf(musicBytes_);
    }

    std::string start() {
        folder_ = std::make_unique<GameFolder>(tree_);
        interpreter_ = std::make_unique<Interpreter>(*folder_, surface_, surface_);
        shell_ = std::make_unique<Shell>(*interpreter_, surface_, surface_);
        saves_ = std::make_unique<Saves>(*interpreter_, *folder_, store_, savesName(),
                                         [this](std::string_view) { return scriptHash_; });
        if (voicing_ && voicingOn_) voicing_->setOn(true, *interpreter_); // says the first page
        interpreter_->setReadPages(&readPages_, [this](std::string_view) { return scriptHash_; });
        const std::string fatal = guarded([this] {
            interpreter_->load();
            interpreter_->playRun();
        });
        startPlace_ = interpreter_->snapshot();
        return fatal;
    }
    // Whether a click on the page text would play on now (not while a menu
    // waits, nor after a fatal error): auto mode turns only such a page, and
    // only such a click leaves a place gone back to.
    bool textClickPlaysOn() const { return interpreter_ && fatal_.empty() && interpreter_->textClickPlaysOn(); }
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

    // ---- self-voicing -----------------------------------------------------------
    // The page hands its speaker over before the game starts (see PageSpeaker).
    void setSpeaker(val speaker) {
        if (voicing_ && interpreter_) voicing_->setOn(false, *interpreter_);
        voicing_.reset();
        speaker_ = std::make_unique<PageSpeaker>(std::move(speaker));
        voicing_ = std::make_unique<SelfVoicing>(*speaker_, [this](VoicingNotice n) { speaker_->notice(n); });
        if (voicingOn_ && interpreter_) voicing_->setOn(true, *interpreter_);
    }
    // On: says the screen as it stands, then each new one; off: falls silent.
    void setVoicing(bool on) {
        voicingOn_ = on;
        if (voicing_ && interpreter_) voicing_->setOn(on, *interpreter_);
    }
    bool voicing() const { return voicingOn_; }
    void repeatSpeech() {
        if (voicing_ && interpreter_ && fatal_.empty()) voicing_->repeat(*interpreter_);
    }

    // ---- saved games ----------------------------------------------------------
    // The page computes the script's SHA-256 (the browser's crypto.subtle)
    // from these bytes and hands it in before start(); the files in memory
    // never change while the game plays, so one hash serves every save.
    val scriptBytes() {
        const GameFolder folder(tree_);
        scriptBytes_ = folder.read(kScriptName, ScriptStream::kMaxScriptBytes).bytes;
        return viewOf(scriptBytes_);
    }
    void setScriptHash(const std::string& hash) { scriptHash_ = hash; }
    // The name the game's slots are kept under, as the desktop names its
    // folder of saves: the game's folder in the archive, or the archive's or
    // the folder's own name.
    std::string savesName() const {
        const std::string described = GameFolder(tree_).describe();
        const std::string name = described.substr(described.find_last_of('/') + 1);
        return name.empty() ? "game" : name;
    }
    // A slot kept by the page, handed in before start().
    void keepSlot(const std::string& slot, const std::string& document, val png, const std::string& picture) {
        store_.keep(slot, document, png.isNull() || png.isUndefined() ? std::string() : bytesOf(png), picture);
    }

    // Each returns "" or why it cannot be done; the game then goes on as it was.
    std::string save(const std::string& slot, val png) {
        if (!saves_ || !fatal_.empty()) return "the game has ended";
        return saves_->save(slot, png.isNull() || png.isUndefined() ? std::string() : bytesOf(png)).english();
    }
    // A screen that cannot be put back ends the game as a fatal error: see fatalError().
    std::string load(const std::string& slot) {
        if (!saves_ || !fatal_.empty()) return "the game has ended";
        std::string why;
        guarded([&] { why = saves_->load(slot).english(); });
        return why;
    }
    std::string fatalError() const { return fatal_; }
    std::string removeSlot(const std::string& slot) { return saves_ ? saves_->remove(slot).english() : ""; }
    // The game's own "quick" or "continue" slot, to save into (`forSaving`) or
    // to load: a save of another game or version under the same name is kept.
    std::string ownSlot(const std::string& slot, bool forSaving) const {
        return saves_ ? saves_->ownSlot(slot, forSaving) : slot;
    }
    // "quick" or "continue" for those slots and their marked names, else "".
    std::string automaticSlot(const std::string& slot) const { return automaticSlotOf(slot).value_or(""); }
    // Every slot, by name: {slot, savedAt, firstLine, picture (PNG bytes or null), problem}.
    val slots() const {
        val list = val::array();
        if (!saves_) return list;
        for (const SlotSummary& s : saves_->list()) list.call<void>("push", summaryOf(s));
        return list;
    }
    // The name a new save gets, as the window names it.
    std::string newSlotName() const {
        std::vector<std::string> inUse;
        if (saves_)
            for (const SlotSummary& s : saves_->list()) inUse.push_back(s.slot);
        return vorn::newSlotName(inUse);
    }
    val findSlot(const std::string& slot) const {
        if (!saves_) return val::null();
        const std::optional<SlotSummary> found = saves_->find(slot);
        return found ? summaryOf(*found) : val::null();
    }
    // When the reader quits or leaves the page: the place is kept to go on from
    // next time, unless the story has reached its end (then there is none) or
    // nothing has been played since the game opened (then the kept place stays).
    std::string keepPlace(val png) {
        if (!saves_ || !fatal_.empty() || !interpreter_->stream().isOpen() || interpreter_->running()) return "";
        const std::string slot = saves_->ownSlot(kContinueSlot, true);
        if (interpreter_->stream().atEnd()) return saves_->remove(slot).english();
        const std::optional<Snapshot> now = interpreter_->snapshot();
        if (!now || now == startPlace_) return "";
        return save(slot, png);
    }
    // After going on from the kept place, that place is where the game opened.
    void markStartPlace() {
        if (interpreter_) startPlace_ = interpreter_->snapshot();
    }

  private:
    static val summaryOf(const SlotSummary& s) {
        val shown = val::object();
        shown.set("slot", s.slot);
        shown.set("savedAt", s.savedAt);
        shown.set("firstLine", s.firstLine);
        shown.set("problem", s.problem.english());
        shown.set("picture", s.picture.empty() ? val::null() : val::global("Uint8Array").new_(viewOf(s.picture)));
        return shown;
    }

  public:
    // ---- end of saved games -----------------------------------------------------

    // What the page needs to take a press as the window takes it.
    bool offersOption(int option) const { return interpreter_ && interpreter_->offersOption(option); }
    int offeredCaptions() const { return interpreter_ ? interpreter_->offeredCaptions() : 4; }
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

    // ---- going back and skipping ---------------------------------------------
    // Each returns "" when done, otherwise why not; a screen that cannot be
    // put back ends the game as a fatal error: see fatalError().
    std::string stepBack() {
        if (!interpreter_ || !fatal_.empty()) return "the game has ended";
        std::string why;
        guarded([&] { why = interpreter_->stepBack().english(); });
        return why;
    }
    // To where the backlog's entry `index` (0 = the oldest) was on screen.
    std::string stepBackTo(int index) {
        if (!interpreter_ || !fatal_.empty()) return "the game has ended";
        if (index < 0) return "the backlog holds no such entry";
        std::string why;
        guarded([&] { why = interpreter_->stepBackTo(static_cast<std::size_t>(index)).english(); });
        return why;
    }
    int placesBehind() const { return interpreter_ ? static_cast<int>(interpreter_->placesBehind()) : 0; }
    bool pageRead() const { return interpreter_ && interpreter_->pageRead(); }
    // Turns the page if it may be skipped; whether it did. After a fatal
    // error it turns nothing: see fatalError().
    bool skipStep(bool skipUnread) {
        bool turned = false;
        if (interpreter_) guarded([&] { turned = interpreter_->skipStep(skipUnread); });
        return turned && fatal_.empty();
    }
    // The read pages of every game, for the page to keep in the browser's
    // storage whenever readPagesChanges() has moved on, and to hand back in
    // before start(). adoptReadPages() returns "" or why the document was
    // set aside (every page then counts as unread).
    std::string readPagesDocument() const { return writeReadPages(readPages_); }
    std::string adoptReadPages(const std::string& document) { return readReadPages(document, readPages_); }
    int readPagesChanges() const { return static_cast<int>(readPages_.changes() & 0x7fffffff); }

  private:
    template <typename F>
    std::string guarded(F&& f) {
        if (!fatal_.empty()) return fatal_;
        try {
            f();
        } catch (const FatalError& error) {
            fatal_ = error.what();
            if (fatal_.empty()) fatal_ = "fatal error";
        } catch (const std::bad_alloc&) {
            fatal_ = Message(kArchiveUnplayable, {Message::words(name_), Message(kNotEnoughMemoryToOpen)}).english();
        }
        // A new page or menu is said; after a fatal error, nothing more.
        if (voicing_ && interpreter_) {
            if (fatal_.empty())
                voicing_->screenShown(*interpreter_);
            else
                voicing_->setOn(false, *interpreter_);
        }
        return fatal_;
    }

    PageSurface surface_;
    std::unique_ptr<PageSpeaker> speaker_;
    std::unique_ptr<SelfVoicing> voicing_;
    bool voicingOn_ = false;
    std::shared_ptr<MemoryTree> tree_ = std::make_shared<MemoryTree>();
    std::string name_; // the folder or archive, as the reader chose it
    bool outOfMemory_ = false;
    bool scriptWasRead_ = false;
    std::unique_ptr<GameFolder> folder_;
    std::unique_ptr<Interpreter> interpreter_;
    std::unique_ptr<Shell> shell_;
    PageSlotStore store_;
    std::unique_ptr<Saves> saves_;
    std::string scriptHash_, scriptBytes_;
    ReadPages readPages_;
    std::optional<Snapshot> startPlace_;
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
        .function("addPackedEntry", &vorn::WebGame::addPackedEntry)
        .function("setEntrySource", &vorn::WebGame::setEntrySource)
        .function("entriesToUnpack", &vorn::WebGame::entriesToUnpack)
        .function("namedAllToUnpack", &vorn::WebGame::namedAllToUnpack)
        .function("setName", &vorn::WebGame::setName)
        .function("openFiles", &vorn::WebGame::openFiles)
        .function("notice", &vorn::WebGame::notice)
        .function("musicFile", &vorn::WebGame::musicFile)
        .function("start", &vorn::WebGame::start)
        .function("clickText", &vorn::WebGame::clickText)
        .function("textClickPlaysOn", &vorn::WebGame::textClickPlaysOn)
        .function("chooseOption", &vorn::WebGame::chooseOption)
        .function("musicEnded", &vorn::WebGame::musicEnded)
        .function("newGame", &vorn::WebGame::newGame)
        .function("showCredits", &vorn::WebGame::showCredits)
        .function("quit", &vorn::WebGame::quit)
        .function("offersOption", &vorn::WebGame::offersOption)
        .function("elementAt", &vorn::WebGame::elementAt)
        .function("backlog", &vorn::WebGame::backlog)
        .function("setSpeaker", &vorn::WebGame::setSpeaker)
        .function("setVoicing", &vorn::WebGame::setVoicing)
        .function("voicing", &vorn::WebGame::voicing)
        .function("repeatSpeech", &vorn::WebGame::repeatSpeech)
        // saved games
        .function("scriptBytes", &vorn::WebGame::scriptBytes)
        .function("setScriptHash", &vorn::WebGame::setScriptHash)
        .function("savesName", &vorn::WebGame::savesName)
        .function("keepSlot", &vorn::WebGame::keepSlot)
        .function("save", &vorn::WebGame::save)
        .function("load", &vorn::WebGame::load)
        .function("fatalError", &vorn::WebGame::fatalError)
        .function("removeSlot", &vorn::WebGame::removeSlot)
        .function("ownSlot", &vorn::WebGame::ownSlot)
        .function("automaticSlot", &vorn::WebGame::automaticSlot)
        .function("slots", &vorn::WebGame::slots)
        .function("findSlot", &vorn::WebGame::findSlot)
        .function("newSlotName", &vorn::WebGame::newSlotName)
        .function("keepPlace", &vorn::WebGame::keepPlace)
        .function("markStartPlace", &vorn::WebGame::markStartPlace)
        // going back and skipping
        .function("stepBack", &vorn::WebGame::stepBack)
        .function("stepBackTo", &vorn::WebGame::stepBackTo)
        .function("placesBehind", &vorn::WebGame::placesBehind)
        .function("pageRead", &vorn::WebGame::pageRead)
        .function("skipStep", &vorn::WebGame::skipStep)
        .function("readPagesDocument", &vorn::WebGame::readPagesDocument)
        .function("adoptReadPages", &vorn::WebGame::adoptReadPages)
        .function("readPagesChanges", &vorn::WebGame::readPagesChanges);
    emscripten::constant("readPagesKeepDelay", vorn::ReadPages::kKeepDelayMs);
    emscripten::function("sceneLayout", &vorn::sceneLayout);
    emscripten::function("keyAction", &vorn::keyActionOf);
    emscripten::function("keyTable", &vorn::keyTable);
    emscripten::function("padTable", &vorn::padTable);
    emscripten::function("padStick", &vorn::padStickOf);
    emscripten::function("readSettings", &vorn::readReaderSettings);
    emscripten::function("writeSettings", &vorn::writeReaderSettings);
    emscripten::function("musicLevel", &vorn::musicLevelOf);
    emscripten::function("autoTurnDelay", &vorn::autoTurnDelayOf);
    emscripten::function("louder", &vorn::louder);
    emscripten::function("quieter", &vorn::quieter);
}
