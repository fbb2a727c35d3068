#include "form1.h"

#include <QPlainTextEdit>
#include <QScrollBar>

namespace vorn {

// The backlog keeps the latest pages up to a million characters, and the
// latest page always, so a script showing huge pages over and over cannot
// fill the memory.
void Form1::keepPage(const QString& page) {
    pages_.push_back(QString(page).replace("\r\n", "\n"));
    constexpr qsizetype budget = 1024 * 1024;
    backlogCharacters_ += pages_.back().size();
    while (pages_.size() > 1 && backlogCharacters_ > budget) {
        backlogCharacters_ -= pages_.front().size();
        pages_.removeFirst();
    }
}

void Form1::openBacklog() {
    if (pages_.isEmpty()) return;
    backlog_->setPlainText(pages_.join("\n\n"));
    backlog_->show();
    backlog_->raise();
    backlog_->verticalScrollBar()->setValue(backlog_->verticalScrollBar()->maximum());
}

void Form1::closeBacklog() { backlog_->hide(); }

void Form1::stopFastForward() {
    fastForwardDelay_.stop();
    fastForward_.stop();
}

// Holding Ctrl clicks the text box every 50 ms; at a choice menu such a click
// does nothing. It starts only once Ctrl has been held alone for a moment,
// so Ctrl+C and the other shortcuts never turn a page.
void Form1::setUpFastForward() {
    fastForwardDelay_.setSingleShot(true);
    fastForwardDelay_.setInterval(300);
    connect(&fastForwardDelay_, &QTimer::timeout, this, [this] { fastForward_.start(); });
    fastForward_.setInterval(50);
    connect(&fastForward_, &QTimer::timeout, this, [this] { resume(); });
}

} // namespace vorn
