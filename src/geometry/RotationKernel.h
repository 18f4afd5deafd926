// A 3 x 3 rotation held as nine doubles, applied to many points exactly as
// CVector3::Transform does: each row summed from 0 in increasing column
// order.
#pragma once

#include "CMatrixBase.h"
#include "CVector3.h"

class CRotationKernel {
public:
    explicit CRotationKernel(const CMatrixBase& r) {
        for (int k = 0; k < 9; ++k)
            m_r[k] = *r.Element(k / 3 + 1, k % 3 + 1);
    }

    // R p, then z' reduced by the draught.
    CVector3 Apply(const CVector3& p, double draught) const {
        return CVector3(Row(0, p), Row(1, p), Row(2, p) - draught);
    }
    // z' of R p.
    double ApplyZ(const CVector3& p) const { return Row(2, p); }

private:
    double Row(int i, const CVector3& p) const {
        double sum = 0;
        sum += m_r[3 * i] * p.X();
        sum += m_r[3 * i + 1] * p.Y();
        sum += m_r[3 * i + 2] * p.Z();
        return sum;
    }
    double m_r[9];
};
