#pragma once
// The pattern analysis of a complex symmetric sparse LDL^T, done once per
// sweep and shared read-only by the factors of every frequency and thread:
// the fill-reducing order, the supernodes (runs of columns with one row
// structure, stored as dense blocks) and the index maps that assemble the
// matrix into the blocks and carry each block's update into its ancestors.

#include <cstdint>
#include <vector>

#include "SolverOptions.h"
#include "UmfpackLu.h"

namespace vantor {

class LdltPattern {
public:
    using Ordering = FillOrdering;
    /// The smallest plane that Automatic orders by nested dissection. Below
    /// it minimum degree is as fast per frequency (faster at a few thousand
    /// nodes); above it dissection needs ever fewer operations (0.6 times at
    /// 100,000 nodes).
    static constexpr int kNestedDissectionFrom = 20000;

    /// Analyses the symmetric pattern of a (both triangles, diagonal present).
    /// False when the ordering fails.
    bool Analyse(const SparseComplexMatrix& a, Ordering ordering = Ordering::Automatic);

    int Size() const { return n_; }
    int SupernodeCount() const { return static_cast<int>(first_.size()) - 1; }
    /// Entries of L below the diagonal, counting the explicit zeros that
    /// merged supernodes carry.
    std::int64_t FactorNonZeros() const { return factorNonZeros_; }
    /// Complex multiply-adds of one numeric factorisation.
    double FactorOperations() const { return factorOperations_; }

private:
    friend class SparseLdlt;

    bool Order(const SparseComplexMatrix& a, Ordering ordering);
    void Supernodes(const std::vector<int>& parent, const std::vector<int>& count);
    void BlockStructure(const SparseComplexMatrix& a);
    bool UpdateMaps();

    int n_ = 0;
    std::vector<int> order_;  // permuted position -> original node

    // Supernode s holds the columns first_[s] .. first_[s + 1] - 1; its
    // rows (its own columns, then the rows below) are rows_[rowStart_[s]
    // ..]; its block is rows x columns, column-major, at valueStart_[s].
    std::vector<int> first_;
    std::vector<int> supernodeOf_;  // column -> supernode
    std::vector<std::int64_t> rowStart_;
    std::vector<int> rows_;
    std::vector<std::int64_t> valueStart_;

    // Each entry of the permuted lower triangle: its slot in the blocks and
    // where it comes from in the matrix.
    std::vector<std::int64_t> assemblySlot_;
    std::vector<int> assemblySource_;

    // The rows below supernode s fall into runs that belong to one ancestor
    // each: run g covers below-rows runBegin_[g] .. runEnd_[g] - 1 of its
    // supernode (the runs of s are runStart_[s] .. runStart_[s + 1] - 1),
    // are columns of runTarget_[g], and runRow_[runRowStart_[g] + k] is the
    // position within that ancestor's rows of below-row runBegin_[g] + k,
    // for every below-row from the run's start to the last.
    std::vector<int> runStart_;
    std::vector<int> runBegin_;
    std::vector<int> runEnd_;
    std::vector<int> runTarget_;
    std::vector<std::int64_t> runRowStart_;
    std::vector<int> runRow_;

    std::int64_t factorNonZeros_ = 0;
    double factorOperations_ = 0.0;
    std::int64_t largestRunBlock_ = 0;  // (rows from a run's start) x (run length), at most
    std::int64_t largestPanel_ = 0;     // below-rows x columns of one supernode, at most
    int largestWidth_ = 0;
};

}  // namespace vantor
