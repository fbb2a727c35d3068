#include "headless_session.h"

#include "interpreter/fatal_error.h"
#include "interpreter/interpreter.h"
#include "interpreter/message.h"
#include "json_lines.h"
#include "shell/shell.h"
#include "saves/slot_name.h"

#include <sstream>
#include <string>
#include <vector>

namespace vorn {
namespace {

std::string optionalNumber(const std::optional<std::int16_t>& value) { return value ? std::to_string(*value) : "null"; }

std::string stateRecord(const Interpreter& i) {
    std::string flags;
    for (std::size_t b = 0; b < i.Flag.size(); ++b) flags += (b ? "," : "") + std::to_string(i.Flag[b]);
    return "{\"state\":{\"WaitCmd\":" + std::to_string(i.WaitCmd) + ",\"NumCmds\":" + optionalNumber(i.NumCmds) +
           ",\"Cmd_Selected\":" + optionalNumber(i.Cmd_Selected) +
           ",\"musfile\":" + (i.musfile ? json::quote(*i.musfile) : "null") + ",\"flags\":[" + flags + "]}}";
}

// The event named by an input line, in its canonical spelling, or "" if none.
std::string parseEvent(const std::string& line) {
    std::istringstream words(line);
    std::vector<std::string> w;
    for (std::string word; words >> word;) w.push_back(word);
    const auto is = [&w](std::initializer_list<const char*> expected) {
        if (w.size() != expected.size()) return false;
        std::size_t k = 0;
        for (const char* e : expected)
            if (w[k++] != e) return false;
        return true;
    };
    if (is({"click", "text"})) return "click text";
    if (w.size() == 3 && w[0] == "click" && w[1] == "option" && w[2].size() == 1 && w[2][0] >= '1' && w[2][0] <= '4')
        return "click option " + w[2];
    for (const char* e : {"new", "quit", "about"})
        if (is({"menu", e})) return std::string("menu ") + e;
    if (is({"music", "done"})) return "music done";
    if (is({"close"})) return "close";
    if (is({"back"})) return "back";
    if (is({"skip"})) return "skip";
    if (w.size() == 2 && (w[0] == "save" || w[0] == "load") && isSlotName(w[1])) return w[0] + " " + w[1];
    return "";
}

bool isIgnored(const std::string& line) {
    const auto first = line.find_first_not_of(" \t\r\n");
    return first == std::string::npos || line[first] == '#';
}

} // namespace

int endWithFatal(const std::string& message, std::ostream& out, std::ostream& err) {
    out << "{\"fatal\":" << json::quote(message) << "}\n";
    out.flush();
    err << "vorn: " << escapeControls(message) << '\n';
    return 1;
}

int playHeadless(const GameFolder& folder, std::istream& in, std::ostream& out, std::ostream& err,
                 const PictureCheck& pictures, const HeadlessSavingFactory& makeSaving) {
    HeadlessRecorder recorder(out, pictures);
    Interpreter interpreter(folder, recorder, recorder);
    Shell shell(interpreter, recorder, recorder);
    const std::unique_ptr<HeadlessSaving> saves = makeSaving(interpreter, folder);
    ReadPages readPages;
    if (const std::string note = saves->loadReadPages(readPages); !note.empty())
        err << "vorn: " << escapeControls(note) << '\n';
    interpreter.setReadPages(&readPages, [&saves](std::string_view script) { return saves->scriptDigest(script); });
    std::size_t keptChanges = readPages.changes();
    // Pages read are kept after each event that read one, so that a later
    // play finds them whatever ends this one.
    const auto keepReadPages = [&] {
        if (readPages.changes() == keptChanges) return;
        keptChanges = readPages.changes();
        if (const std::string why = saves->keepReadPages(readPages); !why.empty())
            err << "vorn: " << escapeControls(why) << '\n';
    };
    try {
        interpreter.load();
        interpreter.playRun();
        recorder.line(stateRecord(interpreter));
        out.flush();

        std::string line;
        while (true) {
            std::string event;
            if (!std::getline(in, line)) {
                event = "close"; // end of input acts as the close box
            } else {
                if (isIgnored(line)) continue;
                event = parseEvent(line);
                if (event.empty()) {
                    out.flush();
                    err << "vorn --headless: \"" << line << "\" is not an event; expected one of: click text, "
                        << "click option 1..4, menu new, menu quit, menu about, music done, close, save SLOT, load "
                           "SLOT, back, skip "
                        << "(a slot is named by 1 to 32 letters, digits, '-' and '_')\n";
                    return 2;
                }
            }
            recorder.line("{\"event\":" + json::quote(event) + "}");
            if (event == "close" || event == "menu quit") {
                shell.shutDown();
                out.flush();
                return 0;
            }
            if (event == "click text")
                interpreter.resume();
            else if (event == "menu new")
                shell.newGame();
            else if (event == "menu about")
                shell.showCredits();
            else if (event == "music done")
                interpreter.musicEnded();
            else if (event == "back") {
                const Message why = interpreter.stepBack();
                if (why.empty())
                    recorder.line("{\"back\":" + std::to_string(interpreter.placesBehind()) + "}");
                else
                    recorder.line("{\"refused\":\"back\",\"why\":" + json::quote(why.english()) + "}");
            } else if (event == "skip") {
                const std::size_t turned = interpreter.skip(false);
                recorder.line("{\"skipped\":" + std::to_string(turned) + "}");
            }
            else if (event.rfind("save ", 0) == 0 || event.rfind("load ", 0) == 0) {
                const std::string slot = event.substr(5);
                const bool saving = event[0] == 's';
                const std::string why = saving ? saves->save(slot) : saves->load(slot);
                if (why.empty())
                    recorder.line(std::string(saving ? "{\"saved\":" : "{\"loaded\":") + json::quote(slot) + "}");
                else
                    recorder.line("{\"refused\":" + json::quote(slot) + ",\"why\":" + json::quote(why) + "}");
            } else
                interpreter.chooseOption(event.back() - '0');
            keepReadPages();
            recorder.line(stateRecord(interpreter));
            out.flush();
        }
    } catch (const FatalError& error) {
        keepReadPages();
        return endWithFatal(error.what(), out, err);
    }
}

} // namespace vorn
