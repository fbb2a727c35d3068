#include "save_parser.h"

#include "interpreter/mirror.h"
#include "save_words.h"

#include <deque>
#include <initializer_list>
#include <utility>

namespace vorn {
namespace {

using Json = nlohmann::json;

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

bool parseSave(std::string_view bytes, ParsedSave& parsed, Message& why) {
    SaveParser parsing(parsed.json);
    if (!Json::sax_parse(bytes.begin(), bytes.end(), &parsing) || !parsing.words.empty()) {
        why = parsing.tooDeep()
                  ? Message(kCutShort, {Message(kTooDeep, {Message::words(std::to_string(SaveParser::kMaxDepth))})})
                  : Message(kCutShortAt, {Message::words(parsing.words), Message::words(std::to_string(parsing.at))});
        return false;
    }
    parsed.backlog = std::move(parsing.backlog);
    parsed.backlogProblem = std::move(parsing.backlogProblem);
    return true;
}

} // namespace vorn
