#include "save_format.h"

#include "interpreter/mirror.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <deque>
#include <initializer_list>
#include <utility>

namespace vorn {
namespace {

using Json = nlohmann::json;

// Why a document is no save this player can read, worded for the reader.
constexpr const char* kCutShortAt = VORN_TR("it is cut short or damaged (%1 at byte %2)");
constexpr const char* kCutShort = VORN_TR("it is cut short or damaged (%1)");
constexpr const char* kTooDeep = VORN_TR("lists and objects nested more than %1 deep");
constexpr const char* kNotASave = VORN_TR("it is not a saved game of this player");
constexpr const char* kNewerPlayer = VORN_TR("it was made by a newer version of the player (save format %1; this one "
                                             "reads format %2): play it with that version");
constexpr const char* kDamaged = VORN_TR("it is damaged: %1");
constexpr const char* kIsNot = VORN_TR("\"%1\" is not %2");
constexpr const char* kAnObject = VORN_TR("an object");
constexpr const char* kAList = VORN_TR("a list");
constexpr const char* kAListOf = VORN_TR("a list of %1");
constexpr const char* kAText = VORN_TR("a text");
constexpr const char* kAWholeNumber = VORN_TR("a whole number from %1 to %2");
constexpr const char* kTrueOrFalse = VORN_TR("true or false");
constexpr const char* kBacklogEntries = VORN_TR("a list of pages and options chosen");
// The store says so too, in these words, before it reads the file.
constexpr const char* kTooLarge = VORN_TR("it is larger than 24 MB, far larger than a saved game");
static_assert(kMaxSaveBytes == 24 * 1024 * 1024, "the words above name the limit");

// Keys are written in the order a reader of the file wants them, which a JSON
// object does not keep; every value is still written by the JSON library.
using Member = std::pair<const char*, std::string>;

std::string value(const Json& v) {
    // Texts that are not UTF-8 (none should be) are written with U+FFFD
    // rather than refused, so a save never fails on a caption.
    return v.dump(-1, ' ', false, Json::error_handler_t::replace);
}

std::string text(const std::string& s) { return value(Json(s)); }
std::string optionalText(const std::optional<std::string>& s) { return s ? text(*s) : "null"; }
std::string optionalNumber(const std::optional<std::int16_t>& n) { return n ? std::to_string(*n) : "null"; }

std::string object(std::initializer_list<Member> members, const char* separator = ",") {
    std::string out = "{";
    bool first = true;
    for (const auto& [key, v] : members) {
        if (!first) out += separator;
        first = false;
        out += text(key) + ":" + v;
    }
    return out + "}";
}

std::string picture(const PictureState& p) {
    return object({{"file", optionalText(p.file)}, {"sizeOf", optionalText(p.sizeOf)}});
}

// Reads the members of a save; the first that is missing or of the wrong kind
// is kept as the problem, and the rest read as defaults.
class Reader {
  public:
    Message problem;

    void fail(const char* key, Message expected) {
        if (problem.empty()) problem = Message(kIsNot, {Message::words(key), std::move(expected)});
    }
    void failWith(const Message& what) {
        if (problem.empty()) problem = what;
    }

    static const Json& member(const Json& in, const char* key) {
        static const Json missing; // null, as a missing member reads
        if (!in.is_object()) return missing;
        const auto it = in.find(key);
        return it == in.end() ? missing : *it;
    }

    const Json& object(const Json& in, const char* key) {
        const Json& v = member(in, key);
        if (!v.is_object()) fail(key, Message(kAnObject));
        return v;
    }
    const Json& array(const Json& in, const char* key, std::size_t size = 0, bool sized = false) {
        static const Json empty = Json::array();
        const Json& v = member(in, key);
        if (!v.is_array() || (sized && v.size() != size)) {
            fail(key, sized ? Message(kAListOf, {Message::words(std::to_string(size))}) : Message(kAList));
            if (!v.is_array()) return empty;
        }
        return v;
    }
    std::string textValue(const Json& v, const char* key) {
        if (!v.is_string()) {
            fail(key, Message(kAText));
            return "";
        }
        return v.get<std::string>();
    }
    std::string text(const Json& in, const char* key) { return textValue(member(in, key), key); }
    std::optional<std::string> optionalText(const Json& in, const char* key) {
        const Json& v = member(in, key);
        if (v.is_null()) return std::nullopt;
        return textValue(v, key);
    }
    long long numberValue(const Json& v, const char* key, long long low, long long high) {
        const double d = v.is_number() ? v.get<double>() : 0.0;
        // Range first: only then is the conversion to an integer defined.
        if (!v.is_number() || !(d >= double(low) && d <= double(high)) || d != std::floor(d)) {
            fail(key, Message(kAWholeNumber,
                              {Message::words(std::to_string(low)), Message::words(std::to_string(high))}));
            return low;
        }
        return static_cast<long long>(d);
    }
    long long number(const Json& in, const char* key, long long low, long long high) {
        return numberValue(member(in, key), key, low, high);
    }
    std::optional<std::int16_t> optionalNumber(const Json& in, const char* key) {
        const Json& v = member(in, key);
        if (v.is_null()) return std::nullopt;
        return static_cast<std::int16_t>(numberValue(v, key, -32768, 32767));
    }
    bool boolean(const Json& in, const char* key) {
        const Json& v = member(in, key);
        if (!v.is_boolean()) {
            fail(key, Message(kTrueOrFalse));
            return false;
        }
        return v.get<bool>();
    }
    PictureState picture(const Json& screen, const char* key) {
        const Json& p = object(screen, key);
        return {optionalText(p, "file"), optionalText(p, "sizeOf")};
    }
};

// Builds the document as the JSON library's own reader does, but only of what
// a save holds, so that a file padded with values no save has costs no more
// than its bytes: members of unknown names are read past and dropped, a list
// or an object where a save has a single value is kept empty, the flags and
// the captions keep no more values than it takes to see that there are too
// many, and the backlog's entries go straight into their list. The first
// problem is kept instead of thrown: where it is and the parser's words. A
// save nests three deep; a file nested far deeper is refused early.
class SaveParser : public nlohmann::detail::json_sax_dom_parser<Json> {
  public:
    using Dom = nlohmann::detail::json_sax_dom_parser<Json>;
    static constexpr std::size_t kMaxDepth = 64;
    explicit SaveParser(Json& json) : Dom(json, false) {}

    std::size_t at = 0;
    std::string words;
    bool tooDeep() const { return tooDeep_; }
    std::vector<BacklogEntry> backlog; // the backlog's entries, read straight off the file
    Message backlogProblem;            // what is wrong with the first entry that is not one

    // Each value is passed on to the document only where a save has it.
    bool null() { return !forwarded() || Dom::null(); }
    bool boolean(bool v) { return !forwarded() || Dom::boolean(v); }
    bool number_integer(number_integer_t v) { return !forwarded() || Dom::number_integer(v); }
    bool number_unsigned(number_unsigned_t v) { return !forwarded() || Dom::number_unsigned(v); }
    bool number_float(number_float_t v, const string_t& s) { return !forwarded() || Dom::number_float(v, s); }
    bool binary(binary_t& v) { return !forwarded() || Dom::binary(v); }
    bool string(string_t& v) {
        const Admit admitted = admit(false);
        if (admitted == Admit::EntryValue) {
            entryText_ = std::move(v);
            entryIsText_ = true;
        }
        return admitted != Admit::Forward || Dom::string(v);
    }
    bool start_object(std::size_t) { return start(false); }
    bool start_array(std::size_t) { return start(true); }
    bool end_object() { return end(); }
    bool end_array() { return end(); }
    bool key(string_t& k) {
        if (skip_ > 0 || frames_.empty()) return true;
        Frame& frame = frames_.back();
        if (frame.place == Place::Entry) {
            ++frame.count;
            entryKey_ = k;
            return true;
        }
        if (frame.place == Place::Kept) return true; // its members are dropped as they come
        if (childPlace(frame.place, k, false) == Place::Unknown) {
            swallowNext_ = true;
            return true;
        }
        key_ = k;
        return Dom::key(k);
    }
    bool parse_error(std::size_t position, const std::string&, const nlohmann::detail::exception& error) {
        at = position ? position - 1 : 0;
        // Without the prefix "[json.exception.parse_error.101] parse error at line 1, column 2: ".
        words = error.what();
        if (const auto close = words.find("] "); close != std::string::npos) words = words.substr(close + 2);
        if (const auto colon = words.find(": "); colon != std::string::npos) words = words.substr(colon + 2);
        if (words.empty()) words = "not JSON";
        return false;
    }

  private:
    // What a value is to the document, by where it stands.
    enum class Place {
        Unknown, // a member a save does not have
        Scalar,  // a member whose value is a number, a text, true, false or null
        Root, Game, Script, State, Screen, Picture, // objects whose members are read
        Flags, Captions,                            // lists whose values are read
        Backlog, Entry,                             // the backlog and one of its entries
        Kept,                                       // kept empty: a list or object where a save has none
    };
    enum class Admit { Forward, Drop, EntryValue };
    struct Frame {
        Place place;
        bool isArray = false;
        std::size_t count = 0; // values of a list, members of a backlog entry
    };

    static Place childPlace(Place parent, const std::string& k, bool isArray) {
        const auto object = [isArray](Place p) { return isArray ? Place::Kept : p; };
        const auto array = [isArray](Place p) { return isArray ? p : Place::Kept; };
        const auto among = [&k](std::initializer_list<const char*> names) {
            for (const char* name : names)
                if (k == name) return true;
            return false;
        };
        switch (parent) {
        case Place::Root:
            if (k == "game") return object(Place::Game);
            if (k == "script") return object(Place::Script);
            if (k == "state") return object(Place::State);
            if (k == "screen") return object(Place::Screen);
            if (k == "backlog") return array(Place::Backlog);
            return among({"format", "version", "saved", "picture", "music"}) ? Place::Scalar : Place::Unknown;
        case Place::Game: return among({"name", "script"}) ? Place::Scalar : Place::Unknown;
        case Place::Script: return among({"position", "menu"}) ? Place::Scalar : Place::Unknown;
        case Place::State:
            if (k == "flags") return array(Place::Flags);
            return among({"WaitCmd", "NumCmds", "Cmd_Selected", "musfile", "menuWaiting"}) ? Place::Scalar
                                                                                           : Place::Unknown;
        case Place::Screen:
            if (among({"Form1", "Image1", "Image2"})) return object(Place::Picture);
            if (k == "captions") return array(Place::Captions);
            return k == "text" ? Place::Scalar : Place::Unknown;
        case Place::Picture: return among({"file", "sizeOf"}) ? Place::Scalar : Place::Unknown;
        default: return Place::Unknown;
        }
    }

    // Decides what becomes of the value that starts now; a composite that is
    // dropped is read past to its end.
    Admit admit(bool composite, bool isArray = false) {
        nextPlace_ = Place::Kept;
        if (skip_ > 0 || swallowNext_) {
            swallowNext_ = false;
            if (composite) ++skip_;
            return Admit::Drop;
        }
        const auto drop = [&] {
            if (composite) skip_ = 1;
            return Admit::Drop;
        };
        if (frames_.empty()) {
            nextPlace_ = isArray ? Place::Kept : Place::Root;
        } else {
            Frame& frame = frames_.back();
            switch (frame.place) {
            case Place::Flags:
            case Place::Captions:
                // One value beyond the list's length shows that it is too long.
                if (++frame.count > (frame.place == Place::Flags ? 9u : 5u)) return drop();
                break;
            case Place::Kept: return drop();
            case Place::Backlog:
                if (composite && !isArray && backlogProblem.empty()) {
                    nextPlace_ = Place::Entry;
                    entryKey_.clear();
                    entryText_.clear();
                    entryIsText_ = false;
                    return Admit::Drop; // read into the list, not the document
                }
                notAnEntry();
                return drop();
            case Place::Entry:
                if (composite) skip_ = 1;
                return Admit::EntryValue;
            default: nextPlace_ = childPlace(frame.place, key_, isArray); break;
            }
        }
        return Admit::Forward;
    }

    // Whether a number, true, false or null is passed on to the document.
    bool forwarded() {
        const Admit admitted = admit(false);
        if (admitted == Admit::EntryValue) entryIsText_ = false;
        return admitted == Admit::Forward;
    }

    bool start(bool isArray) {
        if (++depth_ > kMaxDepth) return refuseTooDeep();
        const Admit admitted = admit(true, isArray);
        if (admitted == Admit::EntryValue) {
            entryIsText_ = false;
            return true;
        }
        if (nextPlace_ == Place::Entry) {
            frames_.push_back({Place::Entry, false});
            return true;
        }
        if (admitted == Admit::Drop) return true;
        if (nextPlace_ == Place::Scalar) nextPlace_ = Place::Kept;
        if (nextPlace_ == Place::Backlog) {
            backlog.clear();
            backlogProblem = Message();
            backlogWeight_ = 0;
            entries_.clear();
        }
        frames_.push_back({nextPlace_, isArray});
        return isArray ? Dom::start_array(std::size_t(-1)) : Dom::start_object(std::size_t(-1));
    }

    bool end() {
        --depth_;
        if (skip_ > 0) {
            --skip_;
            return true;
        }
        const Frame frame = frames_.back();
        frames_.pop_back();
        if (frame.place == Place::Entry) {
            const bool choice = entryKey_ == "choice";
            if (frame.count != 1 || !(choice || entryKey_ == "page"))
                notAnEntry();
            else if (!entryIsText_ && backlogProblem.empty())
                backlogProblem = Message(kIsNot, {Message::words(entryKey_), Message(kAText)});
            else if (backlogProblem.empty())
                keepEntry({choice ? BacklogEntry::Kind::Choice : BacklogEntry::Kind::Page, std::move(entryText_)});
            return true;
        }
        if (frame.place == Place::Backlog) dropTrimmedEntries();
        return frame.isArray ? Dom::end_array() : Dom::end_object();
    }

    // The backlog keeps its latest entries up to the weight the interpreter
    // keeps, as a load would trim it: a file of countless entries costs no
    // more than a backlog the player can hold.
    // Gathered in a deque, which grows without copying, and moved into a
    // list of the exact size at the end.
    void keepEntry(BacklogEntry entry) {
        backlogWeight_ += SurfaceMirror::weight(entry.text);
        entries_.push_back(std::move(entry));
        while (entries_.size() > 1 && backlogWeight_ > SurfaceMirror::kBacklogCharacters) {
            backlogWeight_ -= SurfaceMirror::weight(entries_.front().text);
            entries_.pop_front();
        }
    }
    void dropTrimmedEntries() {
        backlog.clear();
        backlog.reserve(entries_.size());
        while (!entries_.empty()) {
            backlog.push_back(std::move(entries_.front()));
            entries_.pop_front();
        }
    }

    void notAnEntry() {
        if (backlogProblem.empty())
            backlogProblem = Message(kIsNot, {Message::words("backlog"), Message(kBacklogEntries)});
    }

    bool refuseTooDeep() {
        tooDeep_ = true;
        words = "lists and objects nested more than " + std::to_string(kMaxDepth) + " deep";
        at = std::string::npos;
        return false;
    }

    std::vector<Frame> frames_;
    std::size_t depth_ = 0;
    std::size_t skip_ = 0;     // how deep inside a dropped list or object the parser is
    bool swallowNext_ = false; // the value of a member of unknown name comes next
    Place nextPlace_ = Place::Kept;
    std::string key_; // the latest member's name in an object whose members are read
    bool tooDeep_ = false;
    std::deque<BacklogEntry> entries_; // the backlog's entries while it is read
    std::size_t backlogWeight_ = 0;    // of those entries
    std::string entryKey_, entryText_;
    bool entryIsText_ = false;
};

} // namespace

Message saveTooLarge() { return Message(kTooLarge); }

std::string encodeSave(const SaveDocument& d) {
    const Snapshot& s = d.snapshot;
    Json flags = Json::array();
    for (const std::uint8_t f : s.Flag) flags.push_back(f);
    Json captions = Json::array();
    for (const std::string& c : s.captions) captions.push_back(c);
    std::string backlog = "[";
    for (std::size_t k = 0; k < s.backlog.size(); ++k)
        backlog +=
            std::string(k ? ",\n  " : "\n  ") +
            object({{s.backlog[k].kind == BacklogEntry::Kind::Choice ? "choice" : "page", text(s.backlog[k].text)}});
    backlog += s.backlog.empty() ? "]" : "\n]";
    return object(
               {
                   {"format", text(kSaveFormatName)},
                   {"version", std::to_string(kSaveFormatVersion)},
                   {"game", object({{"name", text(d.game.name)}, {"script", text(d.game.scriptHash)}})},
                   {"saved", text(d.savedAt)},
                   {"picture", optionalText(d.picture)},
                   {"script",
                    object({{"position", std::to_string(s.position)}, {"menu", std::to_string(s.menuOffset)}})},
                   {"state", object({{"WaitCmd", std::to_string(s.WaitCmd)},
                                     {"NumCmds", optionalNumber(s.NumCmds)},
                                     {"Cmd_Selected", optionalNumber(s.Cmd_Selected)},
                                     {"musfile", optionalText(s.musfile)},
                                     {"flags", value(flags)},
                                     {"menuWaiting", s.menuWaiting ? "true" : "false"}})},
                   {"screen", object({{"Form1", picture(s.pictures[0])},
                                      {"Image1", picture(s.pictures[1])},
                                      {"Image2", picture(s.pictures[2])},
                                      {"captions", value(captions)},
                                      {"text", text(s.text)}},
                                     ",\n  ")},
                   {"music", optionalText(s.music)},
                   {"backlog", backlog},
               },
               ",\n") +
           "\n";
}

std::optional<SaveDocument> decodeSave(std::string_view bytes, std::string& why) {
    Message reason;
    std::optional<SaveDocument> document = decodeSave(bytes, reason);
    why = reason.english();
    return document;
}

std::optional<SaveDocument> decodeSave(std::string_view bytes, Message& why) {
    if (bytes.size() > kMaxSaveBytes) {
        why = saveTooLarge();
        return std::nullopt;
    }
    Json json;
    SaveParser parsing(json);
    if (!Json::sax_parse(bytes.begin(), bytes.end(), &parsing) || !parsing.words.empty()) {
        why = parsing.tooDeep()
                  ? Message(kCutShort, {Message(kTooDeep, {Message::words(std::to_string(SaveParser::kMaxDepth))})})
                  : Message(kCutShortAt, {Message::words(parsing.words), Message::words(std::to_string(parsing.at))});
        return std::nullopt;
    }
    const Json& format = Reader::member(json, "format");
    if (!json.is_object() || !format.is_string() || format.get<std::string>() != kSaveFormatName) {
        why = Message(kNotASave);
        return std::nullopt;
    }
    Reader r;
    const long long version = r.number(json, "version", 1, 1LL << 40);
    if (r.problem.empty() && version > kSaveFormatVersion) {
        why = Message(kNewerPlayer,
                      {Message::words(std::to_string(version)), Message::words(std::to_string(kSaveFormatVersion))});
        return std::nullopt;
    }

    SaveDocument d;
    const Json& game = r.object(json, "game");
    d.game = {r.text(game, "name"), r.text(game, "script")};
    d.savedAt = r.text(json, "saved");
    d.picture = r.optionalText(json, "picture");

    Snapshot& s = d.snapshot;
    const Json& script = r.object(json, "script");
    constexpr long long kMaxOffset = 1LL << 40;
    s.position = static_cast<std::size_t>(r.number(script, "position", 0, kMaxOffset));
    s.menuOffset = static_cast<std::size_t>(r.number(script, "menu", 0, kMaxOffset));
    const Json& state = r.object(json, "state");
    s.WaitCmd = static_cast<std::int16_t>(r.number(state, "WaitCmd", -1, 0));
    s.NumCmds = r.optionalNumber(state, "NumCmds");
    s.Cmd_Selected = r.optionalNumber(state, "Cmd_Selected");
    s.musfile = r.optionalText(state, "musfile");
    const Json& flags = r.array(state, "flags", 8, true);
    for (std::size_t k = 0; k < flags.size() && k < 8; ++k)
        s.Flag[k] = static_cast<std::uint8_t>(r.numberValue(flags[k], "flags", 0, 255));
    s.menuWaiting = r.boolean(state, "menuWaiting");

    const Json& screen = r.object(json, "screen");
    s.pictures = {r.picture(screen, "Form1"), r.picture(screen, "Image1"), r.picture(screen, "Image2")};
    const Json& captions = r.array(screen, "captions", 4, true);
    for (std::size_t k = 0; k < captions.size() && k < 4; ++k) s.captions[k] = r.textValue(captions[k], "captions");
    s.text = r.text(screen, "text");
    s.music = r.optionalText(json, "music");
    r.array(json, "backlog");
    if (!parsing.backlogProblem.empty())
        r.failWith(parsing.backlogProblem);
    else
        s.backlog = std::move(parsing.backlog);

    if (!r.problem.empty()) {
        why = Message(kDamaged, {r.problem});
        return std::nullopt;
    }
    return d;
}

} // namespace vorn
