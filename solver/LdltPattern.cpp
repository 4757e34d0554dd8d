#include "LdltPattern.h"

#include <amd.h>
#include <metis.h>

#include <algorithm>

namespace vantor {

namespace {

// Columns of one block at most.
constexpr int kMaxWidth = 64;

// Elimination tree of the matrix permuted to order (parent -1 at a root)
// and the number of entries of each column of L below the diagonal, by
// walking each row's subtree.
void TreeAndCounts(const SparseComplexMatrix& a, const std::vector<int>& order, const std::vector<int>& position,
                   std::vector<int>& parent, std::vector<int>& count) {
    const int n = a.n;
    parent.assign(static_cast<std::size_t>(n), -1);
    count.assign(static_cast<std::size_t>(n), 0);
    std::vector<int> flag(static_cast<std::size_t>(n));
    for (int k = 0; k < n; ++k) {
        flag[k] = k;
        const int j = order[k];
        for (int e = a.columnStart[j]; e < a.columnStart[j + 1]; ++e)
            for (int i = position[a.rowIndex[e]]; i < k && flag[i] != k; i = parent[i]) {
                if (parent[i] == -1) parent[i] = k;
                ++count[i];
                flag[i] = k;
            }
    }
}

// The nodes of a forest with every subtree contiguous, children before
// their parent.
std::vector<int> Postorder(const std::vector<int>& parent) {
    const int n = static_cast<int>(parent.size());
    std::vector<int> head(static_cast<std::size_t>(n), -1), next(static_cast<std::size_t>(n), -1), post, stack;
    post.reserve(static_cast<std::size_t>(n));
    for (int j = n - 1; j >= 0; --j)
        if (parent[j] != -1) {
            next[j] = head[parent[j]];
            head[parent[j]] = j;
        }
    for (int root = 0; root < n; ++root) {
        if (parent[root] != -1) continue;
        stack.push_back(root);
        while (!stack.empty()) {
            const int p = stack.back();
            if (head[p] == -1) {
                stack.pop_back();
                post.push_back(p);
            } else {
                const int child = head[p];
                head[p] = next[child];
                stack.push_back(child);
            }
        }
    }
    return post;
}

bool NestedDissection(const SparseComplexMatrix& a, std::vector<int>& order) {
    const int n = a.n;
    std::vector<idx_t> xadj(static_cast<std::size_t>(n) + 1, 0), adjncy;
    adjncy.reserve(a.rowIndex.size());
    for (int j = 0; j < n; ++j) {
        for (int e = a.columnStart[j]; e < a.columnStart[j + 1]; ++e)
            if (a.rowIndex[e] != j) adjncy.push_back(a.rowIndex[e]);
        xadj[j + 1] = static_cast<idx_t>(adjncy.size());
    }
    if (adjncy.empty()) return false;
    idx_t options[METIS_NOPTIONS];
    METIS_SetDefaultOptions(options);
    options[METIS_OPTION_NUMBERING] = 0;
    idx_t vertices = n;
    std::vector<idx_t> perm(static_cast<std::size_t>(n)), inverse(static_cast<std::size_t>(n));
    if (METIS_NodeND(&vertices, xadj.data(), adjncy.data(), nullptr, options, perm.data(), inverse.data()) != METIS_OK)
        return false;
    order.assign(perm.begin(), perm.end());
    return true;
}

}  // namespace

bool LdltPattern::Order(const SparseComplexMatrix& a, Ordering ordering) {
    const int n = a.n;
    order_.assign(static_cast<std::size_t>(n), 0);
    if (n == 0) return true;
    const bool dissect = ordering == Ordering::NestedDissection ||
                         (ordering == Ordering::Automatic && n >= kNestedDissectionFrom);
    // A plane without branches has nothing to dissect: minimum degree then.
    if (dissect && NestedDissection(a, order_)) return true;
    const int status = amd_order(n, a.columnStart.data(), a.rowIndex.data(), order_.data(), nullptr, nullptr);
    return status == AMD_OK || status == AMD_OK_BUT_JUMBLED;
}

bool LdltPattern::Analyse(const SparseComplexMatrix& a, Ordering ordering) {
    n_ = a.n;
    if (!Order(a, ordering)) return false;
    // Postordered, so that the columns of a supernode and every subtree are
    // contiguous.
    std::vector<int> position(static_cast<std::size_t>(n_)), parent, count;
    for (int k = 0; k < n_; ++k) position[order_[k]] = k;
    TreeAndCounts(a, order_, position, parent, count);
    const std::vector<int> post = Postorder(parent);
    std::vector<int> ordered(static_cast<std::size_t>(n_));
    for (int k = 0; k < n_; ++k) ordered[k] = order_[post[k]];
    order_.swap(ordered);
    for (int k = 0; k < n_; ++k) position[order_[k]] = k;
    TreeAndCounts(a, order_, position, parent, count);

    Supernodes(parent, count);
    BlockStructure(a);
    return UpdateMaps();
}

void LdltPattern::Supernodes(const std::vector<int>& parent, const std::vector<int>& count) {
    const int n = n_;
    // Fundamental supernodes: a column joins the previous one when it is
    // that column's parent and has exactly its structure less itself.
    std::vector<int> start;
    for (int j = 0; j < n; ++j)
        if (j == 0 || !(parent[j - 1] == j && count[j - 1] == count[j] + 1)) start.push_back(j);
    const int fundamental = static_cast<int>(start.size());
    start.push_back(n);
    std::vector<int> columns(static_cast<std::size_t>(fundamental)), below(columns.size()), up(columns.size(), -1),
        into(columns.size(), -1);
    std::vector<double> zeros(columns.size(), 0.0);
    std::vector<std::vector<int>> children(columns.size());
    for (int s = 0; s < fundamental; ++s) {
        const int last = start[s + 1] - 1;
        columns[s] = start[s + 1] - start[s];
        below[s] = count[last];
        if (parent[last] != -1) {
            up[s] = static_cast<int>(std::upper_bound(start.begin(), start.end(), parent[last]) - start.begin()) - 1;
            children[up[s]].push_back(s);
        }
    }
    // Relaxed amalgamation: a child merges into its parent when very few
    // explicit zeros result (more zeros cost more than the fewer, larger
    // blocks save on a plane's grid).
    // Children come before their parent, so a child's group is complete
    // when its parent decides. The rows below a child lie in its parent's
    // columns or below them: the merged block keeps the parent's rows.
    auto lower = [](double w, double m) { return w * (w + 1.0) / 2.0 + w * m; };
    for (int p = 0; p < fundamental; ++p)
        for (int c : children[p]) {
            const double w = columns[c] + columns[p], m = below[p];
            const double entries = lower(w, m);
            const double extra = entries - (lower(columns[c], below[c]) - zeros[c]) - (lower(columns[p], m) - zeros[p]);
            const double z = extra / entries;
            if (!((w <= 16 && z < 0.2) || (w <= 48 && z < 0.05) || z < 0.01)) continue;
            columns[p] = static_cast<int>(w);
            zeros[p] = extra;
            into[c] = p;
        }
    // Each group's columns together, groups in a postorder of their tree:
    // a topological order of the elimination tree, so the fill is the same.
    std::vector<int> leader(columns.size()), group(columns.size(), -1), leaders;
    for (int s = fundamental - 1; s >= 0; --s) leader[s] = into[s] == -1 ? s : leader[into[s]];
    for (int s = 0; s < fundamental; ++s)
        if (leader[s] == s) {
            group[s] = static_cast<int>(leaders.size());
            leaders.push_back(s);
        }
    std::vector<int> groupParent(leaders.size(), -1);
    std::vector<std::vector<int>> groupColumns(leaders.size());
    for (std::size_t g = 0; g < leaders.size(); ++g)
        if (up[leaders[g]] != -1) groupParent[g] = group[leader[up[leaders[g]]]];
    for (int s = 0; s < fundamental; ++s)
        for (int j = start[s]; j < start[s + 1]; ++j) groupColumns[group[leader[s]]].push_back(j);
    std::vector<int> ordered;
    ordered.reserve(static_cast<std::size_t>(n));
    first_.clear();
    for (int g : Postorder(groupParent)) {
        // Wide blocks in slices: the inverse's dense work on a diagonal
        // block grows with the cube of its width.
        const std::vector<int>& cols = groupColumns[g];
        for (std::size_t c = 0; c < cols.size(); ++c) {
            if (c % kMaxWidth == 0) first_.push_back(static_cast<int>(ordered.size()));
            ordered.push_back(order_[cols[c]]);
        }
    }
    first_.push_back(n);
    order_.swap(ordered);
    supernodeOf_.assign(static_cast<std::size_t>(n), 0);
    for (int s = 0; s + 1 < static_cast<int>(first_.size()); ++s)
        std::fill(supernodeOf_.begin() + first_[s], supernodeOf_.begin() + first_[s + 1], s);
}

void LdltPattern::BlockStructure(const SparseComplexMatrix& a) {
    const int n = n_, ns = SupernodeCount();
    std::vector<int> position(static_cast<std::size_t>(n));
    for (int k = 0; k < n; ++k) position[order_[k]] = k;
    // Rows of a supernode: its columns, the matrix rows below them and the
    // rows below each child supernode that lie beyond its columns.
    std::vector<int> mark(static_cast<std::size_t>(n), -1), childHead(static_cast<std::size_t>(ns), -1),
        childNext(static_cast<std::size_t>(ns), -1);
    rowStart_.assign(1, 0);
    rows_.clear();
    valueStart_.assign(1, 0);
    factorNonZeros_ = 0;
    factorOperations_ = 0.0;
    for (int s = 0; s < ns; ++s) {
        const int f = first_[s], l = first_[s + 1];
        const std::size_t begin = rows_.size();
        for (int k = f; k < l; ++k) {
            rows_.push_back(k);
            mark[k] = s;
        }
        auto add = [&](int i) {
            if (i >= l && mark[i] != s) {
                mark[i] = s;
                rows_.push_back(i);
            }
        };
        for (int k = f; k < l; ++k)
            for (int e = a.columnStart[order_[k]]; e < a.columnStart[order_[k] + 1]; ++e) add(position[a.rowIndex[e]]);
        for (int c = childHead[s]; c != -1; c = childNext[c]) {
            const int cw = first_[c + 1] - first_[c];
            for (std::int64_t p = rowStart_[c] + cw; p < rowStart_[c + 1]; ++p) add(rows_[p]);
        }
        std::sort(rows_.begin() + static_cast<std::ptrdiff_t>(begin) + (l - f), rows_.end());
        rowStart_.push_back(static_cast<std::int64_t>(rows_.size()));
        const std::int64_t height = rowStart_[s + 1] - rowStart_[s], w = l - f;
        valueStart_.push_back(valueStart_.back() + height * w);
        factorNonZeros_ += w * (w - 1) / 2 + w * (height - w);
        for (std::int64_t k = 0; k < w; ++k) {
            const double c = static_cast<double>(height - 1 - k);
            factorOperations_ += c * (c + 1.0) / 2.0;
        }
        if (height > w) {
            const int p = supernodeOf_[rows_[begin + (l - f)]];
            childNext[s] = childHead[p];
            childHead[p] = s;
        }
    }

    assemblySlot_.clear();
    assemblySource_.clear();
    for (int k = 0; k < n; ++k) {
        const int s = supernodeOf_[k];
        const int* rows = rows_.data() + rowStart_[s];
        const int height = static_cast<int>(rowStart_[s + 1] - rowStart_[s]);
        const int j = order_[k];
        for (int e = a.columnStart[j]; e < a.columnStart[j + 1]; ++e) {
            const int i = position[a.rowIndex[e]];
            if (i < k) continue;
            const auto at = std::lower_bound(rows, rows + height, i) - rows;
            assemblySlot_.push_back(valueStart_[s] + static_cast<std::int64_t>(k - first_[s]) * height + at);
            assemblySource_.push_back(e);
        }
    }
}

bool LdltPattern::UpdateMaps() {
    const int ns = SupernodeCount();
    runStart_.assign(1, 0);
    runBegin_.clear();
    runEnd_.clear();
    runTarget_.clear();
    runRowStart_.assign(1, 0);
    runRow_.clear();
    largestRunBlock_ = largestPanel_ = 0;
    largestWidth_ = 0;
    for (int s = 0; s < ns; ++s) {
        const int w = first_[s + 1] - first_[s];
        const int* below = rows_.data() + rowStart_[s] + w;
        const int m = static_cast<int>(rowStart_[s + 1] - rowStart_[s]) - w;
        largestWidth_ = std::max(largestWidth_, w);
        largestPanel_ = std::max(largestPanel_, static_cast<std::int64_t>(m) * w);
        for (int c = 0; c < m;) {
            const int target = supernodeOf_[below[c]];
            int e = c;
            while (e < m && below[e] < first_[target + 1]) ++e;
            const int* rows = rows_.data() + rowStart_[target];
            const int* rowsEnd = rows_.data() + rowStart_[target + 1];
            const int* at = rows;
            for (int i = c; i < m; ++i) {
                at = std::lower_bound(at, rowsEnd, below[i]);
                // The rows below a block lie in every ancestor they reach.
                if (at == rowsEnd || *at != below[i]) return false;
                runRow_.push_back(static_cast<int>(at - rows));
            }
            runBegin_.push_back(c);
            runEnd_.push_back(e);
            runTarget_.push_back(target);
            runRowStart_.push_back(static_cast<std::int64_t>(runRow_.size()));
            largestRunBlock_ = std::max(largestRunBlock_, static_cast<std::int64_t>(m - c) * (e - c));
            c = e;
        }
        runStart_.push_back(static_cast<int>(runBegin_.size()));
    }
    return true;
}

}  // namespace vantor
