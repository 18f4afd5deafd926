#include "CMatrix.h"

#include "CVector3.h"

#include <cmath>

CMatrix::CMatrix(const CVector3& v) {
    Resize(3, 1);
    m_data[0] = v.X();
    m_data[1] = v.Y();
    m_data[2] = v.Z();
}

double* CMatrix::Element(int i, int j) {
    if (i < 1 || j < 1 || i > m_rows || j > m_cols)
        return nullptr;
    return &m_data[static_cast<std::size_t>((i - 1) * m_cols + (j - 1))];
}

const double* CMatrix::Element(int i, int j) const {
    if (i < 1 || j < 1 || i > m_rows || j > m_cols)
        return nullptr;
    return &m_data[static_cast<std::size_t>((i - 1) * m_cols + (j - 1))];
}

void CMatrix::Resize(int rows, int cols) {
    m_rows = rows < 0 ? 0 : rows;
    m_cols = cols < 0 ? 0 : cols;
    m_data.assign(static_cast<std::size_t>(m_rows) * static_cast<std::size_t>(m_cols), 0.0);
}

void CMatrix::Product(const CMatrixBase& a, const CMatrixBase& b) {
    if (a.Cols() != b.Rows())
        return;
    const int n = a.Cols();
    Resize(a.Rows(), b.Cols());
    for (int i = 1; i <= m_rows; ++i)
        for (int j = 1; j <= m_cols; ++j) {
            double sum = 0;
            for (int k = 1; k <= n; ++k)
                sum += *a.Element(i, k) * *b.Element(k, j);
            *Element(i, j) = sum;
        }
}

namespace {
void Fill3(std::vector<double>& d, double a11, double a12, double a13, double a21, double a22,
           double a23, double a31, double a32, double a33) {
    d = {a11, a12, a13, a21, a22, a23, a31, a32, a33};
}
} // namespace

void CMatrix::SetRotationX(double a) {
    Resize(3, 3);
    const double c = std::cos(a), s = std::sin(a);
    Fill3(m_data, 1, 0, 0, 0, c, s, 0, -s, c);
}

void CMatrix::SetRotationY(double b) {
    Resize(3, 3);
    const double c = std::cos(b), s = std::sin(b);
    Fill3(m_data, c, 0, -s, 0, 1, 0, s, 0, c);
}

void CMatrix::SetRotationZ(double g) {
    Resize(3, 3);
    const double c = std::cos(g), s = std::sin(g);
    Fill3(m_data, c, s, 0, -s, c, 0, 0, 0, 1);
}

void CMatrix::SetRotation(double a, double b, double g) {
    CMatrix rx, ry, rz, rxy;
    rx.SetRotationX(a);
    ry.SetRotationY(b);
    rz.SetRotationZ(g);
    rxy.Product(rx, ry);
    Product(rxy, rz);
}
