// The box of world coordinates (metres) that the orthographic camera maps
// onto the window: x from left to right, y from bottom to top, and the eye's
// depth from near to far in OpenGL's meaning (eye z from -far to -near).
#pragma once

class CViewVolume {
public:
    double m_left = -5;
    double m_right = 5;
    double m_bottom = -5;
    double m_top = 5;
    double m_near = -100;
    double m_far = 100;

    double Width() const { return m_right - m_left; }
    double Height() const { return m_top - m_bottom; }
    double Depth() const { return m_far - m_near; }
};
