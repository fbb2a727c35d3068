#pragma once
// The syntax a script's commands share between the command procedures and the
// authoring tools: how braces pair, how a flag is named and how a menu counts
// its options. Which character starts which command is in command_table.h.
// Header only, no state.

#include "script_stream.h"

namespace vorn::syntax {

inline constexpr char kOpenBrace = '{';
inline constexpr char kCloseBrace = '}';

// Reads past the next '{'. False when the script ends first.
inline bool skipPastOpenBrace(ScriptStream& s) {
    while (!s.atEnd())
        if (s.readChar().is(kOpenBrace)) return true;
    return false;
}

// Reads up to and including the '}' that matches the '{' just read. Counts
// depth instead of recursing, so no nesting can exhaust the stack. False when
// the script ends first.
inline bool skipBraces(ScriptStream& s) {
    std::size_t depth = 0;
    while (!s.atEnd()) {
        const ScriptChar ch = s.readChar();
        if (ch.is(kCloseBrace)) {
            if (depth == 0) return true;
            --depth;
        } else if (ch.is(kOpenBrace)) {
            ++depth;
        }
    }
    return false;
}

// How many branches the end of branch `chosen` skips when the menu's option
// count is `count`: those behind it, as long as the count still matches the
// menu that offered them.
inline int branchesSkipped(int chosen, int count) {
    int skipped = 0;
    for (int j = chosen; j <= 3; ++j)
        if (count > j) ++skipped;
    return skipped;
}

// A page's backslash stands for a line break.
inline constexpr char kLineBreakMark = '\\';

// A page's text as the text box shows it, from the script bytes between its
// quotes: each backslash character becomes a line break, CR LF.
inline std::string pageText(Encoding encoding, std::string_view raw) {
    std::string page;
    for (std::size_t pos = 0; pos < raw.size();) {
        const std::size_t length = characterLength(encoding, raw, pos);
        if (length == 1 && raw[pos] == kLineBreakMark)
            page += "\r\n";
        else
            page.append(raw.substr(pos, length));
        pos += length;
    }
    return page;
}

// A menu's count character: 1..4, or 0 when it is no count.
inline int menuCount(const ScriptChar& ch) {
    return (ch.bytes.size() == 1 && ch.bytes[0] >= '1' && ch.bytes[0] <= '4') ? ch.bytes[0] - '0' : 0;
}

// ',' and ')' both end a menu option.
inline bool endsOption(const ScriptChar& ch) { return ch.is(',') || ch.is(')'); }

// A flag letter and bit digit as the flag commands and conditionals read them.
struct FlagSyntax {
    int byte = -1;          // 0..7 for A..H; -1 for any other letter, whose digit is not examined
    int bit = 0;            // 1..8; 0 when the digit is 0 or 9, which name no bit of the byte
    bool notADigit = false; // the letter is A..H but the digit is no decimal digit: a fatal error
};

inline FlagSyntax flagName(const ScriptChar& letter, const ScriptChar& digit) {
    FlagSyntax name;
    if (letter.bytes.size() != 1 || letter.bytes[0] < 'A' || letter.bytes[0] > 'H') return name;
    name.byte = letter.bytes[0] - 'A';
    if (digit.bytes.size() == 1 && digit.bytes[0] >= '0' && digit.bytes[0] <= '9') {
        const int d = digit.bytes[0] - '0';
        name.bit = (d >= 1 && d <= 8) ? d : 0;
    } else {
        name.notADigit = true;
    }
    return name;
}

} // namespace vorn::syntax
