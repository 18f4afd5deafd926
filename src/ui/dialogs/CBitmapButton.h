// A push button drawn with bitmaps alone: one while it is up, another while
// it is pressed. It takes the size of its bitmap.
#pragma once

#include <QAbstractButton>
#include <QPixmap>

class CBitmapButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit CBitmapButton(QWidget* parent = nullptr);

    // The bitmaps up and pressed; then the button is as large as the first.
    void LoadBitmaps(const QPixmap& up, const QPixmap& pressed);
    void SizeToContent();

    const QPixmap& UpBitmap() const { return m_up; }
    const QPixmap& PressedBitmap() const { return m_pressed; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap m_up;
    QPixmap m_pressed;
};
