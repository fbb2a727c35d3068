#include "form1.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <algorithm>

namespace vorn {

// The interpreter's backlog, so a loaded game shows its own: the pages read
// and, between them, the options chosen. Where each entry starts is noted,
// so that a click finds the page it lands on.
void Form1::openBacklog() {
    const std::deque<BacklogEntry>& entries = interpreter_.backlog();
    if (entries.empty()) return;
    QString shown;
    backlogStarts_.clear();
    for (const BacklogEntry& entry : entries) {
        if (!shown.isEmpty()) shown += "\n\n";
        backlogStarts_.push_back(static_cast<int>(shown.size()));
        const QString text = QString::fromStdString(entry.text);
        shown += entry.kind == BacklogEntry::Kind::Choice ? QStringLiteral("\u25B6 ") + text
                                                          : QString(text).replace("\r\n", "\n");
    }
    backlog_->setPlainText(shown);
    backlog_->show();
    backlog_->raise();
    backlog_->verticalScrollBar()->setValue(backlog_->verticalScrollBar()->maximum());
    updateMarkedOption();
}

void Form1::closeBacklog() { backlog_->hide(); }

// The entry whose text (or the blank line after it) is at the point.
std::size_t Form1::backlogEntryAt(QPoint viewportPoint) const {
    const int at = backlog_->cursorForPosition(viewportPoint).position();
    const auto after = std::upper_bound(backlogStarts_.begin(), backlogStarts_.end(), at);
    return after == backlogStarts_.begin() ? 0 : static_cast<std::size_t>(after - backlogStarts_.begin() - 1);
}

} // namespace vorn
