#include "form1.h"
#include "reader_marks.h"

#include "presentation/picture_decoder.h"
#include "scene_dialog.h"
#include "scene_stand_ins.h"
#include "text_views.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QMenu>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <cmath>

namespace vorn {

int Form1::largestZoom() const { return largestZoomOn(screen()); }

void Form1::setZoom(int zoom) {
    zoom_ = std::clamp(zoom, 1, 4);
    if (!fullScreen_) window()->setFixedSize(kSceneSize * zoom_);
    updateTransform();
}

void Form1::setFullScreen(bool on) {
    if (on == fullScreen_) return;
    fullScreen_ = on;                         // the window state follows later, and not at all without a window manager
    setWindowFullScreen(window(), on, zoom_); // this window, or the one it plays in
    updateTransform();
}

int Form1::fontPixels() const { return static_cast<int>(std::lround(15 * transform_.scale)); }

void Form1::updateTransform() {
    transform_ = fullScreen_ ? SceneTransform::filling(size()) : SceneTransform::fitting(size(), zoom_);
    const QFont pageFont = gothicFont(fontPixels());
    setFont(pageFont);
    text1_->setFont(pageFont);
    text1_->setGeometry(transform_.toWidget(startRect(SceneElement::Text1)));
    backlog_->setFont(pageFont);
    backlog_->setGeometry(transform_.scene().adjusted(40, 20, -40, -20));
    // The mark sits in the text box's lower-right corner, its size in scene pixels.
    const QSize mark = QSize(12, 9) * transform_.scale;
    const int inset = std::max(1, static_cast<int>(std::lround(2 * transform_.scale)));
    moreBelow_->setGeometry(
        QRect(QPoint(text1_->width() - mark.width() - inset, text1_->height() - mark.height() - inset), mark));
    // The pop-up menu grows with the scene, from the desktop's own menu font.
    menu_->setFont(scaledFont(QApplication::font(menu_), transform_.scale));
    marks_->place(transform_.scene(), transform_.scale, fontPixels());
    updateMarkedOption();
    updateStandIns();
    if (placeMark_) updatePlaceMark(); // in the scene's corner at its new size
    applyCursor();
    update();
}

void Form1::updateStandIns() {
    int offered = 0;
    for (int label = 1; label <= 4; ++label)
        if (!finished_ && interpreter_.offersOption(label)) offered = label;
    const QFont font = gothicFont(fontPixels());
    for (int label = 1; label <= 4; ++label) {
        OptionStandIn* option = optionStandIns_[label - 1];
        const int margin = OptionStandIn::kRingMargin;
        option->setGeometry(transform_.toWidget(labelRect(label).adjusted(-margin, 0, margin, 0)));
        option->setOffered(offered);
        option->setWords(captions_[label - 1], font);
        const bool on = label <= offered && interpreter_.offersOption(label);
        if (!on && option->hasFocus()) setFocus(Qt::OtherFocusReason); // back to the page, not to the next option
        option->setVisible(on);
    }
    image1StandIn_->setGeometry(transform_.toWidget(QRect(startRect(SceneElement::Image1).topLeft(), image1Size_)));

    // A screen reader speaks a change of what the focused object says of
    // itself, and the window has the focus while a page or a menu waits: its
    // description is the page and the options offered, so each new one is heard.
    QString description = text1_->toPlainText();
    if (offered > 0) {
        QStringList listed;
        for (int label = 1; label <= offered; ++label)
            listed << QString::number(label) + ' ' + captions_[label - 1];
        if (!description.isEmpty()) description += '\n';
        description += tr("Options: %1").arg(listed.join(", "));
    }
    if (description != accessibleDescription()) setAccessibleDescription(description);
}

void Form1::resizeEvent(QResizeEvent*) { updateTransform(); }

void Form1::setText(const std::string& text) {
    // The text view itself tells screen readers of the new page: the old text
    // removed, the new inserted.
    text1_->setPlainText(QString::fromStdString(text));
    text1_->verticalScrollBar()->setValue(0);
    updateMoreBelowMark();
    updateStandIns();
}

void Form1::updateMoreBelowMark() { moreBelow_->setVisible(restOfPageHidden()); }

// The box shows its last line only in part. A line counts as shown when its
// upper half is in view: the games were written for four lines, the fourth of
// which the box cuts by a pixel or two, and `vorn check` counts the same way.
bool Form1::restOfPageHidden() const {
    const QScrollBar* lines = text1_->verticalScrollBar();
    const int lineHeight = std::max(1, QFontMetrics(text1_->font()).lineSpacing());
    const int room = text1_->viewport()->height() - 2 * static_cast<int>(text1_->document()->documentMargin());
    const int partlyShown = room % lineHeight >= lineHeight / 2 ? 1 : 0;
    return lines->value() < lines->maximum() - partlyShown;
}

void Form1::setCaption(int label, const std::string& text) {
    captions_[label - 1] = QString::fromStdString(text);
    update(transform_.toWidget(labelRect(label)));
}

void Form1::refreshLabel(int label) { repaint(transform_.toWidget(labelRect(label))); }

// The same bytes decode to the same picture: the one decoded ahead serves.
std::optional<QImage> Form1::decodedAhead(PictureAhead StartPictures::*which, const std::string& bytes) {
    if (startPicturesAhead_.valid()) startPictures_ = startPicturesAhead_.get();
    PictureAhead& ahead = startPictures_.*which;
    std::optional<QImage> image;
    if (ahead.image && ahead.bytes == bytes) image = std::move(ahead.image);
    ahead = {};
    return image;
}

bool Form1::setPicture(PictureElement element, const PictureFile& picture) {
    QImage image;
    if (picture.bytes) {
        auto decoded = decodedAhead(&StartPictures::background, *picture.bytes);
        if (!decoded) decoded = decodePicture(*picture.bytes);
        if (!decoded) return false;
        image = *decoded;
    }
    switch (element) {
    case PictureElement::Form1: background_ = image; break;
    case PictureElement::Image1:
        image1_ = image;
        sceneReplaced_ = true;
        if (!image.isNull()) image1Size_ = image.size();
        image1StandIn_->setFileName(image.isNull() ? std::string() : picture.name);
        updateStandIns();
        break;
    case PictureElement::Image2:
        image2_ = image;
        if (!image.isNull()) image2Size_ = image.size();
        break;
    }
    update();
    return true;
}

void Form1::resetPicture(PictureElement element) {
    switch (element) {
    case PictureElement::Form1: background_ = QImage(); break;
    case PictureElement::Image1:
        takeBuiltInPictures();
        image1_ = builtInScene_;
        sceneReplaced_ = false;
        image1Size_ = startRect(SceneElement::Image1).size();
        image1StandIn_->setFileName({});
        updateStandIns();
        break;
    case PictureElement::Image2:
        image2_ = QImage();
        image2Size_ = startRect(SceneElement::Image2).size();
        break;
    }
    update();
}

bool Form1::setCursor(const PictureFile& icon) {
    if (!icon.bytes) return false;
    auto decoded = decodedAhead(&StartPictures::cursor, *icon.bytes);
    if (!decoded) decoded = decodeIcon(*icon.bytes);
    if (!decoded) return false;
    cursorImage_ = *decoded;
    applyCursor();
    return true;
}

// The cursor grows with the scene; an icon's hot spot is its centre.
void Form1::applyCursor() {
    if (cursorImage_.isNull()) return;
    const QPixmap pixmap = QPixmap::fromImage(cursorImage_.scaled(cursorImage_.size() * transform_.scale));
    cursor_ = std::make_unique<QCursor>(pixmap, pixmap.width() / 2, pixmap.height() / 2);
    QWidget::setCursor(*cursor_);
    text1_->viewport()->setCursor(*cursor_);
}

void Form1::showMessage(const std::string& text, const std::string& title) {
    presentMessage_(QString::fromStdString(title), QString::fromStdString(text), false);
}

// A run that never pauses still lets the window close; nothing the reader
// clicks or types is taken until the run ends.
void Form1::keepAlive() {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    if (closeRequested_ || terminateRequested_) throw RunAborted{};
}

void Form1::paintEvent(QPaintEvent*) {
    if (!sceneReplaced_) takeBuiltInPictures();
    QPainter p(this);
    p.fillRect(rect(), Qt::black); // the bars around a scene that does not fill the window
    const QRect scene = transform_.scene();
    p.setClipRect(scene);
    p.fillRect(scene, palette().window());
    // Whole zooms repeat pixels exactly; a full-screen scale between them is smoothed.
    p.setRenderHint(QPainter::SmoothPixmapTransform, transform_.scale != std::floor(transform_.scale));
    auto draw = [&](const QImage& image, QPoint topLeft) {
        if (image.isNull()) return;
        p.drawImage(transform_.toWidget(QRect(topLeft, image.size())), image);
    };
    draw(background_, QPoint(0, 0));
    draw(image1_, startRect(SceneElement::Image1).topLeft());
    draw(image2_, startRect(SceneElement::Image2).topLeft());
    // Captions are laid out at the zoomed size, so they stay sharp.
    QFont font = gothicFont(fontPixels());
    p.setPen(Qt::black);
    for (int label = 4; label >= 1; --label) {
        if (captions_[label - 1].isEmpty()) continue;
        font.setUnderline(label == markedOption_); // in the caption's own colour
        p.setFont(font);
        p.drawText(transform_.toWidget(labelRect(label)), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                   captions_[label - 1]);
    }
}

void Form1::takeBuiltInPictures() {
    if (!builtIn_.valid()) return;
    const BuiltInPictures pictures = builtIn_.get();
    builtInScene_ = pictures.scene;
    if (!sceneReplaced_) image1_ = pictures.scene;
    // Not in the middle of a paint: the icon goes out to the window system.
    QMetaObject::invokeMethod(
        this, [this, icon = pictures.icon] { setWindowIcon(QIcon(QPixmap::fromImage(icon))); }, Qt::QueuedConnection);
}

} // namespace vorn
