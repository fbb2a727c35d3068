#pragma once
// The display surface and the music device as the interpreter sees them: each
// operation is passed on unchanged, and what it put there is remembered, so a
// snapshot can hold the screen and the music. Copies share the real surface
// and device, as copies of the interpreter do.

#include "display_surface.h"
#include "music_device.h"
#include "snapshot.h"

#include <array>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>

namespace vorn {

class SurfaceMirror {
  public:
    explicit SurfaceMirror(DisplaySurface& target) : target_(&target) {}

    void setText(const std::string& text);
    // The text box shows `text` again, as it was at an earlier place: the
    // backlog holds that page already.
    void showTextAgain(const std::string& text);
    void setCaption(int label, const std::string& text);
    void refreshLabel(int label) { target_->refreshLabel(label); }
    // The reader chose option `label` of the menu on screen: its caption goes
    // into the backlog between the pages.
    void keepChoice(int label);
    bool setPicture(PictureElement element, const PictureFile& picture);
    void resetPicture(PictureElement element);
    bool setCursor(const PictureFile& icon) { return target_->setCursor(icon); }
    void showMessage(const std::string& text, const std::string& title) { target_->showMessage(text, title); }
    void keepAlive() { target_->keepAlive(); }

    const std::string& text() const { return text_; }
    // Grows by one with each page or caption put on the screen, the same ones
    // again too: a reader listening is told of a new screen by it.
    unsigned long long changes() const { return changes_; }
    const std::array<std::string, 4>& captions() const { return captions_; }
    const PictureState& picture(PictureElement element) const { return pictures_[index(element)]; }
    const std::deque<BacklogEntry>& backlog() const { return backlog_; }
    void replaceBacklog(const std::vector<BacklogEntry>& entries);

    // Every entry ever kept has a number, counted from the first one kept; a
    // backlog replaced by a load counts on from those before it. The backlog
    // holds the entries numbered backlogStart() up to (not including)
    // backlogEnd(). Kept places remember these two numbers instead of a copy.
    std::size_t backlogStart() const { return backlogDropped_; }
    std::size_t backlogEnd() const { return backlogDropped_ + backlog_.size(); }
    // The entries trimmed off the backlog's front that a kept place still
    // shows, numbered up to backlogStart(): held aside, not shown.
    const std::deque<BacklogEntry>& trimmedBacklog() const { return trimmed_; }
    // Entries trimmed off from the one numbered `start` on are held aside
    // (the oldest kept place's backlog starts there); older ones are dropped.
    void keepBacklogFrom(std::size_t start);
    // The backlog as it was when it held the entries numbered `start` to
    // `end`, all of which it holds or holds aside (or, with `from`, the
    // backlog as a load found it, numbered from `fromStart`).
    void showBacklogAgain(std::size_t start, std::size_t end);
    void showBacklogAgain(std::size_t start, std::size_t end, const std::deque<BacklogEntry>& from,
                          std::size_t fromStart);

    // The latest entries are kept up to this many characters, and the latest
    // one always, so a script showing huge pages over and over cannot fill
    // the memory (or a save).
    static constexpr std::size_t kBacklogCharacters = 1024 * 1024;
    // What an entry weighs against that: its characters, and one at least,
    // so that countless empty options chosen are trimmed too.
    static std::size_t weight(const std::string& utf8);

  private:
    static std::size_t index(PictureElement element) { return static_cast<std::size_t>(element); }
    void keep(BacklogEntry entry);
    void trimBacklog();
    void dropTrimmedBelowFloor();

    DisplaySurface* target_;
    std::string text_;
    std::array<std::string, 4> captions_;
    unsigned long long changes_ = 0;
    std::array<PictureState, 3> pictures_;
    std::deque<BacklogEntry> backlog_;
    std::size_t backlogCharacters_ = 0;
    std::size_t backlogDropped_ = 0; // the number of the backlog's first entry
    std::size_t backlogFloor_ = SIZE_MAX; // trimmed entries from this number on are held aside
    std::deque<BacklogEntry> trimmed_;    // numbered up to backlogDropped_
};

class DeviceMirror {
  public:
    explicit DeviceMirror(MusicDevice& target) : target_(&target) {}

    void setDeviceType(const std::string& value) { target_->setDeviceType(value); }
    void setFileName(const std::string& value);
    void setCommand(MusicCommand command);
    void setNotify(bool value) { target_->setNotify(value); }
    void setWait(bool value) { target_->setWait(value); }
    void setShareable(bool value) { target_->setShareable(value); }

    // The file that Play last started and no Close has stopped.
    const std::optional<std::string>& playing() const { return playing_; }

  private:
    MusicDevice* target_;
    std::string fileName_;
    std::optional<std::string> opened_;
    std::optional<std::string> playing_;
};

} // namespace vorn
