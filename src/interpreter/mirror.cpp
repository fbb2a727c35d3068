#include "mirror.h"

#include <algorithm>

namespace vorn {

// Characters, not bytes, so Japanese and Latin pages weigh alike.
std::size_t SurfaceMirror::weight(const std::string& utf8) {
    std::size_t n = 0;
    for (const char c : utf8)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
    return n ? n : 1;
}

void SurfaceMirror::setText(const std::string& text) {
    target_->setText(text);
    text_ = text;
    ++changes_;
    if (text.empty()) return; // a menu empties the text box; that is no page read
    keep({BacklogEntry::Kind::Page, text});
}

void SurfaceMirror::showTextAgain(const std::string& text) {
    target_->setText(text);
    text_ = text;
}

void SurfaceMirror::keepChoice(int label) {
    if (label >= 1 && label <= 4) keep({BacklogEntry::Kind::Choice, captions_[static_cast<std::size_t>(label - 1)]});
}

void SurfaceMirror::keep(BacklogEntry entry) {
    backlogCharacters_ += weight(entry.text);
    backlog_.push_back(std::move(entry));
    trimBacklog();
}

void SurfaceMirror::trimBacklog() {
    while (backlog_.size() > 1 && backlogCharacters_ > kBacklogCharacters) {
        backlogCharacters_ -= weight(backlog_.front().text);
        if (backlogDropped_ >= backlogFloor_) trimmed_.push_back(std::move(backlog_.front()));
        backlog_.pop_front();
        ++backlogDropped_;
    }
}

void SurfaceMirror::dropTrimmedBelowFloor() {
    while (!trimmed_.empty() && backlogDropped_ - trimmed_.size() < backlogFloor_) trimmed_.pop_front();
}

void SurfaceMirror::replaceBacklog(const std::vector<BacklogEntry>& entries) {
    backlogDropped_ = backlogEnd(); // numbered on from the entries before
    trimmed_.clear();
    backlog_.assign(entries.begin(), entries.end());
    backlogCharacters_ = 0;
    for (const BacklogEntry& entry : backlog_) backlogCharacters_ += weight(entry.text);
    trimBacklog();
}

void SurfaceMirror::keepBacklogFrom(std::size_t start) {
    backlogFloor_ = start;
    dropTrimmedBelowFloor();
}

void SurfaceMirror::showBacklogAgain(std::size_t start, std::size_t end) {
    // Entries from `end` on go, from the backlog and then from those held aside.
    while (!backlog_.empty() && backlogEnd() > end) {
        backlogCharacters_ -= weight(backlog_.back().text);
        backlog_.pop_back();
    }
    while (backlog_.empty() && !trimmed_.empty() && backlogDropped_ > end) {
        trimmed_.pop_back();
        --backlogDropped_;
    }
    // Entries held aside come back, down to `start`.
    while (backlogDropped_ > start && !trimmed_.empty()) {
        backlog_.push_front(std::move(trimmed_.back()));
        trimmed_.pop_back();
        --backlogDropped_;
        backlogCharacters_ += weight(backlog_.front().text);
    }
    // Entries before `start` are held aside for the older places.
    while (backlogDropped_ < start && !backlog_.empty()) {
        backlogCharacters_ -= weight(backlog_.front().text);
        trimmed_.push_back(std::move(backlog_.front()));
        backlog_.pop_front();
        ++backlogDropped_;
    }
    if (backlog_.empty()) backlogDropped_ = end;
    dropTrimmedBelowFloor();
}

void SurfaceMirror::showBacklogAgain(std::size_t start, std::size_t end, const std::deque<BacklogEntry>& from,
                                     std::size_t fromStart) {
    backlog_.clear();
    trimmed_.clear(); // the places before this one have the same copy
    backlogCharacters_ = 0;
    for (std::size_t n = std::max(start, fromStart); n < end && n - fromStart < from.size(); ++n) {
        backlog_.push_back(from[n - fromStart]);
        backlogCharacters_ += weight(backlog_.back().text);
    }
    backlogDropped_ = end - backlog_.size();
}

void SurfaceMirror::setCaption(int label, const std::string& text) {
    target_->setCaption(label, text);
    ++changes_;
    if (label >= 1 && label <= 4) captions_[static_cast<std::size_t>(label - 1)] = text;
}

bool SurfaceMirror::setPicture(PictureElement element, const PictureFile& picture) {
    if (!target_->setPicture(element, picture)) return false;
    PictureState& state = pictures_[index(element)];
    state.file = picture.name;
    if (!picture.name.empty()) state.sizeOf = picture.name; // an empty picture keeps the size it had
    return true;
}

void SurfaceMirror::resetPicture(PictureElement element) {
    target_->resetPicture(element);
    pictures_[index(element)] = PictureState{};
}

void DeviceMirror::setFileName(const std::string& value) {
    target_->setFileName(value);
    fileName_ = value;
}

void DeviceMirror::setCommand(MusicCommand command) {
    target_->setCommand(command);
    switch (command) {
    case MusicCommand::Open: opened_ = fileName_; break;
    case MusicCommand::Play:
        if (opened_) playing_ = opened_;
        break;
    case MusicCommand::Close:
        opened_.reset();
        playing_.reset();
        break;
    }
}

} // namespace vorn
