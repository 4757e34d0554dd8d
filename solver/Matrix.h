#pragma once
// Dense row-major matrices whose element storage is shared between copies
// and copied before the first write while shared. Used for the result maps
// (ny x nx) and the node index map; never for anything N x N.

#include <complex>
#include <cstdint>
#include <memory>
#include <vector>

namespace vantor {

template <typename T>
class SharedMatrix {
public:
    SharedMatrix() = default;
    SharedMatrix(int rows, int columns, const T& fill = T{})
        : rows_(rows < 0 ? 0 : rows),
          columns_(columns < 0 ? 0 : columns),
          data_(std::make_shared<std::vector<T>>(static_cast<std::size_t>(rows_) * columns_, fill)) {}

    int Rows() const { return rows_; }
    int Columns() const { return columns_; }
    bool Empty() const { return rows_ == 0 || columns_ == 0; }
    bool Contains(int r, int c) const { return r >= 0 && r < rows_ && c >= 0 && c < columns_; }

    const T& operator()(int r, int c) const { return (*data_)[Offset(r, c)]; }
    /// Write access: detaches from copies that share the storage.
    T& At(int r, int c) {
        Detach();
        return (*data_)[Offset(r, c)];
    }
    void Set(int r, int c, const T& value) { At(r, c) = value; }

    /// Writes column c from a vector of Rows() values.
    void SetColumn(int c, const std::vector<T>& values) {
        Detach();
        for (int r = 0; r < rows_ && r < static_cast<int>(values.size()); ++r) (*data_)[Offset(r, c)] = values[r];
    }

    /// True when both share one element buffer (for tests of the sharing).
    bool SharesStorageWith(const SharedMatrix& other) const { return data_ && data_ == other.data_; }

private:
    std::size_t Size() const { return static_cast<std::size_t>(rows_) * columns_; }
    std::size_t Offset(int r, int c) const { return static_cast<std::size_t>(r) * columns_ + c; }
    void Detach() {
        if (data_ && data_.use_count() > 1) data_ = std::make_shared<std::vector<T>>(*data_);
    }

    int rows_ = 0;
    int columns_ = 0;
    std::shared_ptr<std::vector<T>> data_ = std::make_shared<std::vector<T>>();
};

using ComplexMatrix = SharedMatrix<std::complex<double>>;
using IntMatrix = SharedMatrix<std::int32_t>;

}  // namespace vantor
