#include "CDragRect.h"

#include <GL/gl.h>

#include <cmath>

namespace {

// Pixel (x, y) is the square from (x, y) to (x + 1, y + 1): lines through the
// centres light exactly the pixels named.
void PixelVertex(double x, double y) {
    glVertex2d(x + 0.5, y + 0.5);
}

} // namespace

CInvertingMode::CInvertingMode() {
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_CURRENT_BIT | GL_LINE_BIT);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_LINE_SMOOTH);
    glDisable(GL_BLEND);
    glEnable(GL_COLOR_LOGIC_OP);
    glLogicOp(GL_XOR);
    // Alpha stays opaque, whatever the figure covers.
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_FALSE);
    glLineWidth(1);
    glColor3d(1, 1, 1);
}

CInvertingMode::~CInvertingMode() {
    glLogicOp(GL_COPY);
    glPopAttrib();
}

void CDragRect::Start(double x, double y) {
    m_start.SetXY(x, y);
    m_end = m_start;
    m_active = true;
}

void CDragRect::Draw() const {
    CInvertingMode mode;
    glBegin(GL_LINE_LOOP);
    PixelVertex(m_start.X(), m_start.Y());
    PixelVertex(m_end.X(), m_start.Y());
    PixelVertex(m_end.X(), m_end.Y());
    PixelVertex(m_start.X(), m_end.Y());
    glEnd();
}

void CDragLine::Draw() const {
    CInvertingMode mode;
    glBegin(GL_LINES);
    PixelVertex(m_start.X(), m_start.Y());
    PixelVertex(m_end.X(), m_end.Y());
    glEnd();
    constexpr int kSegments = 32;
    constexpr double kRadius = 5;
    glBegin(GL_LINE_LOOP);
    for (int k = 0; k < kSegments; ++k) {
        const double a = 2 * 3.141592653589793 * k / kSegments;
        PixelVertex(m_end.X() + kRadius * std::cos(a), m_end.Y() + kRadius * std::sin(a));
    }
    glEnd();
}
