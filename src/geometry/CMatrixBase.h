// A dense matrix of doubles, row by row, with 1-based element access.
#pragma once

class CMatrixBase {
public:
    virtual ~CMatrixBase() = default;

    // Address of element (i, j), 1-based; null outside the matrix.
    virtual double* Element(int i, int j) = 0;
    virtual const double* Element(int i, int j) const = 0;
    virtual int Rows() const = 0;
    virtual int Cols() const = 0;

    // Linear element k, 1-based row by row; null unless 1 <= k <= rows * cols.
    double* Element(int k);
    const double* Element(int k) const;

    void Zero();
    void Scale(double s);
    // Scales by 1 / s; s = 0 follows the floating-point rules.
    void Divide(double s) { Scale(1 / s); }
    // this += other element by element when the dimensions agree, else nothing.
    void Add(const CMatrixBase& other);
    void Subtract(const CMatrixBase& other);

protected:
    CMatrixBase() = default;
    CMatrixBase(const CMatrixBase&) = default;
    CMatrixBase& operator=(const CMatrixBase&) = default;

    // The storage block, rows * cols doubles; null when empty.
    virtual double* Data() = 0;
    virtual const double* Data() const = 0;
};
