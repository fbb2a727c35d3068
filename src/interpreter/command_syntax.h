#pragma once
// The syntax a script's commands share between the run loop, the command
// procedures and the authoring tools: which character starts which command in
// which half of a cycle, where a read-over command ends, how a flag is named
// and how a menu counts its options. Header only, no state.

#include "script_stream.h"

namespace vorn::syntax {

enum class Command {
    None, // an ordinary character: consumed without effect
    Page,
    Picture,
    Jump,
    Menu,
    Music,
    Set,
    Clear,
    IfSet,
    IfClear,
    BranchEnd,
};

inline constexpr char kOpenBrace = '{';
inline constexpr char kCloseBrace = '}';

// The main table, in force in every main half of a cycle.
inline Command mainCommand(const ScriptChar& ch) {
    if (ch.bytes.size() != 1) return Command::None;
    switch (ch.bytes[0]) {
    case '"': return Command::Page;
    case '<': return Command::Picture;
    case '>': return Command::Jump;
    case '(': return Command::Menu;
    case '[': return Command::Music;
    case '~': return Command::Set;
    case '-': return Command::Clear;
    case '=': return Command::IfSet;
    case '!': return Command::IfClear;
    default: return Command::None;
    }
}

// The branch table, in force in the branch half while a chosen branch plays.
inline Command branchCommand(const ScriptChar& ch) {
    if (ch.bytes.size() != 1) return Command::None;
    switch (ch.bytes[0]) {
    case '"': return Command::Page;
    case '<': return Command::Picture;
    case '[': return Command::Music;
    case '~': return Command::Set;
    case '-': return Command::Clear;
    case '}': return Command::BranchEnd;
    default: return Command::None;
    }
}

// The six commands a conditional can guard, by their first character.
inline Command guardedCommand(const ScriptChar& ch) {
    const Command c = mainCommand(ch);
    switch (c) {
    case Command::Page:
    case Command::Picture:
    case Command::Music:
    case Command::Set:
    case Command::Clear:
    case Command::Jump: return c;
    default: return Command::None;
    }
}

// The character that ends a command's argument: the closing quote of a page,
// the '>' of a picture, the ']' of music, the '<' of a jump label; for the
// flag commands the closing character, which only a conditional's skip
// examines. A skipped guarded command is read up to and including it.
inline char closingCharacter(Command c) {
    switch (c) {
    case Command::Page: return '"';
    case Command::Picture: return '>';
    case Command::Music: return ']';
    case Command::Set: return '~';
    case Command::Clear: return '-';
    case Command::Jump: return '<';
    default: return 0;
    }
}

// A page's backslash stands for a line break.
inline constexpr char kLineBreakMark = '\\';

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
