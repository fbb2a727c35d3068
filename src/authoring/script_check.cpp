#include "script_check.h"

#include "game_files.h"
#include "interpreter/command_syntax.h"
#include "interpreter/fatal_error.h"
#include "interpreter/script_stream.h"

#include <algorithm>
#include <map>
#include <optional>
#include <string_view>

namespace vorn::authoring {
namespace {

using syntax::Command;
constexpr std::size_t kNone = std::string::npos;

// A command's argument ran into the end of the script.
struct CutOff {};

const char* commandName(Command c) {
    switch (c) {
    case Command::Page: return "text page";
    case Command::Picture: return "picture command";
    case Command::Jump: return "jump";
    case Command::Menu: return "choice menu";
    case Command::Music: return "music command";
    case Command::Set: return "set command";
    case Command::Clear: return "clear command";
    case Command::IfSet:
    case Command::IfClear: return "conditional command";
    default: return "command";
    }
}

const char* cutOffHint(Command c) {
    switch (c) {
    case Command::Page: return "end the page with a closing '\"'";
    case Command::Picture: return "close the file name with '>', as in <room.bmp>";
    case Command::Jump: return "close the label with '<', as in >start<";
    case Command::Menu: return "end its last option with ')', as in (2 Yes,No)";
    case Command::Music: return "close the file name with ']', as in [theme.mid]";
    case Command::Set: return "write it as ~A1~";
    case Command::Clear: return "write it as -A1-";
    default: return "write it as =A1= followed by the command it guards";
    }
}

// A script character as a message names it.
std::string shown(const ScriptStream& s, const ScriptChar& ch) {
    if (ch.is('\r') || ch.is('\n')) return "a line break";
    if (ch.is(' ')) return "a blank";
    if (ch.is('\t')) return "a tab";
    return "\"" + s.decode(ch.bytes) + "\"";
}

// A file name or label for a message: cut short when a missing closing
// character has let it run on over many lines. UTF-8 in, UTF-8 out.
std::string shortened(const std::string& text) {
    constexpr std::size_t kLongest = 60;
    if (text.size() <= kLongest) return text;
    std::size_t cut = kLongest;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut; // not inside a character
    return text.substr(0, cut) + "...";
}

std::string quoted(const std::string& text) { return "\"" + shortened(text) + "\""; }

std::string asciiLower(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\n");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\n") - first + 1);
}

// How many branches the branch-end step of branch k skips with this count.
int branchesSkipped(int k, int count) {
    int skipped = 0;
    for (int j = k; j <= 3; ++j)
        if (count > j) ++skipped;
    return skipped;
}

// When a branch ends with another option count than its menu's (a page of
// the main table set it to 0, or a menu in the branch to its own), the
// branch-end step skips other branches than those behind it, and the script
// goes on from elsewhere: normal mode is walked from there as well.
struct Detour {
    ScriptStream from; // right behind the '}' that ends the branch
    std::size_t menuAt;
    int k;
    int count;
    std::size_t end; // that '}'
    int level;       // detours before this one
};

struct RawFinding {
    Severity severity;
    std::size_t offset;
    std::string message;
    std::string hint;
};

enum class Half {
    Normal,     // a main half in normal mode
    BranchHalf, // the branch half of a cycle in a chosen branch
    BranchMain, // the main half of a cycle in a chosen branch
};

struct Jump {
    std::size_t offset;
    std::string label; // script bytes
};

// A brace that a command reads as part of its argument without its partner:
// it counts when a branch holding it is skipped, but not when it is played.
struct LoneBrace {
    std::size_t offset;
    bool opening;
    Command command;
    std::size_t commandOffset;
};

// How the walk of a chosen branch stopped.
struct PlayedEnd {
    enum class Kind {
        Brace,                  // the branch half fetched a '}' at `offset`
        CloseFetchedByMainHalf, // the main half passed over the counted end
        CloseInsideCommand,     // a command read the counted end as part of its argument
        EndOfScript,
    } kind = Kind::EndOfScript;
    std::size_t offset = kNone;
    Command command = Command::None; // CloseInsideCommand: the command
    std::size_t commandOffset = kNone;
    std::string before; // CloseFetchedByMainHalf: what the branch half took last
    std::size_t beforeOffset = kNone;
    int count = 0; // the option count when the branch ends, as pages and menus in it leave it
};

class Checker {
  public:
    Checker(const GameFolder& folder, ScriptStream& script) : script_(script), files_(folder) {}

    CheckReport run();

  private:
    // Like a compiler, the check shows so many errors and so many warnings and
    // counts the rest; a place costs a walk from the top of the script, so a
    // message that names places is made only while its kind is still shown.
    static constexpr std::size_t kMaxShown = 200;
    // A detour can lead to further detours; past so many levels, or so many
    // detours in all, they are not walked.
    static constexpr int kMostDetourLevels = 8;
    static constexpr std::size_t kMostDetours = 1000;
    bool full(Severity severity) const { return shown_[severity == Severity::Error] >= kMaxShown; }
    // For a finding whose message names places: false, and counted, once its kind is full.
    bool takes(Severity severity) {
        if (!full(severity)) return true;
        ++dropped_[severity == Severity::Error];
        return false;
    }
    void error(std::size_t at, std::string message, std::string hint) {
        add({Severity::Error, at, std::move(message), std::move(hint)});
    }
    void warning(std::size_t at, std::string message, std::string hint) {
        add({Severity::Warning, at, std::move(message), std::move(hint)});
    }
    void add(RawFinding finding) {
        const bool isError = finding.severity == Severity::Error;
        if (full(finding.severity)) {
            ++dropped_[isError];
        } else {
            ++shown_[isError];
            raw_.push_back(std::move(finding));
        }
    }
    std::string where(std::size_t offset) const {
        const Place p = script_.placeOf(offset);
        return std::to_string(p.line) + ":" + std::to_string(p.column);
    }

    static ScriptChar read(ScriptStream& s) {
        if (s.atEnd()) throw CutOff{};
        return s.readChar();
    }
    static std::size_t offsetOf(const ScriptStream& s, const ScriptChar& ch) { return s.position() - ch.bytes.size(); }

    void fixedFiles();
    void walkNormal(ScriptStream& s, int level = 0);
    bool branches(ScriptStream& s, std::size_t menuAt, int n, int level);
    ScriptStream& player(const ScriptStream& at);
    void detour(struct Detour& d);
    PlayedEnd playBranch(ScriptStream& s, int k, int n, std::size_t close);
    void diagnoseBranch(const PlayedEnd& end, std::size_t menuAt, int k, std::size_t open, std::size_t close);
    void markerLines(ScriptStream& lines);

    struct Outcome {
        int menuCount = 0;
        Command guarded = Command::None; // what a conditional guards
    };
    Outcome command(ScriptStream& s, Command c, std::size_t at, Half half, bool guarded = false);
    void reportCutOff();
    std::string readArgument(ScriptStream& s, char closing);
    void picture(ScriptStream& s, std::size_t at);
    void music(ScriptStream& s, std::size_t at);
    void jump(ScriptStream& s, std::size_t at, Half half);
    int menu(ScriptStream& s, std::size_t at, Half half);
    syntax::FlagSyntax flagName(ScriptStream& s, Command c);
    void flagCommand(ScriptStream& s, Command c, bool guarded);
    Command conditional(ScriptStream& s, Command c, Half half);
    void fileFinding(std::size_t at, const std::string& what, const std::string& name, const FileReport& report,
                     const char* missingEffect, const char* brackets);

    ScriptStream& script_;
    GameFiles files_;
    std::vector<RawFinding> raw_;
    std::size_t shown_[2] = {0, 0};   // warnings, errors
    std::size_t dropped_[2] = {0, 0}; // warnings, errors
    std::vector<Finding> wholeFile_;
    std::vector<Jump> jumps_;
    bool choiceBoxChecked_ = false;
    // The command being read, for a report when it is cut off.
    Command current_ = Command::None;
    std::size_t currentAt_ = 0;
    // Collected while a branch is walked.
    std::vector<LoneBrace> loneBraces_;
    std::vector<std::size_t> fetchedOpenBraces_;
    // The reader that plays branches.
    std::optional<ScriptStream> player_;
    // Where normal mode has fetched a command character: a walk that gets to
    // one of them goes on as the walk before it did.
    std::vector<bool> fetched_;
    std::vector<Detour> detours_;
    std::size_t detoursTaken_ = 0;
};

CheckReport Checker::run() {
    fixedFiles();
    ScriptStream lines = script_; // a second reader from the first character
    walkNormal(script_);
    // Detours last, so that they end where they meet a walk already made.
    for (std::size_t i = 0; i < detours_.size(); ++i) {
        Detour d = std::move(detours_[i]); // detours_ may grow meanwhile
        detour(d);
    }
    markerLines(lines);

    std::stable_sort(raw_.begin(), raw_.end(),
                     [](const RawFinding& a, const RawFinding& b) { return a.offset < b.offset; });
    raw_.erase(std::unique(raw_.begin(), raw_.end(),
                           [](const RawFinding& a, const RawFinding& b) {
                               return a.offset == b.offset && a.severity == b.severity && a.message == b.message;
                           }),
               raw_.end());
    CheckReport report;
    for (const Finding& f : wholeFile_) (f.severity == Severity::Error ? report.errors : report.warnings)++;
    for (const RawFinding& r : raw_) (r.severity == Severity::Error ? report.errors : report.warnings)++;
    report.errors += dropped_[1];
    report.warnings += dropped_[0];
    std::vector<Finding>& out = report.findings;
    out = std::move(wholeFile_);
    for (RawFinding& r : raw_) {
        const Place p = script_.placeOf(r.offset);
        out.push_back({r.severity, kScriptName, p.line, p.column, std::move(r.message), std::move(r.hint)});
    }
    if (dropped_[0] + dropped_[1] > 0)
        out.push_back({dropped_[1] > 0 ? Severity::Error : Severity::Warning, kScriptName, 0, 0,
                       std::to_string(dropped_[1]) + " more errors and " + std::to_string(dropped_[0]) +
                           " more warnings are not shown",
                       "correct these and check again"});
    return report;
}

void Checker::fixedFiles() {
    const auto report = [this](const char* name, const FileReport& r, const char* role) {
        switch (r.status) {
        case FileStatus::Found: return;
        case FileStatus::FoundByFallback:
            wholeFile_.push_back({Severity::Warning, name, 0, 0,
                                  std::string(role) + " is found only as \"" + r.actualName +
                                      "\", by ignoring letter case; it plays here, but rename it",
                                  std::string("name the file exactly ") + name});
            return;
        case FileStatus::Missing:
            wholeFile_.push_back({Severity::Error, name, 0, 0,
                                  std::string(role) + " is not in the game folder: the player stops at start-up",
                                  std::string("add a Windows ") +
                                      (std::string_view(name) == "mouse.ico" ? "icon" : "bitmap") + " named " + name});
            return;
        case FileStatus::Unreadable:
            wholeFile_.push_back(
                {Severity::Error, name, 0, 0,
                 std::string(role) + " cannot be read (" + r.detail + "): the player stops at start-up", ""});
            return;
        case FileStatus::NotAPicture:
            wholeFile_.push_back({Severity::Error, name, 0, 0,
                                  std::string(role) + " is no " +
                                      (std::string_view(name) == "mouse.ico" ? "icon" : "picture") +
                                      " the player can read: the player stops at start-up",
                                  std::string("save it as a Windows ") +
                                      (std::string_view(name) == "mouse.ico" ? "icon (.ico)" : "bitmap (.bmp)")});
            return;
        }
    };
    report("back.bmp", files_.picture("back.bmp"), "the window background \"back.bmp\"");
    report("mouse.ico", files_.icon("mouse.ico"), "the cursor \"mouse.ico\"");
}

// ---------------------------------------------------------------------------
// Normal mode: the main table in every cycle.

// From where `s` stands to the end of the script, or, on a detour, to the
// first command character that an earlier walk has fetched.
void Checker::walkNormal(ScriptStream& s, int level) {
    std::size_t passedMenu = kNone; // a menu whose branches were just passed, and its count
    int passedOptions = 0;
    while (true) {
        ScriptChar ch;
        if (!s.fetchCommandChar(ch)) return;
        const std::size_t at = offsetOf(s, ch);
        if (at >= fetched_.size()) fetched_.resize(std::max(at + 1, fetched_.size() * 2));
        if (fetched_[at]) return; // the rest has been walked
        fetched_[at] = true;
        if (passedMenu != kNone) {
            if (ch.is(syntax::kOpenBrace) && takes(Severity::Warning))
                warning(at,
                        "one branch more than the menu at " + where(passedMenu) + " has options (" +
                            std::to_string(passedOptions) +
                            "): it belongs to no option and is played as ordinary script after every choice",
                        "give the menu one option per branch, or take the braces away");
            passedMenu = kNone;
        }
        const Command c = syntax::mainCommand(ch);
        if (c == Command::None) continue;
        int options = 0;
        try {
            options = command(s, c, at, Half::Normal).menuCount;
        } catch (const CutOff&) {
            reportCutOff();
            return;
        }
        if (options > 0) {
            if (!branches(s, at, options, level)) return;
            passedMenu = at;
            passedOptions = options;
        }
    }
}

Checker::Outcome Checker::command(ScriptStream& s, Command c, std::size_t at, Half half, bool guarded) {
    current_ = c;
    currentAt_ = at;
    Outcome outcome;
    switch (c) {
    case Command::Page: readArgument(s, syntax::closingCharacter(c)); break;
    case Command::Picture: picture(s, at); break;
    case Command::Music: music(s, at); break;
    case Command::Jump: jump(s, at, half); break;
    case Command::Menu: outcome.menuCount = menu(s, at, half); break;
    case Command::Set:
    case Command::Clear: flagCommand(s, c, guarded); break;
    case Command::IfSet:
    case Command::IfClear: outcome.guarded = conditional(s, c, half); break;
    default: break;
    }
    return outcome;
}

void Checker::reportCutOff() {
    error(currentAt_,
          std::string("the ") + commandName(current_) +
              " that starts here runs into the end of file: the player stops with an error when it reads it",
          cutOffHint(current_));
}

// Reads up to and including `closing`, as the command procedures do, and
// notes braces that have no partner inside the argument.
std::string Checker::readArgument(ScriptStream& s, char closing) {
    std::string raw;
    std::vector<std::size_t> open;
    std::optional<std::size_t> strayClose;
    while (true) {
        const ScriptChar ch = read(s);
        if (ch.is(closing)) break;
        if (ch.is(syntax::kOpenBrace)) open.push_back(offsetOf(s, ch));
        if (ch.is(syntax::kCloseBrace)) {
            if (open.empty()) {
                if (!strayClose) strayClose = offsetOf(s, ch);
            } else {
                open.pop_back();
            }
        }
        raw.append(ch.bytes);
    }
    if (strayClose) loneBraces_.push_back({*strayClose, false, current_, currentAt_});
    if (!open.empty()) loneBraces_.push_back({open.front(), true, current_, currentAt_});
    return raw;
}

void Checker::fileFinding(std::size_t at, const std::string& what, const std::string& name, const FileReport& r,
                          const char* missingEffect, const char* brackets) {
    const bool brokenName = name.find_first_of("\r\n") != std::string::npos;
    switch (r.status) {
    case FileStatus::Found: return;
    case FileStatus::FoundByFallback: {
        std::string how;
        if (name.find('\\') != std::string::npos) how = "reading '\\' as a folder separator";
        std::string asSlashes = name;
        std::replace(asSlashes.begin(), asSlashes.end(), '\\', '/');
        if (asSlashes != r.actualName) how += std::string(how.empty() ? "" : " and ") + "ignoring letter case";
        warning(at,
                "the " + what + " " + quoted(name) + " is found only as \"" + r.actualName + "\", by " + how +
                    "; it plays here, but rename it",
                "write the name exactly as the file is named");
        return;
    }
    case FileStatus::Missing:
        error(at, "the " + what + " " + quoted(name) + " is not in the game folder: " + missingEffect,
              brokenName ? std::string("the name runs over a line break: close it on the same line")
                         : "add the file, or correct the name between " + std::string(brackets));
        return;
    case FileStatus::Unreadable:
        error(at, "the " + what + " " + quoted(name) + " cannot be read (" + r.detail + "): " + missingEffect,
              "name a file in the game folder");
        return;
    case FileStatus::NotAPicture:
        error(at, quoted(name) + " is no picture the player can read: the player stops here",
              "save it as a Windows bitmap (.bmp)");
        return;
    }
}

void Checker::picture(ScriptStream& s, std::size_t at) {
    const std::string name = s.decode(readArgument(s, syntax::closingCharacter(Command::Picture)));
    if (name.empty()) return; // the empty picture
    fileFinding(at, "picture", name, files_.picture(name), "the player stops here", "'<' and '>'");
}

void Checker::music(ScriptStream& s, std::size_t at) {
    const std::string name = s.decode(readArgument(s, syntax::closingCharacter(Command::Music)));
    if (name.empty()) return; // stops the music on purpose
    fileFinding(at, "music", name, files_.music(name), "the music stops here and nothing plays", "'[' and ']'");
}

void Checker::jump(ScriptStream& s, std::size_t at, Half half) {
    jumps_.push_back({at, readArgument(s, syntax::closingCharacter(Command::Jump))});
    if (half == Half::BranchMain)
        warning(at,
                "this jump is taken inside a chosen branch, and the choice stays under way at the marker line: "
                "the next '}' fetched there ends the branch and skips what it takes for the branches behind it",
                "set a flag in the branch and jump behind the branches, where the flag is tested");
}

int Checker::menu(ScriptStream& s, std::size_t at, Half half) {
    if (half == Half::BranchMain)
        warning(at,
                "this menu is shown inside a chosen branch, while a choice is under way: none of its options can "
                "be chosen, and a click on the text box plays on",
                "put the menu behind the branches of the menu before it");
    const ScriptChar count = read(s);
    const std::size_t countAt = offsetOf(s, count);
    const int n = syntax::menuCount(count);
    if (!choiceBoxChecked_) {
        choiceBoxChecked_ = true;
        const FileReport& box = files_.picture("text.bmp");
        if (box.status == FileStatus::FoundByFallback)
            warning(at,
                    "the choice box \"text.bmp\" is found only as \"" + box.actualName +
                        "\", by ignoring letter case; it plays here, but rename it",
                    "name the file exactly text.bmp");
        else if (box.status != FileStatus::Found)
            error(at,
                  std::string("every menu shows the choice box \"text.bmp\", which ") +
                      (box.status == FileStatus::Missing       ? "is not in the game folder"
                       : box.status == FileStatus::NotAPicture ? "is no picture the player can read"
                                                               : "cannot be read (" + box.detail + ")") +
                      ": the player stops here",
                  "add a Windows bitmap named text.bmp to the game folder");
    }
    if (n == 0)
        warning(countAt,
                "the menu's count is " + shown(s, count) +
                    ", not a digit from 1 to 4: the menu shows no options, and a click on the text box plays "
                    "the option texts and branches behind it as ordinary script",
                "write the number of options right behind '(', as in (2 Yes,No)");
    read(s); // the separator
    for (int option = 1; option <= n; ++option) {
        std::vector<std::size_t> open;
        while (true) {
            const ScriptChar ch = read(s);
            if (syntax::endsOption(ch)) break;
            if (ch.is(syntax::kOpenBrace)) open.push_back(offsetOf(s, ch));
            if (ch.is(syntax::kCloseBrace)) {
                if (open.empty())
                    loneBraces_.push_back({offsetOf(s, ch), false, Command::Menu, at});
                else
                    open.pop_back();
            }
        }
        if (!open.empty()) loneBraces_.push_back({open.front(), true, Command::Menu, at});
    }
    return n;
}

syntax::FlagSyntax Checker::flagName(ScriptStream& s, Command c) {
    const ScriptChar letter = read(s);
    const std::size_t letterAt = offsetOf(s, letter);
    const ScriptChar digit = read(s);
    const std::size_t digitAt = offsetOf(s, digit);
    const syntax::FlagSyntax name = syntax::flagName(letter, digit);
    const char* effect = c == Command::Set     ? "this set command changes no flag"
                         : c == Command::Clear ? "this clear command changes no flag"
                         : c == Command::IfSet ? "the flag counts as clear, so the guarded command never runs"
                                               : "the flag counts as clear, so the guarded command always runs";
    if (name.byte < 0) {
        warning(letterAt, shown(s, letter) + " is no flag letter (A to H, upper case): " + effect,
                "write an upper-case letter from A to H, as in A1");
    } else if (name.notADigit) {
        const std::string l(letter.bytes);
        error(digitAt,
              "flag " + l + " has the bit " + shown(s, digit) + ", which is not a digit: the player stops here",
              "write a bit digit from 1 to 8, as in " + l + "1");
    } else if (name.bit == 0) {
        warning(digitAt, "bit " + std::string(digit.bytes) + " names no flag (bits are numbered 1 to 8): " + effect,
                "write a bit digit from 1 to 8");
    }
    return name;
}

void Checker::flagCommand(ScriptStream& s, Command c, bool guarded) {
    flagName(s, c);
    const ScriptChar closing = read(s);
    const char expected = syntax::closingCharacter(c);
    if (guarded && !closing.is(expected))
        warning(offsetOf(s, closing),
                std::string("the guarded ") + commandName(c) + " ends with " + shown(s, closing) + " instead of '" +
                    expected + "': when the conditional skips it, it reads on to the next '" + expected + "'",
                std::string("end it with '") + expected + "', as in " + expected + "A1" + expected);
}

Command Checker::conditional(ScriptStream& s, Command c, Half half) {
    flagName(s, c);
    const ScriptChar discarded = read(s);
    const std::size_t discardedAt = offsetOf(s, discarded);
    ScriptChar first = read(s);
    while (first.isBlank()) first = read(s);
    const std::size_t firstAt = offsetOf(s, first);
    const Command guarded = syntax::guardedCommand(first);
    if (discarded.is('"')) {
        warning(discardedAt,
                "the character behind the flag name is always discarded, and here it is a page's opening '\"': "
                "the page's first character is taken for the guarded command, and its closing '\"' opens a new page",
                std::string("write the conditional's closing character before the page, as in ") +
                    (c == Command::IfSet ? "=A1=\"...\"" : "!A1!\"...\""));
    } else if (guarded == Command::None) {
        warning(firstAt,
                shown(s, first) +
                    " is no command a conditional can guard: it is dropped, and what follows runs whatever the flag" +
                    (first.is('\t') ? " (a tab is no blank)" : ""),
                "follow the flag name and its closing character with a page, picture, music, set, clear or jump");
    }
    if (guarded == Command::None) return guarded;
    command(s, guarded, firstAt, half, true);
    return guarded;
}

// ---------------------------------------------------------------------------
// The branches of a menu of n options: the skip that the click handlers and
// the branch-end step carry out, and a walk of each branch as it is played.

// The reader for branches, brought to where `at` stands. Reading forward
// costs less than copying the script for every branch.
ScriptStream& Checker::player(const ScriptStream& at) {
    if (!player_ || player_->position() > at.position()) {
        player_.reset();
        player_.emplace(at);
    }
    while (player_->position() < at.position()) player_->readChar();
    return *player_;
}

bool Checker::branches(ScriptStream& s, std::size_t menuAt, int n, int level) {
    for (int k = 1; k <= n; ++k) {
        std::size_t open = kNone;
        std::size_t firstTab = kNone, firstCommand = kNone;
        std::string commandChar;
        while (open == kNone) {
            if (s.atEnd()) {
                error(menuAt,
                      "the menu offers " + std::to_string(n) + (n == 1 ? " option" : " options") + ", but " +
                          (k == 1 ? std::string("no brace-enclosed branch follows it")
                                  : "only " + std::to_string(k - 1) + " brace-enclosed branch" +
                                        (k == 2 ? " follows" : "es follow") + " it") +
                          ": a choice reads on to the end of file, and the player stops with an error",
                      "write one {...} branch per option behind the menu, in the order of the options");
                return false;
            }
            const ScriptChar ch = s.readChar();
            const std::size_t at = offsetOf(s, ch);
            if (ch.is(syntax::kOpenBrace)) {
                open = at;
            } else if (k == 1) {
                if (ch.is('\t') && firstTab == kNone) firstTab = at;
                if (syntax::mainCommand(ch) != Command::None && firstCommand == kNone) {
                    firstCommand = at;
                    commandChar = std::string(ch.bytes);
                }
            }
        }
        if (firstTab != kNone)
            warning(firstTab,
                    "a tab between the menu and its first branch: everything between the menu's last option and "
                    "the first '{' is thrown away when an option is chosen, and a tab is no blank",
                    "keep only blanks and line breaks between the menu and its first '{'");
        if (firstCommand != kNone)
            warning(firstCommand,
                    "'" + commandChar +
                        "' between the menu and its first branch starts no command: everything between the menu's "
                        "last option and the first '{' is thrown away when an option is chosen",
                    "move the command into a branch or in front of the menu, and check the menu's count");

        ScriptStream& played = player(s); // stands right behind the branch's '{'
        std::size_t close = kNone;
        std::size_t nesting = 0;
        while (!s.atEnd()) {
            const ScriptChar ch = s.readChar();
            if (ch.is(syntax::kCloseBrace)) {
                if (nesting == 0) {
                    close = offsetOf(s, ch);
                    break;
                }
                --nesting;
            } else if (ch.is(syntax::kOpenBrace)) {
                ++nesting;
            }
        }
        loneBraces_.clear();
        fetchedOpenBraces_.clear();
        const PlayedEnd end = playBranch(played, k, n, close);
        diagnoseBranch(end, menuAt, k, open, close);
        if (close == kNone) return false;
        if (end.kind == PlayedEnd::Kind::Brace && end.offset == close && branchesSkipped(k, end.count) != n - k &&
            level < kMostDetourLevels && detoursTaken_ < kMostDetours) {
            ++detoursTaken_;
            detours_.push_back({played, menuAt, k, end.count, close, level + 1});
        }
    }
    return true;
}

void Checker::detour(Detour& d) {
    // The branch-end step skips its count of branches, counting braces.
    for (int j = branchesSkipped(d.k, d.count); j > 0; --j) {
        while (!d.from.atEnd() && !d.from.readChar().is(syntax::kOpenBrace)) {
        }
        std::size_t nesting = 0;
        while (true) {
            if (d.from.atEnd()) {
                error(d.end,
                      "when branch " + std::to_string(d.k) + " of the menu at " + where(d.menuAt) +
                          " ends here, the option count is " + std::to_string(d.count) +
                          ", and skipping the branches it counts reads to the end of file, where the player stops "
                          "with an error",
                      "show a menu inside a branch only behind the branches of the menu before it");
                return;
            }
            const ScriptChar ch = d.from.readChar();
            if (ch.is(syntax::kCloseBrace)) {
                if (nesting == 0) break;
                --nesting;
            } else if (ch.is(syntax::kOpenBrace)) {
                ++nesting;
            }
        }
    }
    walkNormal(d.from, d.level);
}

namespace {

std::string describeTaken(Command c, const ScriptStream& s, const ScriptChar& ch) {
    if (c != Command::None) return std::string("the ") + commandName(c);
    return "the dropped " + shown(s, ch);
}

} // namespace

// Plays branch k from right behind its '{' the way the run loop does: each
// cycle a branch half with the branch table, then, unless it paused or began a
// new cycle, a main half with the main table. Stops where the branch ends, or
// where the walk passes `close`, the '}' at which skipping ends the branch.
PlayedEnd Checker::playBranch(ScriptStream& s, int k, int n, std::size_t close) {
    PlayedEnd end;
    const auto passed = [&](Command c, std::size_t at) {
        if (close == kNone || s.position() <= close) return false;
        end.kind = PlayedEnd::Kind::CloseInsideCommand;
        end.offset = close;
        end.command = c;
        end.commandOffset = at;
        return true;
    };
    int count = n; // the option count as the branch leaves it
    bool warnedReset = false;
    const auto countReset = [&](std::size_t at, const auto& how) {
        if (k >= n || warnedReset) return;
        warnedReset = true;
        if (!takes(Severity::Warning)) return;
        warning(at,
                how() + " sets the option count to 0: when branch " + std::to_string(k) +
                    " ends, the branches behind it are not skipped but played as ordinary script",
                "let the branch half fetch the page: put it first in the branch, or right behind another page or "
                "a set command");
    };
    try {
        while (true) {
            ScriptChar ch;
            if (s.atEnd() || !s.fetchCommandChar(ch)) return end;
            std::size_t at = offsetOf(s, ch);
            if (ch.is(syntax::kOpenBrace)) fetchedOpenBraces_.push_back(at);
            const Command b = syntax::branchCommand(ch);
            if (b == Command::BranchEnd) {
                end.kind = PlayedEnd::Kind::Brace;
                end.offset = at;
                end.count = count;
                return end;
            }
            if (b == Command::None) {
                const Command m = syntax::mainCommand(ch);
                if (m == Command::Jump || m == Command::Menu || m == Command::IfSet || m == Command::IfClear)
                    warning(at,
                            shown(s, ch) + " starts no " + commandName(m) +
                                " here: inside a chosen branch the branch half of a cycle fetches it and drops it, "
                                "and the characters behind it are read as script",
                            "take jumps, menus and conditionals out of the branch: set a flag in it and test the "
                            "flag behind the branches");
            } else {
                command(s, b, at, Half::BranchHalf);
                if (passed(b, at)) return end;
                if (b == Command::Page || b == Command::Set) continue; // a pause or a new cycle
            }
            const std::string taken = describeTaken(b, s, ch);
            const std::size_t takenAt = at;

            if (s.atEnd() || !s.fetchCommandChar(ch)) return end;
            at = offsetOf(s, ch);
            if (at == close) {
                end.kind = PlayedEnd::Kind::CloseFetchedByMainHalf;
                end.offset = close;
                end.before = taken;
                end.beforeOffset = takenAt;
                return end;
            }
            if (ch.is(syntax::kOpenBrace)) fetchedOpenBraces_.push_back(at);
            const Command m = syntax::mainCommand(ch);
            if (m == Command::None) continue;
            const Outcome outcome = command(s, m, at, Half::BranchMain);
            // A page of the main table sets the count to 0, a menu to its own.
            if (m == Command::Page || outcome.guarded == Command::Page) count = 0;
            if (m == Command::Menu) count = outcome.menuCount;
            if (m == Command::Page)
                countReset(at, [&] {
                    return "this page is fetched by the main half of a cycle, behind " + taken + " at " +
                           where(takenAt) + ", which shows it as an ordinary page and";
                });
            if (outcome.guarded == Command::Page)
                countReset(at, [] { return std::string("a page shown by this conditional"); });
            if (passed(m, at)) return end;
        }
    } catch (const CutOff&) {
        reportCutOff();
        end.kind = PlayedEnd::Kind::EndOfScript;
        return end;
    }
}

void Checker::diagnoseBranch(const PlayedEnd& end, std::size_t menuAt, int k, std::size_t open, std::size_t close) {
    const bool closesAlike = close != kNone && end.kind == PlayedEnd::Kind::Brace && end.offset == close;
    if (closesAlike || (end.kind == PlayedEnd::Kind::EndOfScript && close != kNone)) return;
    if (!takes(Severity::Error)) return;
    const std::string branch = "branch " + std::to_string(k) + " of the menu at " + where(menuAt);
    const char* pairsHint = "keep braces in pairs inside texts, and write none outside texts in a branch";
    if (close == kNone) {
        std::size_t at = open;
        std::string why;
        for (const LoneBrace& lone : loneBraces_)
            if (lone.opening) {
                at = lone.offset;
                why = ": this '{' inside the " + std::string(commandName(lone.command)) + " at " +
                      where(lone.commandOffset) + " counts";
                break;
            }
        if (at == open && !fetchedOpenBraces_.empty()) {
            at = fetchedOpenBraces_.front();
            why = ": this '{', passed over as text when the branch is played, counts";
        }
        error(at,
              branch + " never closes when it is skipped" + why + ", and counting braces from its '{' at " +
                  where(open) + " the skip reads to the end of file, where the player stops with an error",
              "close every branch with '}'; " + std::string(pairsHint));
        return;
    }
    switch (end.kind) {
    case PlayedEnd::Kind::Brace:
        if (end.offset == close) return;
        {
            std::string why;
            for (const LoneBrace& lone : loneBraces_)
                if (lone.opening && lone.offset < end.offset) {
                    why =
                        " (the '{' at " + where(lone.offset) + " inside the " + commandName(lone.command) + " counts)";
                    break;
                }
            if (why.empty() && !fetchedOpenBraces_.empty())
                why = " (the '{' at " + where(fetchedOpenBraces_.front()) +
                      ", passed over as text when the branch is played, counts)";
            error(end.offset,
                  branch + " ends at this '}' when it is chosen, but when it is skipped the braces are counted" + why +
                      " and the skip runs on to the '}' at " + where(close),
                  pairsHint);
        }
        return;
    case PlayedEnd::Kind::CloseInsideCommand:
        error(close,
              std::string("this '}' is read as part of the ") + commandName(end.command) + " at " +
                  where(end.commandOffset) + ": it ends " + branch +
                  " when the branch is skipped, but not when it is chosen",
              end.command == Command::Page || end.command == Command::Menu
                  ? std::string(pairsHint)
                  : std::string("close the ") + commandName(end.command) + " before the '}'");
        return;
    case PlayedEnd::Kind::CloseFetchedByMainHalf:
        error(close,
              "this '}' is fetched by the main half of a cycle, right behind " + end.before + " at " +
                  where(end.beforeOffset) + ", and the main half passes over it: it does not end " + branch +
                  ", and the reader plays on into what follows",
              "put one more character, such as '.', in front of the '}': the branch half of the next cycle then "
              "fetches it");
        return;
    case PlayedEnd::Kind::EndOfScript: return; // cut off: reported already
    }
}

// ---------------------------------------------------------------------------
// Marker lines, found the way a jump finds them: read line by line from the top.

void Checker::markerLines(ScriptStream& lines) {
    std::map<std::string_view, std::vector<std::size_t>> markers;           // marker-shaped lines by text
    std::map<std::string, std::pair<std::size_t, std::string_view>> nearly; // trimmed, lower case
    std::size_t firstLineFeed = kNone;
    std::string_view line;
    while (true) {
        const std::size_t start = lines.position();
        if (!lines.readLine(line)) break;
        if (firstLineFeed == kNone)
            if (const auto lf = line.find('\n'); lf != std::string_view::npos) firstLineFeed = start + lf;
        if (line.size() >= 2 && line.front() == '*' && line.back() == '*') markers[line].push_back(start);
        const std::string_view t = trimmed(line);
        if (t.size() >= 2 && t.front() == '*' && t.back() == '*')
            nearly.try_emplace(asciiLower(script_.decode(t)), start, line);
    }
    if (!script_.hasCarriageReturn() && firstLineFeed != kNone)
        warning(firstLineFeed,
                "this script ends its lines with line feeds alone: a jump looks for its marker line up to a "
                "carriage return, so no jump can find its marker",
                "save the script with Windows line ends (CR LF)");

    std::map<std::string_view, bool> duplicatesReported;
    for (const Jump& jump : jumps_) {
        const std::string target = "*" + jump.label + "*";
        const auto found = markers.find(target);
        const std::string label = script_.decode(jump.label);
        if (found == markers.end()) {
            std::string hint =
                "add a line that holds exactly " + script_.decode(target) + ", with nothing before or after it";
            if (jump.label.find_first_of("\r\n") != std::string::npos) {
                hint = "the label runs over a line break: close it with '<' on the same line";
            } else if (const auto near = nearly.find(asciiLower(script_.decode(target)));
                       near != nearly.end() && !full(Severity::Error)) {
                hint = "line " + std::to_string(script_.placeOf(near->second.first).line) + " holds \"" +
                       script_.decode(near->second.second) +
                       "\": a marker line must match exactly, in letter case too, with nothing before or after it";
            }
            error(jump.offset,
                  "the jump to " + quoted(label) + " finds no marker line " + shortened(script_.decode(target)) +
                      ": the player stops here with an error",
                  hint);
            continue;
        }
        if (found->second.size() < 2 || duplicatesReported[found->first]) continue;
        duplicatesReported[found->first] = true;
        if (full(Severity::Warning)) {
            dropped_[0] += found->second.size() - 1;
            continue;
        }
        const std::size_t firstLine = script_.placeOf(found->second.front()).line;
        for (std::size_t i = 1; i < found->second.size(); ++i)
            warning(found->second[i],
                    "another marker line " + script_.decode(target) + ": every jump to \"" + label +
                        "\" lands behind the first one, on line " + std::to_string(firstLine) +
                        ", so no jump reaches this one",
                    "give each marker line its own label");
    }
}

} // namespace

CheckReport checkGame(const GameFolder& folder) {
    ScriptStream script(folder);
    try {
        script.open();
    } catch (const FatalError& e) {
        return {{{Severity::Error, kScriptName, 0, 0, e.what(), ""}}, 1, 0};
    }
    Checker checker(folder, script);
    return checker.run();
}

std::string formatFinding(const Finding& f) {
    // A line break out of the script (in a label or a file name) must not break the line.
    const auto oneLine = [](const std::string& text) {
        std::string out;
        for (char c : text) out += c == '\r' ? std::string("\\r") : c == '\n' ? std::string("\\n") : std::string(1, c);
        return out;
    };
    std::string out = f.file;
    if (f.line > 0) out += ":" + std::to_string(f.line) + ":" + std::to_string(f.column);
    out += f.severity == Severity::Error ? ": error: " : ": warning: ";
    out += oneLine(f.message);
    if (!f.hint.empty()) out += "\n    hint: " + oneLine(f.hint);
    return out;
}

} // namespace vorn::authoring
