#include "UmfpackLu.h"

#include <umfpack.h>

namespace vantor {

UmfpackLu::~UmfpackLu() {
    FreeNumeric();
    FreeSymbolic();
}

void UmfpackLu::FreeNumeric() {
    if (numeric_ != nullptr) umfpack_zi_free_numeric(&numeric_);
    numeric_ = nullptr;
}

void UmfpackLu::FreeSymbolic() {
    if (symbolic_ != nullptr) umfpack_zi_free_symbolic(&symbolic_);
    symbolic_ = nullptr;
}

int UmfpackLu::Analyse(const SparseComplexMatrix& a) {
    FreeNumeric();
    FreeSymbolic();
    return umfpack_zi_symbolic(a.n, a.n, a.columnStart.data(), a.rowIndex.data(), a.re.data(), a.im.data(), &symbolic_,
                               nullptr, nullptr);
}

int UmfpackLu::Factorise(const SparseComplexMatrix& a) {
    FreeNumeric();
    if (symbolic_ == nullptr) return UMFPACK_ERROR_invalid_Symbolic_object;
    double info[UMFPACK_INFO];
    const int status = umfpack_zi_numeric(a.columnStart.data(), a.rowIndex.data(), a.re.data(), a.im.data(), symbolic_,
                                          &numeric_, nullptr, info);
    factorBytes_ = info[UMFPACK_PEAK_MEMORY] * info[UMFPACK_SIZE_OF_UNIT];
    return status;
}

int UmfpackLu::Solve(const SparseComplexMatrix& a, const double* bRe, const double* bIm, double* xRe, double* xIm) {
    if (numeric_ == nullptr) return UMFPACK_ERROR_invalid_Numeric_object;
    // Workspace kept across the right-hand sides of one matrix: the complex
    // solve with iterative refinement needs n ints and 10 n doubles.
    wi_.resize(static_cast<std::size_t>(a.n));
    w_.resize(static_cast<std::size_t>(a.n) * 10);
    return umfpack_zi_wsolve(UMFPACK_A, a.columnStart.data(), a.rowIndex.data(), a.re.data(), a.im.data(), xRe, xIm,
                             bRe, bIm, numeric_, nullptr, nullptr, wi_.data(), w_.data());
}

long long UmfpackLu::FactorNonZeros() const {
    if (numeric_ == nullptr) return 0;
    int lnz = 0, unz = 0, rows = 0, columns = 0, diagonal = 0;
    if (umfpack_zi_get_lunz(&lnz, &unz, &rows, &columns, &diagonal, numeric_) != UMFPACK_OK) return 0;
    return static_cast<long long>(lnz) + unz;
}

bool UmfpackLu::Failed(int status) {
    // The determinant warnings are harmless for large planes; a singular
    // matrix is not.
    return status < 0 || status == UMFPACK_WARNING_singular_matrix;
}

const char* UmfpackLu::StatusText(int status) {
    switch (status) {
        case UMFPACK_OK: return "kein Fehler";
        case UMFPACK_WARNING_singular_matrix: return "Die Matrix ist singulär.";
        case UMFPACK_WARNING_determinant_underflow:
        case UMFPACK_WARNING_determinant_overflow: return "Die Determinante ist nicht darstellbar.";
        case UMFPACK_ERROR_out_of_memory: return "Nicht genügend Speicher.";
        default: return "Interner Fehler des Gleichungslösers.";
    }
}

}  // namespace vantor
