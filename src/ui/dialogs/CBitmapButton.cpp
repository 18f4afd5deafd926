#include "CBitmapButton.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

CBitmapButton::CBitmapButton(QWidget* parent) : QAbstractButton(parent) {
    setFocusPolicy(Qt::StrongFocus);
}

void CBitmapButton::LoadBitmaps(const QPixmap& up, const QPixmap& pressed) {
    m_up = up;
    m_pressed = pressed;
    updateGeometry();
    update();
}

void CBitmapButton::SizeToContent() {
    setFixedSize(sizeHint());
}

QSize CBitmapButton::sizeHint() const {
    return m_up.isNull() ? QSize(16, 16) : m_up.deviceIndependentSize().toSize();
}

void CBitmapButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QPixmap& bitmap = isDown() && !m_pressed.isNull() ? m_pressed : m_up;
    if (!isEnabled()) {
        painter.setOpacity(0.4);
        painter.drawPixmap(0, 0, bitmap);
        painter.setOpacity(1);
    } else {
        painter.drawPixmap(0, 0, bitmap);
    }
    // Keyboard focus, inside the bitmap's bevel.
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = rect().adjusted(3, 3, -3, -3);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
}
