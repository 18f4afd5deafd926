#include "ConditionDrawing.h"

#include "geometry/CMatrix.h"

#include <QFont>
#include <QImage>
#include <QPainter>

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double kDegree = std::numbers::pi / 180;

CMatrix Rotation(const CConditionPicture& picture) {
    CMatrix r;
    r.SetRotation(picture.heel * kDegree, picture.trim * kDegree, 0);
    return r;
}

// Marks and letters are 16 x 16 bitmaps, drawn in the current colour.
constexpr int kBitmap = 16;

// The bitmap with its origin at (x0, y0) pixels from its lower left corner
// at the raster position of at.
void DrawBitmap(const unsigned char* bits, const CVector3& at, float x0, float y0) {
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glRasterPos3d(at.X(), at.Y(), at.Z());
    glBitmap(kBitmap, kBitmap, x0, y0, 0, 0, bits);
}

// The letter as a bitmap at the raster position: glBitmap draws in the
// current colour, so the letter takes its marker's colour.
void DrawLetter(char letter, const CVector3& at) {
    constexpr int kSize = kBitmap;
    QImage image(kSize, kSize, QImage::Format_Grayscale8);
    image.fill(0);
    {
        QPainter painter(&image);
        QFont font = painter.font();
        font.setPixelSize(14);
        font.setBold(true);
        painter.setFont(font);
        painter.setPen(Qt::white);
        painter.drawText(QRect(0, 0, kSize, kSize), Qt::AlignCenter, QString(QChar(letter)));
    }
    // glBitmap's rows run bottom up, QImage's top down; 8 pixels a byte,
    // the leftmost in the most significant bit; a pixel half lit is set.
    unsigned char bits[kSize * kSize / 8] = {};
    for (int row = 0; row < kSize; ++row) {
        const uchar* line = image.constScanLine(kSize - 1 - row);
        for (int x = 0; x < kSize; ++x)
            if (line[x] >= 128)
                bits[row * (kSize / 8) + x / 8] |= static_cast<unsigned char>(0x80 >> (x % 8));
    }
    DrawBitmap(bits, at, -6.0F, -6.0F);
}

// An opening's mark, 11 pixels wide and 2 thick, in the bitmap's lower left
// corner: a cross, or a square's outline.
void MarkBits(bool square, unsigned char bits[kBitmap * kBitmap / 8]) {
    constexpr int kMark = 11;
    std::fill_n(bits, kBitmap * kBitmap / 8, 0);
    const auto set = [&](int x, int y) {
        if (x >= 0 && x < kMark && y >= 0 && y < kMark)
            bits[y * (kBitmap / 8) + x / 8] |= static_cast<unsigned char>(0x80 >> (x % 8));
    };
    for (int i = 0; i < kMark; ++i)
        for (int w = 0; w < 2; ++w) {
            if (square) {
                set(i, w);
                set(i, kMark - 1 - w);
                set(w, i);
                set(kMark - 1 - w, i);
            } else {
                set(i, i + w);
                set(i, kMark - 1 - i + w);
            }
        }
}

} // namespace

void AttitudeMatrix(const CConditionPicture& picture, double gl[16]) {
    const CMatrix r = Rotation(picture);
    std::fill_n(gl, 16, 0.0);
    for (int i = 1; i <= 3; ++i)
        for (int j = 1; j <= 3; ++j)
            gl[(j - 1) * 4 + (i - 1)] = *r.Element(i, j);
    gl[15] = 1;
}

void TurnToAttitude(const CConditionPicture& picture) {
    double gl[16];
    AttitudeMatrix(picture, gl);
    glMultMatrixd(gl);
}

void DrawWaterplane(const CConditionPicture& picture) {
    const CMatrix r = Rotation(picture);
    // The hull's box in the waterplane's frame.
    double lo[2] = {HUGE_VAL, HUGE_VAL}, hi[2] = {-HUGE_VAL, -HUGE_VAL};
    for (int corner = 0; corner < 8; ++corner) {
        const CVector3 p((corner & 1) ? picture.high.X() : picture.low.X(),
                         (corner & 2) ? picture.high.Y() : picture.low.Y(),
                         (corner & 4) ? picture.high.Z() : picture.low.Z());
        CVector3 q;
        q.Transform(r, p);
        lo[0] = std::min(lo[0], q.X());
        hi[0] = std::max(hi[0], q.X());
        lo[1] = std::min(lo[1], q.Y());
        hi[1] = std::max(hi[1], q.Y());
    }
    for (int k = 0; k < 2; ++k) {
        const double margin = (hi[k] - lo[k]) / 20;
        lo[k] -= margin;
        hi[k] += margin;
    }
    // The corners in the waterplane's frame, carried back to ship axes:
    // the turned model-view brings them level again.
    CVector3 corners[4];
    const double xy[4][2] = {{lo[0], lo[1]}, {hi[0], lo[1]}, {hi[0], hi[1]}, {lo[0], hi[1]}};
    for (int k = 0; k < 4; ++k) {
        const CVector3 q(xy[k][0], xy[k][1], picture.waterplane);
        for (int i = 1; i <= 3; ++i)
            *corners[k].Element(i) =
                *r.Element(1, i) * q.X() + *r.Element(2, i) * q.Y() + *r.Element(3, i) * q.Z();
    }

    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_LINE_BIT);
    glDisable(GL_LIGHTING);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDepthMask(GL_FALSE);
    // The blend would leave the framebuffer's alpha below 1 under the
    // plane, and the window, composing the view as a premultiplied image,
    // would show some other colour there: the alpha stays as it is.
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_FALSE);
    glColor4ub(80, 160, 255, 89);
    glBegin(GL_QUADS);
    for (const CVector3& c : corners)
        glVertex3d(c.X(), c.Y(), c.Z());
    glEnd();
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glDisable(GL_BLEND);
    glDepthMask(GL_TRUE);
    glLineWidth(1);
    glColor3ub(80, 160, 255);
    glBegin(GL_LINE_LOOP);
    for (const CVector3& c : corners)
        glVertex3d(c.X(), c.Y(), c.Z());
    glEnd();
    glPopAttrib();
}

void DrawCentres(const CConditionPicture& picture) {
    glPushAttrib(GL_ENABLE_BIT | GL_POINT_BIT | GL_CURRENT_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glPointSize(9);
    const struct {
        const CVector3& at;
        unsigned char red, green;
        char letter;
    } centres[] = {{picture.b, 0, 160, 'B'}, {picture.g, 220, 0, 'G'}};
    for (const auto& c : centres) {
        glColor3ub(c.red, c.green, 0);
        glBegin(GL_POINTS);
        glVertex3d(c.at.X(), c.at.Y(), c.at.Z());
        glEnd();
        DrawLetter(c.letter, c.at);
    }
    glPopAttrib();
}

void OpeningColour(const CConditionPicture& picture, const COpeningMark& mark,
                   unsigned char rgb[3]) {
    const CMatrix r = Rotation(picture);
    const double height = *r.Element(3, 1) * mark.at.X() + *r.Element(3, 2) * mark.at.Y() +
                          *r.Element(3, 3) * mark.at.Z() - picture.waterplane;
    static const unsigned char colours[2][2][3] = {{{255, 140, 0}, {200, 0, 200}},
                                                   {{0, 150, 150}, {0, 0, 170}}};
    const unsigned char* c = colours[mark.weathertight ? 1 : 0][height < 0 ? 1 : 0];
    std::copy_n(c, 3, rgb);
}

void DrawOpenings(const CConditionPicture& picture) {
    if (picture.openings.empty())
        return;
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    unsigned char cross[kBitmap * kBitmap / 8], square[kBitmap * kBitmap / 8];
    MarkBits(false, cross);
    MarkBits(true, square);
    for (const COpeningMark& mark : picture.openings) {
        unsigned char rgb[3];
        OpeningColour(picture, mark, rgb);
        glColor3ub(rgb[0], rgb[1], rgb[2]);
        // Centred on the opening: its middle pixel over the raster position.
        DrawBitmap(mark.weathertight ? square : cross, mark.at, 5.0F, 5.0F);
    }
    glPopAttrib();
}
