#include "message.h"

namespace vorn {

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
