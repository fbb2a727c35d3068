#pragma once
// The window's Gothic font, the plain-text views of the text box and the
// backlog, and the mark that tells of lines hidden below.

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

// A small white triangle pointing down, on black, that lets clicks through to
// what lies under it. Sized and placed by its owner.
QWidget* makeMoreBelowMark(QWidget* parent);

} // namespace vorn
