#include "headless_recorder.h"

#include "json_lines.h"
#include "presentation/picture_decoder.h"

namespace vorn {

void HeadlessRecorder::line(const std::string& record) { out_ << record << '\n'; }

void HeadlessRecorder::setText(const std::string& text) { line("{\"text\":" + json::quote(text) + "}"); }

void HeadlessRecorder::setCaption(int label, const std::string& text) {
    line("{\"caption\":" + std::to_string(label) + ",\"text\":" + json::quote(text) + "}");
}

bool HeadlessRecorder::setPicture(PictureElement element, const PictureFile& picture) {
    if (picture.bytes && !decodePicture(*picture.bytes)) return false;
    line(std::string("{\"picture\":\"") + elementName(element) + "\",\"file\":" + json::quote(picture.name) + "}");
    return true;
}

// Not in the contract's first list of records: a kind of its own, as the
// contract allows, for the element back in its start state.
void HeadlessRecorder::resetPicture(PictureElement element) {
    line(std::string("{\"reset\":\"") + elementName(element) + "\"}");
}

bool HeadlessRecorder::setCursor(const PictureFile& icon) {
    if (!icon.bytes || !decodeIcon(*icon.bytes)) return false;
    line("{\"cursor\":" + json::quote(icon.name) + "}");
    return true;
}

void HeadlessRecorder::showMessage(const std::string& text, const std::string& title) {
    line("{\"message\":" + json::quote(text) + ",\"title\":" + json::quote(title) + "}");
}

void HeadlessRecorder::text(const char* property, const std::string& value) {
    line(std::string("{\"device\":\"") + property + "\",\"value\":" + json::quote(value) + "}");
}

void HeadlessRecorder::flag(const char* property, bool value) {
    line(std::string("{\"device\":\"") + property + "\",\"value\":" + (value ? "true" : "false") + "}");
}

} // namespace vorn
