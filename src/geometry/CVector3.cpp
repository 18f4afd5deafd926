#include "CVector3.h"

#include "Scalar.h"
#include "platform/CFile.h"

#include <bit>
#include <cmath>
#include <cstring>

static_assert(std::endian::native == std::endian::little,
              "the binary forms are written as in memory on a little-endian machine");

void CVector3::CopyFrom(const CMatrixBase& m) {
    if (m.Rows() != 3 || m.Cols() != 1)
        return;
    Set(*m.Element(1, 1), *m.Element(2, 1), *m.Element(3, 1));
}

void CVector3::Normalize() {
    const double length = Length();
    if (length == 0)
        return;
    Scale(1 / length);
}

void CVector3::Round(int n) {
    RoundTo(&m_v[0], n);
    RoundTo(&m_v[1], n);
    RoundTo(&m_v[2], n);
}

void CVector3::Transform(const CMatrixBase& m, const CVector3& v) {
    if (m.Rows() != 3 || m.Cols() != 3)
        return;
    double out[3];
    for (int i = 1; i <= 3; ++i) {
        double sum = 0;
        for (int k = 1; k <= 3; ++k)
            sum += *m.Element(i, k) * v.m_v[k - 1];
        out[i - 1] = sum;
    }
    Set(out[0], out[1], out[2]);
}

void CVector3::Load(CFile& file) {
    double v[3];
    if (file.Read(v, sizeof v) != sizeof v)
        file.Fail(CFileException::endOfFile, CMessage("unexpected end of file in a vertex",
                                                      "il file finisce dentro un vertice"));
    Set(v[0], v[1], v[2]);
}

void CVector3::Store(CFile& file) const {
    file.Write(m_v, sizeof m_v);
}
