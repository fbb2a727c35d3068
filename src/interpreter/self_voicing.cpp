#include "self_voicing.h"

#include "interpreter.h"

#include <cstdint>

namespace vorn {

namespace {

// The code point starting at `at`, which it moves past; a byte that starts no
// well-formed sequence counts as itself, so a damaged text is still read.
char32_t nextCodePoint(std::string_view text, std::size_t& at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    const int length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 1;
    if (length == 1 || at + static_cast<std::size_t>(length) > text.size()) {
        ++at;
        return lead;
    }
    char32_t point = lead & (0x7F >> length);
    for (int i = 1; i < length; ++i) {
        const unsigned char next = byte(at + static_cast<std::size_t>(i));
        if ((next & 0xC0) != 0x80) {
            ++at;
            return lead;
        }
        point = (point << 6) | (next & 0x3F);
    }
    at += static_cast<std::size_t>(length);
    return point;
}

bool kanaOrKanji(char32_t c) {
    return (c >= 0x3005 && c <= 0x3007)      // 々 〆 〇
           || (c >= 0x3040 && c <= 0x30FF)   // hiragana, katakana
           || (c >= 0x31F0 && c <= 0x31FF)   // small katakana for Ainu
           || (c >= 0x3400 && c <= 0x4DBF)   // kanji, extension A
           || (c >= 0x4E00 && c <= 0x9FFF)   // kanji
           || (c >= 0xF900 && c <= 0xFAFF)   // compatibility kanji
           || (c >= 0xFF66 && c <= 0xFF9F)   // half-width katakana
           || (c >= 0x20000 && c <= 0x2FFFF); // kanji, the further extensions
}

// A page's line breaks ("\r\n", as the text box shows them) as single new
// lines; within a caption, as spaces, so that each option stays one line.
std::string withLineBreaks(std::string_view text, char breakAs) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        out += text[i] == '\n' || text[i] == '\r' ? breakAs : text[i];
    }
    return out;
}

} // namespace

SpeechLanguage speechLanguage(std::string_view utf8) {
    for (std::size_t at = 0; at < utf8.size();)
        if (kanaOrKanji(nextCodePoint(utf8, at))) return SpeechLanguage::Japanese;
    return SpeechLanguage::Latin;
}

const char* languageTag(SpeechLanguage language) { return language == SpeechLanguage::Japanese ? "ja" : "en"; }

std::vector<int> offeredOptions(const Interpreter& game) {
    std::vector<int> offered;
    for (int option = 1; option <= game.offeredCaptions() && option <= 4; ++option)
        if (game.offersOption(option)) offered.push_back(option);
    return offered;
}

std::string spokenScreen(const Interpreter& game) {
    std::string said = withLineBreaks(game.pageText(), '\n');
    for (const int option : offeredOptions(game)) {
        if (!said.empty()) said += '\n';
        said += std::to_string(option) + ':';
        const std::string caption = withLineBreaks(game.captions()[static_cast<std::size_t>(option - 1)], ' ');
        if (!caption.empty()) said += ' ' + caption;
    }
    return said;
}

SelfVoicing::SelfVoicing(Speaker& speaker, Notify notify) : speaker_(speaker), notify_(std::move(notify)) {}

void SelfVoicing::setOn(bool on, const Interpreter& game) {
    if (on == on_) return;
    on_ = on;
    seenScreen_ = game.screenChanges();
    if (!on) {
        if (speaking_) speaker_.stop();
        speaking_ = false;
        return;
    }
    if (!speaker_.available()) {
        tell(VoicingNotice::SpeechUnavailable);
        return;
    }
    speak(game);
}

void SelfVoicing::screenShown(const Interpreter& game) {
    if (game.screenChanges() == seenScreen_) return;
    seenScreen_ = game.screenChanges();
    if (speaking_) speaker_.stop(); // the page turned: what it said is over
    speaking_ = false;
    if (on_) speak(game);
}

void SelfVoicing::repeat(const Interpreter& game) {
    if (on_) speak(game);
}

void SelfVoicing::speakerSettled(const Interpreter& game) {
    if (!on_) return;
    if (!speaker_.available()) {
        tell(VoicingNotice::SpeechUnavailable);
        speaking_ = false;
        return;
    }
    if (!speaking_) return;
    const std::string text = spokenScreen(game);
    if (text.empty()) return;
    const SpeechLanguage language = speechLanguage(text);
    if (!speaker_.hasVoice(language))
        tell(language == SpeechLanguage::Japanese ? VoicingNotice::NoJapaneseVoice : VoicingNotice::NoLatinVoice);
}

void SelfVoicing::speak(const Interpreter& game) {
    const std::string text = spokenScreen(game);
    if (text.empty()) return;
    if (!speaker_.available()) {
        tell(VoicingNotice::SpeechUnavailable);
        return;
    }
    const SpeechLanguage language = speechLanguage(text);
    if (!speaker_.hasVoice(language))
        tell(language == SpeechLanguage::Japanese ? VoicingNotice::NoJapaneseVoice : VoicingNotice::NoLatinVoice);
    speaker_.say(text, language); // another voice reads it rather than none
    speaking_ = true;
}

void SelfVoicing::tell(VoicingNotice notice) {
    const unsigned bit = 1u << static_cast<unsigned>(notice);
    if (told_ & bit) return;
    told_ |= bit;
    if (notify_) notify_(notice);
}

} // namespace vorn
