#include "script_stream.h"

#include "command_table.h"
#include "fatal_error.h"

namespace vorn {
namespace {

// The reports' wording, at namespace level so that the translators find it
// under the one context the window looks it up in.
constexpr const char* kCannotOpen = VORN_TR("cannot open the script \"%1\" in %2: %3. Start the player in the "
                                            "game's folder, or name the folder on the command line.");
// A script that is there but cannot be read: where the player was started is not at fault.
constexpr const char* kCannotRead = VORN_TR("cannot open the script \"%1\" in %2: %3.");
constexpr const char* kTheScript = VORN_TR("the script");
constexpr const char* kEndInCommand = VORN_TR("%1: the script reached its end of file in the middle of a command.");
constexpr const char* kCommandCutOff = VORN_TR("%1: the %2 that starts here runs into the end of file: %3.");
constexpr const char* kCommandsCutOff = VORN_TR("%1: the %2 that starts here run into the end of file: %3.");
// Behind a report of free text (a page, a file name, a label) cut off over lines.
constexpr const char* kRunsOver = VORN_TR("%1 It runs over %2 lines: its closing '%3' is likely missing.");

} // namespace

ScriptStream::ScriptStream(const GameFolder& folder)
    : folder_(folder), shared_(std::make_shared<const std::string>()), bytes_(*shared_) {}

void ScriptStream::open() {
    FileContents contents = folder_.read(kScriptName, kMaxScriptBytes);
    if (!contents.error.empty()) {
        // Inside an archive: the archive is what cannot be played.
        if (const std::string archive = folder_.archive(); !archive.empty())
            throw FatalError(archiveFileUnreadable(archive, Message(kTheScript), kScriptName, contents.why()));
        const bool missing = contents.error == kNoSuchFile;
        throw FatalError(Message(missing ? kCannotOpen : kCannotRead,
                                 {Message::words(kScriptName), Message::words(folder_.describe()), contents.why()}));
    }
    adopt(std::move(contents.bytes));
}

std::size_t ScriptStream::firstCharacter(std::string_view bytes) {
    return bytes.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
}

void ScriptStream::adopt(std::string bytes) { adopt(std::make_shared<const std::string>(std::move(bytes))); }

void ScriptStream::adopt(std::shared_ptr<const std::string> bytes) {
    shared_ = bytes ? std::move(bytes) : std::make_shared<const std::string>();
    bytes_ = *shared_;
    start_ = firstCharacter(bytes_);
    encoding_ = start_ == 3 ? Encoding::Utf8 : Encoding::CodePage932;
    pos_ = start_;
    open_ = true;
    reading_ = {};
}

bool ScriptStream::seek(std::size_t offset) {
    if (!open_ || offset < start_ || offset > bytes_.size()) return false;
    pos_ = offset;
    return true;
}

void ScriptStream::close() {
    shared_ = std::make_shared<const std::string>();
    bytes_ = *shared_;
    pos_ = start_ = 0;
    open_ = false;
}

void ScriptStream::reopen() {
    close();
    open();
}

ScriptChar ScriptStream::readChar() {
    if (atEnd()) failAtEnd();
    const std::size_t len = characterLength(encoding_, bytes_, pos_);
    ScriptChar ch{std::string_view(bytes_).substr(pos_, len)};
    pos_ += len;
    return ch;
}

namespace {

// Whether the CR at `cr` starts a character, given that `from` does. Behind any
// byte outside the lead-byte range a character ends, so only the run of
// lead-range bytes right before the CR matters: they pair up, and an odd one
// out is a lead byte that takes the CR as its second byte. This lets a jump
// find line ends with memchr instead of walking every character.
bool isCharacterStart(std::string_view bytes, std::size_t from, std::size_t cr) {
    std::size_t run = 0;
    while (cr - run > from && isCp932Lead(static_cast<unsigned char>(bytes[cr - run - 1]))) ++run;
    return run % 2 == 0;
}

} // namespace

bool ScriptStream::readLine(std::string_view& line) {
    if (atEnd()) return false;
    const std::string_view all(bytes_);
    const std::size_t begin = pos_;
    std::size_t at = all.find('\r', pos_);
    // A CR byte never occurs inside a UTF-8 sequence; in code page 932 it may be
    // the second byte of a character.
    if (encoding_ == Encoding::CodePage932)
        while (at != std::string_view::npos && !isCharacterStart(all, begin, at)) at = all.find('\r', at + 1);
    if (at == std::string_view::npos) at = all.size();
    line = all.substr(begin, at - begin);
    pos_ = at;
    if (pos_ < all.size()) { // the CR, and an LF right behind it
        ++pos_;
        if (pos_ < all.size() && all[pos_] == '\n') ++pos_;
    }
    return true;
}

bool ScriptStream::fetchCommandChar(ScriptChar& ch) {
    while (true) {
        if (atEnd()) return false; // only when the script was at end already
        ch = readChar();
        if (atEnd()) return false; // the last character is never dispatched
        if (!ch.isBlank()) return true;
    }
}

Place ScriptStream::placeOf(std::size_t offset) const {
    Place place;
    std::size_t pos = start_;
    offset = std::min(offset, bytes_.size());
    while (pos < offset) {
        const char c = bytes_[pos];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && pos + 1 < offset && bytes_[pos + 1] == '\n') ++pos;
            ++place.line;
            place.column = 1;
            ++pos;
        } else {
            pos += characterLength(encoding_, bytes_, pos);
            ++place.column;
        }
    }
    return place;
}

std::string ScriptStream::describe(std::size_t offset) const {
    const Place place = placeOf(offset);
    return std::string(kScriptName) + ":" + std::to_string(place.line) + ":" + std::to_string(place.column);
}

void ScriptStream::failAtEnd() const {
    if (reading_.empty()) throw FatalError(Message(kEndInCommand, {Message::words(describe(bytes_.size()))}));
    const bool plural = reading_.english() == kBranchesName;
    Message message(plural ? kCommandsCutOff : kCommandCutOff,
                    {Message::words(describe(readingOffset_)), reading_, readingHint_});
    const std::size_t lines = placeOf(bytes_.size()).line - placeOf(readingOffset_).line + 1;
    if (readingClosing_ != 0 && lines > 1)
        message = Message(kRunsOver, {message, Message::words(std::to_string(lines)),
                                      Message::words(std::string(1, readingClosing_))});
    throw FatalError(message);
}

} // namespace vorn
