// A resizable general matrix, and the rotation builders of the ship's
// attitude (heel about x, trim about y, yaw about z; radians).
#pragma once

#include "CMatrixBase.h"

#include <vector>

class CVector3;

class CMatrix : public CMatrixBase {
public:
    CMatrix() = default;
    CMatrix(int rows, int cols) { Resize(rows, cols); }
    // A 3 x 1 column holding the vector.
    explicit CMatrix(const CVector3& v);

    double* Element(int i, int j) override;
    const double* Element(int i, int j) const override;
    using CMatrixBase::Element;
    int Rows() const override { return m_rows; }
    int Cols() const override { return m_cols; }

    // Negative counts become 0; the elements are zero after a resize.
    void Resize(int rows, int cols);

    // this = a * b when a.Cols() == b.Rows(), each element summed from 0 in
    // increasing k; otherwise nothing. this must be neither a nor b.
    void Product(const CMatrixBase& a, const CMatrixBase& b);

    // Rows (1, 0, 0), (0, cos a, sin a), (0, -sin a, cos a).
    void SetRotationX(double a);
    // Rows (cos b, 0, -sin b), (0, 1, 0), (sin b, 0, cos b).
    void SetRotationY(double b);
    // Rows (cos g, sin g, 0), (-sin g, cos g, 0), (0, 0, 1).
    void SetRotationZ(double g);
    // (Rx(a) * Ry(b)) * Rz(g). A point of the ship goes into the frame of a
    // waterplane heeled by a and trimmed by b as SetRotation(a, b, 0) * p.
    void SetRotation(double a, double b, double g);

protected:
    double* Data() override { return m_data.empty() ? nullptr : m_data.data(); }
    const double* Data() const override { return m_data.empty() ? nullptr : m_data.data(); }

private:
    std::vector<double> m_data;
    int m_rows = 0;
    int m_cols = 0;
};

// A 3 x 3 rotation, filled by the rotation builders.
class CRotationMatrix : public CMatrix {
public:
    CRotationMatrix() = default;
};
