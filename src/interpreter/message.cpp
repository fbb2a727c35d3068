#include "message.h"

#include "code_page.h"

#include <cstdio>

namespace vorn {

std::string escapeControls(std::string_view text) {
    const auto isControl = [](std::string_view s, std::size_t i) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c < 0x20 || c == 0x7F) return 1;
        // U+0080..U+009F, two bytes in UTF-8.
        if (c == 0xC2 && i + 1 < s.size() && static_cast<unsigned char>(s[i + 1]) < 0xA0) return 2;
        return 0;
    };
    bool clean = isValidUtf8(text);
    for (std::size_t i = 0; clean && i < text.size(); ++i) clean = isControl(text, i) == 0;
    if (clean) return std::string(text);

    const std::string valid = toUtf8(Encoding::Utf8, text);
    std::string out;
    out.reserve(valid.size() + 16);
    for (std::size_t i = 0; i < valid.size(); ++i) {
        const int length = isControl(valid, i);
        if (length == 0) {
            out += valid[i];
            continue;
        }
        const auto c = static_cast<unsigned char>(length == 1 ? valid[i] : valid[i + 1]);
        switch (c) {
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        case '\b': out += "\\b"; break;
        case '\f': out += "\\f"; break;
        default: {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
            out += escaped;
        }
        }
        i += static_cast<std::size_t>(length - 1);
    }
    return out;
}

Message Message::words(std::string text) {
    Message m;
    m.text_ = std::move(text);
    return m;
}

Message Message::sentence(std::string text) {
    Message m = words(std::move(text));
    m.translatable_ = true;
    return m;
}

std::string Message::english() const {
    return render([](const std::string& english) { return english; });
}

std::string Message::render(const Translate& translate) const {
    if (!template_) return translatable_ && !text_.empty() ? translate(text_) : text_;
    std::vector<std::string> filled;
    filled.reserve(parts_.size());
    for (const Message& part : parts_) filled.push_back(part.render(translate));
    return fillTemplate(translate(template_), filled);
}

std::string fillTemplate(const std::string& text, const std::vector<std::string>& parts) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '%' && i + 1 < text.size()) {
            const char next = text[i + 1];
            if (next == '%') {
                out += '%';
                ++i;
                continue;
            }
            if (next >= '1' && next <= '9') {
                const std::size_t k = static_cast<std::size_t>(next - '1');
                if (k < parts.size()) out += parts[k];
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

} // namespace vorn
