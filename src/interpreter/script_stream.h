#pragma once
// The script stream: "code.vrn", read strictly forward one character at a time.
// The whole file is read into memory on open, so a read is a step through a
// buffer; reopen reads the file afresh from disk, so an author's edit counts.

#include "code_page.h"
#include "game_folder.h"
#include "message.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace vorn {

inline constexpr const char* kScriptName = "code.vrn";

// One character of the script: one byte, or the bytes of a double-byte
// (Shift-JIS) or multi-byte (UTF-8) character.
struct ScriptChar {
    std::string_view bytes;
    bool is(char c) const { return bytes.size() == 1 && bytes[0] == c; }
    bool isBlank() const { return is('\r') || is(' ') || is('\n'); }
};

struct Place {
    std::size_t line = 1;   // lines end at CR LF, CR or LF, as an editor counts them
    std::size_t column = 1; // in characters
};

class ScriptStream {
  public:
    explicit ScriptStream(const GameFolder& folder);

    void open(); // throws FatalError when "code.vrn" cannot be read
    void close();
    void reopen();
    bool isOpen() const { return open_; }
    // Takes `bytes` as the script, read from its first character, as open() does.
    void adopt(std::string bytes);
    // The same for bytes shared with whoever keeps them (a kept place).
    void adopt(std::shared_ptr<const std::string> bytes);
    // Moves the stream to a byte offset between the first character and the
    // end; false (and no move) for any other offset.
    bool seek(std::size_t offset);
    // The script's bytes, as read from code.vrn.
    const std::string& contents() const { return *shared_; }
    // The same bytes, shared: they never change once read, so a kept place
    // holds them without a copy.
    const std::shared_ptr<const std::string>& shared() const { return shared_; }
    // Where the first character of a script is: behind a byte-order mark.
    static std::size_t firstCharacter(std::string_view bytes);

    bool atEnd() const { return pos_ >= bytes_.size(); }
    // Throws FatalError ("end of file") when at end.
    ScriptChar readChar();
    // Up to the next CR or CR LF (not included), which is consumed; a lone LF
    // ends no line. Returns false instead of reading when at end.
    bool readLine(std::string_view& line);
    // The run loop's fetch: skips blanks; false at end of script. The last
    // character of a script is never returned.
    bool fetchCommandChar(ScriptChar& ch);

    bool hasCarriageReturn() const { return bytes_.find('\r') != std::string::npos; }
    Encoding encoding() const { return encoding_; }
    std::size_t position() const { return pos_; }
    Place placeOf(std::size_t offset) const;
    std::string describe(std::size_t offset) const; // "code.vrn:LINE:COLUMN"
    std::string decode(std::string_view bytes) const { return toUtf8(encoding_, bytes); }

    // The report for a command cut off by the end of the script.
    [[noreturn]] void failAtEnd() const;
    // What is being read, named in an end-of-file report: the command and its
    // place. Set by each command procedure before it reads its arguments.
    // `closing`: the character that ends free text (a page, a file name, a
    // label), whose absence lets it run on over lines; 0 for other commands.
    void setReading(Message what, Message hint, std::size_t commandOffset, char closing = 0) {
        reading_ = std::move(what);
        readingHint_ = std::move(hint);
        readingOffset_ = commandOffset;
        readingClosing_ = closing;
    }

    static constexpr std::size_t kMaxScriptBytes = std::size_t(512) * 1024 * 1024;

  private:
    const GameFolder& folder_;
    std::shared_ptr<const std::string> shared_;
    std::string_view bytes_; // *shared_
    std::size_t pos_ = 0;
    std::size_t start_ = 0; // behind a byte-order mark
    Encoding encoding_ = Encoding::CodePage932;
    bool open_ = false;
    Message reading_;
    Message readingHint_;
    std::size_t readingOffset_ = 0;
    char readingClosing_ = 0;
};

} // namespace vorn
