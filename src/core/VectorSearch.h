#pragma once
#include <cstdint>
#include <memory>
#include <vector>

// Search and filter over vectors of pointers, visiting from the first element
// and calling the predicate once per element visited.
namespace System {

template <class T, class Pred>
T* findIf(const std::vector<T*>& items, Pred pred) {
    for (T* item : items)
        if (pred(item)) return item;
    return nullptr;
}

template <class T, class Pred>
int32_t findIndexIf(const std::vector<std::shared_ptr<T>>& items, Pred pred) {
    for (size_t i = 0; i < items.size(); ++i)
        if (pred(items[i])) return static_cast<int32_t>(i);
    return -1;
}

template <class T, class Pred>
std::vector<T*> filterIf(const std::vector<T*>& items, Pred pred) {
    std::vector<T*> out;
    for (T* item : items)
        if (pred(item)) out.push_back(item);
    return out;
}

template <class T, class Pred>
void eraseIf(std::vector<std::shared_ptr<T>>& items, Pred pred) {
    size_t kept = 0;
    for (size_t i = 0; i < items.size(); ++i)
        if (!pred(items[i])) {
            if (kept != i) items[kept] = std::move(items[i]);
            ++kept;
        }
    items.resize(kept);
}

}  // namespace System
