// Whether a window shown is as large as its layout asks: no smaller than
// its minimum, and every one-line label as wide as its text.
#pragma once

#include <QLabel>
#include <QString>
#include <QWidget>

// Empty when it is; otherwise what is too small.
inline QString WhatIsTooSmall(QWidget& window) {
    const QSize least = window.minimumSizeHint();
    if (window.width() < least.width() || window.height() < least.height())
        return QString("%1 is %2 x %3, its layout needs %4 x %5")
            .arg(window.metaObject()->className())
            .arg(window.width())
            .arg(window.height())
            .arg(least.width())
            .arg(least.height());
    for (const QLabel* label : window.findChildren<QLabel*>())
        if (label->isVisible() && !label->wordWrap() && !label->text().isEmpty() &&
            label->width() < label->sizeHint().width())
            return QString("\"%1\" is cut to %2 pixels of %3")
                .arg(label->text())
                .arg(label->width())
                .arg(label->sizeHint().width());
    return QString();
}
