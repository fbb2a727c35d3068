#pragma once
// A sentence the player shows the reader, kept as its English template and the
// parts that fill it, so that a front end with a translation can word it in
// the reader's language while the transcript and the tools keep the English.
// The core stays free of any translation library: it only marks its templates
// with VORN_TR, which lupdate is told to collect.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

// Marks an English template for the translators; expands to the text itself.
#define VORN_TR(text) text

namespace vorn {

class Message {
  public:
    Message() = default;
    // A sentence from a template marked VORN_TR: English text with %1..%9 for
    // the parts, in order. "%%" stands for a percent sign.
    Message(const char* text, std::vector<Message> parts = {}) : template_(text), parts_(std::move(parts)) {}

    // Words that are never translated: a file name, a label, a place, a number.
    static Message words(std::string text);
    // An English sentence made elsewhere (a reason from the game folder or a
    // library); a translation that knows it word for word replaces it.
    static Message sentence(std::string text);

    bool empty() const { return !template_ && text_.empty(); }
    std::string english() const;
    // `translate` maps an English template or sentence to the reader's
    // language, and returns it unchanged where it knows none.
    using Translate = std::function<std::string(const std::string& english)>;
    std::string render(const Translate& translate) const;

  private:
    const char* template_ = nullptr;
    std::string text_;
    bool translatable_ = false; // for text_: a sentence rather than words
    std::vector<Message> parts_;
};

// `text` with every control character written out as an escape, as a JSON
// string writes it: "\n", "\t", "\u001b", and "\u009b" for the C1 controls,
// which some terminals also obey; bytes that are no UTF-8 become U+FFFD.
// Whatever the player writes to a terminal, a log or a message box that holds
// a name or a text from a game goes through here, so that a game can neither
// retitle nor clear the reader's terminal, nor break a report's lines.
std::string escapeControls(std::string_view text);

// Puts parts[k-1] in place of each %k (k = 1..9); "%%" becomes "%". A part's
// own text is never searched for placeholders.
std::string fillTemplate(const std::string& text, const std::vector<std::string>& parts);

} // namespace vorn
