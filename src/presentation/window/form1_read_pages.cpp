// The window's read pages, kept between plays in a file of their own.

#include "form1.h"
#include "saves/read_pages_store.h"

#include <iostream>

namespace vorn {

void Form1::setUpReadPages() {
    interpreter_.setReadPages(&readPages_, &Saves::scriptHash);
    readPagesKeep_.setSingleShot(true);
    readPagesKeep_.setInterval(ReadPages::kKeepDelayMs);
    connect(&readPagesKeep_, &QTimer::timeout, this, [this] { keepReadPagesNow(); });
}

void Form1::setReadPagesFile(const QString& path) {
    readPagesFile_ = path;
    // A damaged file is no reason not to play: every page counts as unread.
    if (const std::string note = loadReadPages(path, readPages_); !note.empty())
        std::cerr << "vorn: " << escapeControls(note) << std::endl;
    keptReadPages_ = readPages_.changes();
}

bool Form1::readPagesWaiting() const {
    return !readPagesFile_.isEmpty() && readPages_.changes() != keptReadPages_;
}

void Form1::keepReadPagesIfChanged() {
    if (finished_)
        keepReadPagesNow();
    else if (readPagesWaiting() && !readPagesKeep_.isActive())
        readPagesKeep_.start();
}

void Form1::keepReadPagesNow() {
    readPagesKeep_.stop();
    if (!readPagesWaiting()) return;
    keptReadPages_ = readPages_.changes();
    if (const std::string why = keepReadPages(readPagesFile_, readPages_); !why.empty())
        std::cerr << "vorn: " << escapeControls(why) << std::endl;
}

} // namespace vorn
