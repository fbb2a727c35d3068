#pragma once
// Whether a notice or mark over the scene shows with its look: white text on a
// dark translucent box, padded by `vertical` and `horizontal` pixels.

#include <QImage>
#include <QLabel>
#include <QMargins>
#include <gtest/gtest.h>

inline ::testing::AssertionResult hasMarkLook(const QLabel* mark, int vertical, int horizontal) {
    if (!mark->isVisible()) return ::testing::AssertionFailure() << "the mark is hidden";
    if (mark->contentsMargins() != QMargins(horizontal, vertical, horizontal, vertical))
        return ::testing::AssertionFailure() << "padded " << mark->contentsMargins().left() << "x"
                                             << mark->contentsMargins().top();
    if (mark->palette().color(QPalette::WindowText) != QColor(Qt::white))
        return ::testing::AssertionFailure() << "its text is not white";
    // Drawn over white, the box's corner is the white seen through its black.
    QImage drawn(mark->size(), QImage::Format_ARGB32);
    drawn.fill(Qt::white);
    const_cast<QLabel*>(mark)->render(&drawn); // drawing changes nothing of it
    if (qGray(drawn.pixel(1, 1)) > 100) return ::testing::AssertionFailure() << "no dark box behind it";
    return ::testing::AssertionSuccess();
}
