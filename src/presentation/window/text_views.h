#pragma once
// The window's Gothic font, the plain-text views of the text box and the
// backlog, the mark that tells of lines hidden below, and the shortening of
// long reports for the labels and boxes that show them.

#include <QColor>
#include <QFont>
#include <QString>
#include <string>

class QLabel;
class QPlainTextEdit;
class QWidget;

namespace vorn {

// The Gothic font of the original player at `pixelSize` (15 pixels at zoom 1).
QFont gothicFont(int pixelSize);

// A read-only view of white text on `background`, without frame, scroll bars
// or focus, that breaks lines between any two characters.
QPlainTextEdit* makeTextView(QWidget* parent, const QColor& background);

// Gives a notice or mark shown over the scene its look, white text on a dark
// translucent box with `padding` (as a style sheet writes it), before it is
// first shown; once. A style sheet has Qt work out a style of the label's own
// when the window is first shown, which the first page does without.
void giveMarkLook(QLabel* mark, const char* padding);

// A small white triangle pointing down, on black, that lets clicks through to
// what lies under it. Sized and placed by its owner.
QWidget* makeMoreBelowMark(QWidget* parent);

// A label or a message box lays out every character it is given, and a report
// that quotes a label a megabyte long from a damaged script would freeze the
// window for a minute: a long message keeps its start and its end only.
QString shortenedForDisplay(const QString& message);

// A name or text from a game, or a report that quotes one, with its control
// characters written out as visible escapes (see escapeControls).
QString withVisibleControls(const QString& text);
QString withVisibleControls(const std::string& text);

} // namespace vorn
