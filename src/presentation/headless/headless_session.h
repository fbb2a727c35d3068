#pragma once
// The event loop of headless play, with no Qt: it reads events one per line,
// hands them to the interpreter and the shell, and writes the state records.
// The desktop player and the WebAssembly build both run it; they differ only
// in how pictures are checked and where saved games are kept.

#include "headless_recorder.h"
#include "interpreter/game_folder.h"
#include "interpreter/read_pages.h"

#include <functional>
#include <istream>
#include <memory>
#include <ostream>
#include <string>

namespace vorn {

class Interpreter;

// What `save SLOT` and `load SLOT` do; each returns "" when done, otherwise
// why not, naming the slot. And where the read pages are kept, which `skip`
// turns: by default in the memory of the process only.
class HeadlessSaving {
  public:
    virtual ~HeadlessSaving() = default;
    virtual std::string save(const std::string& slot) = 0;
    virtual std::string load(const std::string& slot) = 0;
    // The script's SHA-256, which names its read pages.
    virtual std::string scriptDigest(std::string_view script) = 0;
    // The pages kept by earlier plays; returns a note when they cannot be read.
    virtual std::string loadReadPages(ReadPages&) { return ""; }
    // Called when pages were read; returns why they could not be kept, or "".
    virtual std::string keepReadPages(const ReadPages&) { return ""; }
};

using HeadlessSavingFactory = std::function<std::unique_ptr<HeadlessSaving>(Interpreter&, const GameFolder&)>;

// Ends play on a fatal error, also one before the game could be opened: its
// record on `out`, the message on `err`. Returns the exit status, 1.
int endWithFatal(const std::string& message, std::ostream& out, std::ostream& err);

// Returns the exit status: 0 after an orderly shut-down, 1 after a fatal error,
// 2 for an input line that is no event.
int playHeadless(const GameFolder& folder, std::istream& in, std::ostream& out, std::ostream& err,
                 const PictureCheck& pictures, const HeadlessSavingFactory& saving);

} // namespace vorn
