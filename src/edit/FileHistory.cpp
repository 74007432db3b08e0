#include "edit/FileHistory.h"

#include <algorithm>

#include "core/FileName.h"

namespace Edit {

void FileHistory::addItem(const std::wstring& path) {
    const size_t separator = path.find_last_of(System::kPathSeparator);
    if (separator != std::wstring::npos ? separator + 1 == path.size() : path.empty()) return;
    items_.remove(path);
    items_.push_front(path);
    trim();
}

void FileHistory::trim() {
    while (items_.size() > static_cast<size_t>(std::max(maximum_, 0))) {
        // Copied first: remove may look at the list.
        const std::wstring oldest = items_.back();
        remove(oldest);
        items_.pop_back();
    }
}

std::vector<std::wstring> FileHistory::getItemList() const { return {items_.begin(), items_.end()}; }

std::wstring FileHistory::getItem(int32_t index) const {
    const std::vector<std::wstring> list = getItemList();
    if (index < 0 || static_cast<size_t>(index) >= list.size()) return {};
    return list[static_cast<size_t>(index)];
}

void FileHistory::setMaximum(int32_t maximum) { maximum_ = std::clamp(maximum, 0, kMaxItems); }

}  // namespace Edit
