#pragma once
// A pointer whose constness reaches the object it points to: through a const
// holder (a const plane's list of groups, a const board's active layer) the
// object is const too. The design's readers get const access to the
// document; without this a list of unique_ptr would hand them writable
// objects all the same.

#include <cstddef>
#include <memory>
#include <utility>
#include <vector>

namespace vantor {

template <class P>
class DeepConst {
    using T = std::remove_reference_t<decltype(*std::declval<P&>())>;

public:
    DeepConst() = default;
    DeepConst(std::nullptr_t) {}
    template <class Q, class = std::enable_if_t<std::is_constructible_v<P, Q&&>>>
    DeepConst(Q&& p) : p_(std::forward<Q>(p)) {}

    T* get() { return Raw(p_); }
    const T* get() const { return Raw(p_); }
    T* operator->() { return get(); }
    const T* operator->() const { return get(); }
    T& operator*() { return *get(); }
    const T& operator*() const { return *get(); }
    operator T*() { return get(); }
    operator const T*() const { return get(); }

private:
    template <class U>
    static U* Raw(const std::unique_ptr<U>& p) {
        return p.get();
    }
    template <class U>
    static U* Raw(U* p) {
        return p;
    }

    P p_{};
};

/// A list that owns its objects, const all through when it is.
template <class T>
using OwnedList = std::vector<DeepConst<std::unique_ptr<T>>>;

}  // namespace vantor
