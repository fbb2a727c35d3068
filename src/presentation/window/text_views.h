#pragma once
// The window's Gothic font and the plain-text views of the text box and the
// backlog.

#include <QColor>
#include <QFont>

class QPlainTextEdit;
class QWidget;

namespace vorn {

// The Gothic font of the original player at `pixelSize` (15 pixels at zoom 1).
QFont gothicFont(int pixelSize);

// A read-only view of white text on `background`, without frame, scroll bars
// or focus, that breaks lines between any two characters.
QPlainTextEdit* makeTextView(QWidget* parent, const QColor& background);

} // namespace vorn
