#include "saves.h"

#include "interpreter/script_stream.h"

#include <algorithm>
#include <chrono>
#include <ctime>

namespace vorn {
namespace {

// The reasons a save or a load cannot be done, worded for the reader.
constexpr const char* kInSlot = VORN_TR("the save in slot \"%1\" %2");
constexpr const char* kCannotBeLoaded = VORN_TR("cannot be loaded: %1");
constexpr const char* kNotASlotName = VORN_TR("\"%1\" is no slot name: use letters, digits, '-' and '_', 1 to 32");
constexpr const char* kNoSlotName = VORN_TR("\"%1\" is no slot name");
constexpr const char* kSaveInRun = VORN_TR("the game cannot be saved to slot \"%1\" in the middle of a run");
constexpr const char* kCannotSave = VORN_TR("the game cannot be saved to slot \"%1\": %2");
constexpr const char* kSaveWouldBeTooLarge =
    VORN_TR("the save would be larger than %1 MB, the most a saved game may hold");
constexpr const char* kSlotEmpty = VORN_TR("slot \"%1\" is empty");
constexpr const char* kBelongsToAnother = VORN_TR("belongs to the game \"%1\", not to \"%2\"");
constexpr const char* kLoadInRun = VORN_TR("slot \"%1\" cannot be loaded in the middle of a run");
constexpr const char* kScriptUnreadable = VORN_TR("slot \"%1\" cannot be loaded: the script cannot be read: %2");
constexpr const char* kScriptChanged =
    VORN_TR("was made with another version of this game's script: %1 has changed since. The save is kept; it loads "
            "again with the script it was made with");
constexpr const char* kOtherScript = VORN_TR("was made with another version of this game's script, or by another "
                                             "game in a folder of the same name");
constexpr const char* kCannotDelete = VORN_TR("slot \"%1\" cannot be deleted: %2");

Message inSlot(const std::string& slot, Message why) { return Message(kInSlot, {Message::words(slot), std::move(why)}); }
Message notLoadable(const std::string& slot, Message why) {
    return inSlot(slot, Message(kCannotBeLoaded, {std::move(why)}));
}
Message notASlotName(const std::string& slot) { return Message(kNotASlotName, {Message::words(slot)}); }

// The first line, cut short (at a character's start) where a dialog could
// not show more, so that listing many slots of long pages stays small.
std::string firstLineOf(const std::string& text) {
    constexpr std::size_t kMaxBytes = 512;
    std::size_t end = std::min(text.find_first_of("\r\n"), text.size());
    if (end > kMaxBytes) {
        end = kMaxBytes;
        while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    }
    return text.substr(0, end);
}

constexpr std::size_t kMarkDigits = 8; // of the script's SHA-256 in the name of an automatic slot

// The page on screen or, while a menu has emptied the text box, the latest page read.
std::string pageOf(const Snapshot& s) {
    if (!s.text.empty()) return s.text;
    for (auto entry = s.backlog.rbegin(); entry != s.backlog.rend(); ++entry)
        if (entry->kind == BacklogEntry::Kind::Page) return entry->text;
    return "";
}

// Now in UTC, as 2026-12-07T12:34:56Z.
std::string utcNow() {
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm utc{};
    gmtime_r(&now, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

} // namespace

Saves::Saves(Interpreter& interpreter, const GameFolder& folder, SlotStore& store, std::string gameName,
             ScriptHash scriptHash)
    : interpreter_(interpreter), folder_(folder), store_(store), scriptHash_(std::move(scriptHash)),
      gameName_(std::move(gameName)) {}

std::optional<std::string> automaticSlotOf(const std::string& slot) {
    for (const char* own : {kQuickSlot, kContinueSlot}) {
        const std::string base(own);
        if (slot == base) return base;
        if (slot.size() == base.size() + 1 + kMarkDigits && slot.compare(0, base.size() + 1, base + "-") == 0 &&
            slot.find_first_not_of("0123456789abcdef", base.size() + 1) == std::string::npos)
            return base;
    }
    return std::nullopt;
}

std::string ownSlot(const SlotStore& store, const std::string& slot, const GameIdentity& owner, bool forSaving) {
    const std::string marked = slot + "-" + owner.scriptHash.substr(0, kMarkDigits);
    std::string why;
    if (store.readDocument(marked, why) || !why.empty()) return marked;
    if (!forSaving) return slot;
    const std::optional<std::string> bytes = store.readDocument(slot, why);
    if (!bytes && why.empty()) return slot; // empty
    const std::optional<SaveDocument> document = bytes ? decodeSave(*bytes, why) : std::nullopt;
    return document && document->game == owner ? slot : marked;
}

GameIdentity Saves::identity() const { return {gameName_, scriptHash_(interpreter_.stream().contents())}; }

std::string Saves::ownSlot(const std::string& slot, bool forSaving) const {
    return vorn::ownSlot(store_, slot, identity(), forSaving);
}

Message Saves::save(const std::string& slot, const std::string& png) {
    if (!isSlotName(slot)) return notASlotName(slot);
    std::optional<Snapshot> taken = interpreter_.snapshot();
    if (!taken) return Message(kSaveInRun, {Message::words(slot)});
    SaveDocument document;
    document.game = identity();
    document.savedAt = utcNow();
    document.snapshot = std::move(*taken);
    const Snapshot* snapshot = &document.snapshot;
    // A save that could not be read back is not written. Only a save that
    // might be too large by a generous estimate (every character written as
    // \u0001) is written once more to measure it, with the longest picture
    // name a store gives.
    std::size_t estimate = 4096 + 6 * (snapshot->text.size() + (snapshot->musfile ? snapshot->musfile->size() : 0) +
                                       (snapshot->music ? snapshot->music->size() : 0));
    for (const std::string& caption : snapshot->captions) estimate += 6 * caption.size();
    for (const PictureState& picture : snapshot->pictures)
        estimate += 6 * (picture.file.value_or("").size() + picture.sizeOf.value_or("").size());
    for (const BacklogEntry& entry : snapshot->backlog) estimate += 16 + 6 * entry.text.size();
    if (!png.empty()) document.picture = slot + ".00000000000000000000.png";
    if (estimate > kMaxSaveBytes && encodeSave(document).size() > kMaxSaveBytes)
        return Message(kCannotSave, {Message::words(slot), Message(kSaveWouldBeTooLarge, {Message::words(std::to_string(
                                                                                  kMaxSaveBytes / (1024 * 1024)))})});
    const std::string why = store_.write(slot, png, [&](const std::optional<std::string>& picture) {
        document.picture = picture;
        return encodeSave(document);
    });
    return why.empty() ? Message() : Message(kCannotSave, {Message::words(slot), Message::sentence(why)});
}

std::optional<SaveDocument> Saves::read(const std::string& slot, Message& why) const {
    std::string problem;
    const std::optional<std::string> bytes = store_.readDocument(slot, problem);
    if (!bytes) {
        why = problem.empty() ? Message(kSlotEmpty, {Message::words(slot)})
                              : notLoadable(slot, Message::sentence(problem));
        return std::nullopt;
    }
    return decode(slot, *bytes, why);
}

std::optional<SaveDocument> Saves::decode(const std::string& slot, const std::string& bytes, Message& why) const {
    Message problem;
    std::optional<SaveDocument> document = decodeSave(bytes, problem);
    if (!document) {
        why = notLoadable(slot, problem);
        return std::nullopt;
    }
    if (document->game.name != gameName_) {
        why = inSlot(slot, Message(kBelongsToAnother, {Message::words(document->game.name), Message::words(gameName_)}));
        return std::nullopt;
    }
    return document;
}

Message Saves::load(const std::string& slot) {
    if (!isSlotName(slot)) return notASlotName(slot);
    if (interpreter_.running()) return Message(kLoadInRun, {Message::words(slot)});
    Message why;
    std::optional<SaveDocument> document = read(slot, why);
    if (!document) return why;
    FileContents script = folder_.read(kScriptName, ScriptStream::kMaxScriptBytes);
    if (!script.error.empty())
        return Message(kScriptUnreadable, {Message::words(slot), Message::sentence(script.error)});
    if (scriptHash_(script.bytes) != document->game.scriptHash)
        return inSlot(slot, Message(kScriptChanged, {Message::words(kScriptName)}));
    why = interpreter_.restore(document->snapshot, std::move(script.bytes));
    return why.empty() ? Message() : notLoadable(slot, why);
}

std::vector<SlotSummary> Saves::list() const {
    std::vector<SlotSummary> summaries;
    for (const std::string& slot : store_.slotNames())
        if (std::optional<SlotSummary> summary = find(slot)) summaries.push_back(std::move(*summary));
    return summaries;
}

std::optional<SlotSummary> Saves::find(const std::string& slot) const {
    if (!isSlotName(slot)) return std::nullopt;
    std::string problem;
    const std::optional<std::string> bytes = store_.readDocument(slot, problem);
    if (!bytes && problem.empty()) return std::nullopt;
    SlotSummary summary;
    summary.slot = slot;
    Message why;
    if (!bytes) {
        summary.problem = notLoadable(slot, Message::sentence(problem));
    } else if (const std::optional<SaveDocument> document = decode(slot, *bytes, why)) {
        summary.savedAt = document->savedAt;
        summary.firstLine = firstLineOf(pageOf(document->snapshot));
        if (document->picture) summary.picture = store_.readPicture(slot, *document->picture);
        if (document->game.scriptHash != scriptHash_(interpreter_.stream().contents()))
            summary.problem = inSlot(slot, Message(kOtherScript));
        else if (Message impossible = impossibleSnapshot(document->snapshot); !impossible.empty())
            summary.problem = notLoadable(slot, std::move(impossible));
    } else {
        summary.problem = why;
    }
    return summary;
}

Message Saves::remove(const std::string& slot) {
    if (!isSlotName(slot)) return Message(kNoSlotName, {Message::words(slot)});
    const std::string why = store_.remove(slot);
    return why.empty() ? Message() : Message(kCannotDelete, {Message::words(slot), Message::sentence(why)});
}

} // namespace vorn
