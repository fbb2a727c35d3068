#pragma once
// The parts of `vorn check` and what they share: the walk of the script in
// normal mode (script_check.cpp), the simulation of a menu's branches as the
// player skips and plays them (branch_simulation.cpp), and the findings with
// their wording (findings.cpp). They read the script with the interpreter's
// own stream, command table and brace counting.

#include "game_files.h"
#include "interpreter/command_syntax.h"
#include "interpreter/command_table.h"
#include "interpreter/script_stream.h"
#include "script_check.h"
#include "text_box.h"

#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace vorn::authoring::detail {

constexpr std::size_t kNone = std::string::npos;

// A command's argument ran into the end of the script.
struct CutOff {};

// How findings name a command: as the player's own reports do.
inline const char* commandName(Command c) { return c == Command::None ? "command" : rowOf(c).name; }

// A script character as a message names it.
std::string shown(const ScriptStream& s, const ScriptChar& ch);
// A file name or label for a message: cut short when a missing closing
// character has let it run on over many lines. UTF-8 in, UTF-8 out.
std::string shortened(const std::string& text);
std::string quoted(const std::string& text);
std::string_view trimmed(std::string_view text);

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
    bool cutOff = false; // a command cut off by the end of the file
};

// A page, file name or label whose closing character is missing runs on over
// lines and takes the commands in them for its text.
struct Runaway {
    Command command;
    std::size_t end;                        // where its text ends: its closing character or the end of file
    std::vector<std::size_t> swallowed;     // where the first few of those commands start
    std::vector<std::string> swallowedWhat; // what they are, "a choice menu"
    std::size_t swallowedCount = 0;
    // Its text runs over a line end and its closing character is the first
    // one on a later line: likely the opening character of the next line's
    // argument, taken for this one's closing character because this one's is
    // missing. Such a runaway swallows no command itself.
    bool closesAtLineStart = false;
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

// A '{' that a command reads as part of its argument without its '}': it
// counts when a branch holding it is skipped, but not when it is played.
struct LoneBrace {
    std::size_t offset;
    Command command;
    std::size_t commandOffset;
};

// Counts the braces of one argument, as skipping a branch counts them, to
// find the first '{' that no '}' in the argument closes.
struct ArgumentBraces {
    std::size_t depth = 0;
    std::size_t firstOpen = kNone; // the outermost '{' still open
    void see(const ScriptChar& ch, std::size_t at) {
        if (ch.is(syntax::kOpenBrace)) {
            if (depth++ == 0) firstOpen = at;
        } else if (ch.is(syntax::kCloseBrace) && depth > 0) {
            --depth;
        }
    }
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
    void noteLoneBrace(const ArgumentBraces& braces, Command c, std::size_t at);
    void picture(ScriptStream& s, std::size_t at);
    void music(ScriptStream& s, std::size_t at);
    void jump(ScriptStream& s, std::size_t at, Half half);
    int menu(ScriptStream& s, std::size_t at, Half half);
    syntax::FlagSyntax flagName(ScriptStream& s, Command c);
    void flagCommand(ScriptStream& s, Command c, bool guarded);
    Command conditional(ScriptStream& s, Command c, Half half);
    void noteRunaway(std::size_t from, std::size_t to);
    void reportRunaways();
    void measurePage(std::size_t at, const std::string& raw);
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
    std::map<std::size_t, Runaway> runaways_;          // by where the command starts
    std::map<std::size_t, Runaway> closesAtLineStart_; // likewise; reported only before a runaway or a cut-off
    // What the summary of a clean check counts, by where each starts.
    std::set<std::size_t> pages_, menus_;
    std::optional<TextBoxMeasure> textBox_;
};

} // namespace vorn::authoring::detail
