#include "form1.h"

#include <QPlainTextEdit>
#include <QScrollBar>

namespace vorn {

// The interpreter's backlog, so a loaded game shows its own: the pages read
// and, between them, the options chosen.
void Form1::openBacklog() {
    const std::deque<BacklogEntry>& entries = interpreter_.backlog();
    if (entries.empty()) return;
    QStringList shown;
    for (const BacklogEntry& entry : entries) {
        const QString text = QString::fromStdString(entry.text);
        shown.push_back(entry.kind == BacklogEntry::Kind::Choice ? QStringLiteral("\u25B6 ") + text
                                                                 : QString(text).replace("\r\n", "\n"));
    }
    backlog_->setPlainText(shown.join("\n\n"));
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
