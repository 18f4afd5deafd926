#include "CMatrixBase.h"

double* CMatrixBase::Element(int k) {
    if (k < 1 || k > Rows() * Cols() || Data() == nullptr)
        return nullptr;
    return Data() + (k - 1);
}

const double* CMatrixBase::Element(int k) const {
    if (k < 1 || k > Rows() * Cols() || Data() == nullptr)
        return nullptr;
    return Data() + (k - 1);
}

void CMatrixBase::Zero() {
    double* d = Data();
    const int n = Rows() * Cols();
    for (int k = 0; d != nullptr && k < n; ++k)
        d[k] = 0;
}

void CMatrixBase::Scale(double s) {
    double* d = Data();
    const int n = Rows() * Cols();
    for (int k = 0; d != nullptr && k < n; ++k)
        d[k] *= s;
}

void CMatrixBase::Add(const CMatrixBase& other) {
    if (Rows() != other.Rows() || Cols() != other.Cols())
        return;
    double* d = Data();
    const double* o = other.Data();
    const int n = Rows() * Cols();
    for (int k = 0; d != nullptr && k < n; ++k)
        d[k] += o[k];
}

void CMatrixBase::Subtract(const CMatrixBase& other) {
    if (Rows() != other.Rows() || Cols() != other.Cols())
        return;
    double* d = Data();
    const double* o = other.Data();
    const int n = Rows() * Cols();
    for (int k = 0; d != nullptr && k < n; ++k)
        d[k] -= o[k];
}
