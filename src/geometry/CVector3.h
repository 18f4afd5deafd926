// A point, direction or normal: a 3 x 1 column of doubles (x, y, z),
// components 1-based. The three values live inline, so a vector is a plain
// 24-byte value and an array of vertices is one flat block.
#pragma once

#include "CMatrixBase.h"

#include <cmath>
#include <type_traits>

class CFile;

class CVector3 {
public:
    CVector3() = default;
    CVector3(double x, double y, double z) : m_v{x, y, z} {}

    static constexpr int Rows() { return 3; }
    static constexpr int Cols() { return 1; }
    // Address of element (i, j), 1-based; null unless 1 <= i <= 3 and j = 1.
    double* Element(int i, int j) { return (i >= 1 && i <= 3 && j == 1) ? &m_v[i - 1] : nullptr; }
    const double* Element(int i, int j) const {
        return (i >= 1 && i <= 3 && j == 1) ? &m_v[i - 1] : nullptr;
    }
    // Component k, 1-based: 1 = x, 2 = y, 3 = z; null otherwise.
    double* Element(int k) { return Element(k, 1); }
    const double* Element(int k) const { return Element(k, 1); }

    double X() const { return m_v[0]; }
    double Y() const { return m_v[1]; }
    double Z() const { return m_v[2]; }

    void Set(double x, double y, double z) {
        m_v[0] = x;
        m_v[1] = y;
        m_v[2] = z;
    }
    // Sets x and y; z becomes 0.
    void SetXY(double x, double y) { Set(x, y, 0); }
    void Zero() { Set(0, 0, 0); }

    void CopyFrom(const CVector3& v) { *this = v; }
    // Copies only from a 3 x 1 source; leaves this unchanged otherwise.
    void CopyFrom(const CMatrixBase& m);

    void Add(const CVector3& v) {
        m_v[0] += v.m_v[0];
        m_v[1] += v.m_v[1];
        m_v[2] += v.m_v[2];
    }
    void Subtract(const CVector3& v) {
        m_v[0] -= v.m_v[0];
        m_v[1] -= v.m_v[1];
        m_v[2] -= v.m_v[2];
    }
    void Scale(double s) {
        m_v[0] *= s;
        m_v[1] *= s;
        m_v[2] *= s;
    }
    // Scales by 1 / s.
    void Divide(double s) { Scale(1 / s); }

    // this = a x b.
    void Cross(const CVector3& a, const CVector3& b) {
        const double x = a.m_v[1] * b.m_v[2] - a.m_v[2] * b.m_v[1];
        const double y = a.m_v[2] * b.m_v[0] - a.m_v[0] * b.m_v[2];
        const double z = a.m_v[0] * b.m_v[1] - a.m_v[1] * b.m_v[0];
        Set(x, y, z);
    }
    // (x^2 + y^2 + z^2)^0.5 with the power function, as every length of the
    // engine is taken.
    double Length() const {
        return std::pow(m_v[0] * m_v[0] + m_v[1] * m_v[1] + m_v[2] * m_v[2], 0.5);
    }
    // Scales by 1 / length; the zero vector stays zero.
    void Normalize();
    bool IsZero() const { return m_v[0] == 0 && m_v[1] == 0 && m_v[2] == 0; }
    // Rounds each component half up to n decimals.
    void Round(int n);

    // this = m * v for a 3 x 3 m, summed from 0 in increasing column order as
    // a matrix product; nothing for any other shape of m.
    void Transform(const CMatrixBase& m, const CVector3& v);

    // The 24-byte binary form: x, y, z as little-endian doubles.
    void Load(CFile& file);
    void Store(CFile& file) const;

private:
    double m_v[3] = {0, 0, 0};
};

static_assert(sizeof(CVector3) == 24, "vertices are stored as flat triples");
static_assert(std::is_trivially_copyable_v<CVector3>,
              "vertex arrays are read and written as bytes");
