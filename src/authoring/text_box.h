#pragma once
// How many lines a page takes in the window's text box at zoom 1, laid out as
// the window lays it out: its Gothic font, its width, its margin, lines broken
// between any two characters.

#include <memory>
#include <string>

class QFont;
class QTextDocument;

namespace vorn::authoring {

class TextBoxMeasure {
  public:
    // Needs a QGuiApplication for the fonts; without one, available() is false.
    TextBoxMeasure();
    ~TextBoxMeasure();
    TextBoxMeasure(const TextBoxMeasure&) = delete;
    TextBoxMeasure& operator=(const TextBoxMeasure&) = delete;

    bool available() const { return document_ != nullptr; }
    // The lines the box shows without scrolling.
    int linesShown() const { return linesShown_; }
    // The lines `page` (UTF-8, line breaks as CR LF) takes, and whether the
    // reader must scroll to read them all: whether its last line is not shown.
    int linesOf(const std::string& page);
    bool needsScrolling(const std::string& page);

  private:
    struct Layout {
        double lastLineMiddle = 0; // from the top of the box
        int lines = 0;
    };
    Layout layOut(const std::string& page);

    static constexpr double kMargin = 2; // the text box's document margin
    std::unique_ptr<QTextDocument> document_;
    std::unique_ptr<QFont> font_;
    double lineWidth_ = 0;
    double boxHeight_ = 0;
    int linesShown_ = 0;
};

} // namespace vorn::authoring
