// Going back to the places where the reader waited, and turning the pages
// read before.

#include "interpreter.h"

#include <algorithm>
#include <cstdint>

namespace vorn {
namespace {

constexpr const char* kNothingBehind = VORN_TR("there is no earlier place to go back to");
constexpr const char* kBackInRun = VORN_TR("the game is in the middle of a run; go back when the page has been shown");
constexpr const char* kNoSuchEntry = VORN_TR("the backlog holds no such entry");
constexpr const char* kEntryNotKept =
    VORN_TR("the places kept to go back to (the latest %1) do not reach back to that page");
constexpr const char* kEntryShown = VORN_TR("that page is the one on screen");

} // namespace

std::size_t Interpreter::placesBehind() const { return places_.empty() ? 0 : places_.size() - 1; }

void Interpreter::forgetPlaces() {
    places_.clear();
    guardPlacesBacklog();
}

void Interpreter::setKeepingPlaces(bool keep) {
    keepingPlaces_ = keep;
    if (!keep) forgetPlaces();
}

void Interpreter::keepPlace() {
    if (!keepingPlaces_ || !stream_.isOpen()) return;
    places_.push_back({stateWithoutBacklog(), stream_.shared(), surface_.backlogStart(), surface_.backlogEnd(), {}});
    while (places_.size() > kKeptPlaces) places_.pop_front();
    // What a place weighs against kKeptPlacesBytes: the words it shows.
    const auto placeBytes = [](const KeptPlace& place) {
        std::size_t bytes = place.state.text.size();
        for (const std::string& caption : place.state.captions) bytes += caption.size();
        return bytes;
    };
    std::size_t bytes = 0;
    for (const KeptPlace& place : places_) bytes += placeBytes(place);
    while (places_.size() > 2 && bytes > kKeptPlacesBytes) {
        bytes -= placeBytes(places_.front());
        places_.pop_front();
    }
    guardPlacesBacklog();
}

void Interpreter::guardPlacesBacklog() {
    const auto live = std::find_if(places_.begin(), places_.end(), [](const KeptPlace& p) { return !p.backlogBefore; });
    surface_.keepBacklogFrom(live == places_.end() ? SIZE_MAX : live->backlogStart);
}

// A load replaces the backlog: the places kept before it share one copy of
// the backlog they were kept with.
void Interpreter::keepBacklogForPlaces() {
    std::shared_ptr<BacklogCopy> copy;
    for (KeptPlace& place : places_) {
        if (place.backlogBefore) continue;
        if (!copy) {
            // With the entries held aside: an older place may show them.
            const std::deque<BacklogEntry>& aside = surface_.trimmedBacklog();
            copy = std::make_shared<BacklogCopy>(BacklogCopy{aside, surface_.backlogStart() - aside.size()});
            copy->entries.insert(copy->entries.end(), surface_.backlog().begin(), surface_.backlog().end());
        }
        place.backlogBefore = copy;
    }
}

Message Interpreter::stepBack() {
    if (running_) return Message(kBackInRun);
    if (places_.size() < 2) return Message(kNothingBehind);
    if (Message why = putBack(places_[places_.size() - 2]); !why.empty()) return why;
    places_.pop_back();
    guardPlacesBacklog();
    return {};
}

Message Interpreter::stepBackTo(std::size_t backlogIndex) {
    if (running_) return Message(kBackInRun);
    const std::deque<BacklogEntry>& backlog = surface_.backlog();
    if (backlogIndex >= backlog.size()) return Message(kNoSuchEntry);
    const std::size_t number = surface_.backlogStart() + backlogIndex;
    const bool choice = backlog[backlogIndex].kind == BacklogEntry::Kind::Choice;
    // A page: the first place that showed it as the latest entry. An option
    // chosen: the menu that offered it, where the backlog ended just before it.
    std::optional<std::size_t> target;
    for (std::size_t k = 0; k < places_.size(); ++k) {
        const KeptPlace& place = places_[k];
        if (place.backlogBefore) continue; // kept before a load: another backlog
        const bool shows = choice ? place.backlogEnd == number && place.state.menuWaiting
                                  : place.backlogEnd == number + 1 && place.state.text == backlog[backlogIndex].text;
        if (shows) {
            target = k;
            if (!choice) break;
        }
    }
    if (!target) return Message(kEntryNotKept, {Message::words(std::to_string(places_.size()))});
    if (*target + 1 == places_.size()) return Message(kEntryShown);
    if (Message why = putBack(places_[*target]); !why.empty()) return why;
    places_.resize(*target + 1);
    guardPlacesBacklog();
    return {};
}

// Only what differs from the screen and the music now is shown again, so
// pictures are not read from the game folder again for nothing and the music
// playing on goes on.
Message Interpreter::putBack(const KeptPlace& place) {
    const Snapshot& saved = place.state;
    if (Message why = showSavedPictures(saved, true); !why.empty()) return why;

    if (stream_.shared() != place.script) stream_.adopt(place.script);
    takeMembersOf(saved);

    for (int label = 1; label <= 4; ++label) surface_.setCaption(label, saved.captions[std::size_t(label - 1)]);
    surface_.showTextAgain(saved.text);
    if (place.backlogBefore)
        surface_.showBacklogAgain(place.backlogStart, place.backlogEnd, place.backlogBefore->entries,
                                  place.backlogBefore->start);
    else
        surface_.showBacklogAgain(place.backlogStart, place.backlogEnd);
    if (saved.music != device_.playing()) {
        if (saved.music)
            sendMusic(*saved.music);
        else
            device_.setCommand(MusicCommand::Close);
    }
    return {};
}

void Interpreter::setReadPages(ReadPages* pages, ScriptDigest digest) {
    readPages_ = pages;
    digest_ = std::move(digest);
    digested_.reset();
}

// A run pauses at a page right behind the page's closing quote, and a page's
// text holds no quote, so its opening quote is the one before.
std::optional<std::size_t> Interpreter::pageOffset() const {
    if (running_ || menuWaiting_ || WaitCmd != -1 || !stream_.isOpen()) return std::nullopt;
    const std::string& bytes = stream_.contents();
    const std::size_t end = stream_.position();
    if (end < 2 || end > bytes.size() || bytes[end - 1] != '"') return std::nullopt;
    const std::size_t open = bytes.rfind('"', end - 2);
    if (open == std::string::npos || open < ScriptStream::firstCharacter(bytes)) return std::nullopt;
    return open + 1;
}

const std::string& Interpreter::scriptDigest() const {
    if (digested_ != stream_.shared()) {
        digestText_ = digest_ ? digest_(stream_.contents()) : std::string();
        digested_ = stream_.shared();
    }
    return digestText_;
}

bool Interpreter::pageRead() const {
    if (!readPages_ || !digest_) return false;
    const std::optional<std::size_t> offset = pageOffset();
    return offset && readPages_->contains(scriptDigest(), *offset);
}

void Interpreter::markPageRead() {
    if (!readPages_ || !digest_) return;
    if (const std::optional<std::size_t> offset = pageOffset()) readPages_->add(scriptDigest(), *offset);
}

bool Interpreter::skipStep(bool skipUnread) {
    if (!textClickPlaysOn() || !pageOffset()) return false;
    if (!skipUnread && !pageRead()) return false;
    resume();
    return true;
}

std::size_t Interpreter::skip(bool skipUnread) {
    std::size_t turned = 0;
    while (turned < kSkipLimit && skipStep(skipUnread)) ++turned;
    return turned;
}

} // namespace vorn
