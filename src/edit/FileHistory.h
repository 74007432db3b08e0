#pragma once
#include <cstdint>
#include <list>
#include <string>
#include <vector>

namespace Edit {

// A list of file paths, newest first, held to a maximum count. Kinds load,
// save and remove their entries in their own way; the base does nothing.
class FileHistory {
public:
    static constexpr int32_t kMaxItems = 50;

    FileHistory() = default;
    virtual ~FileHistory() = default;
    FileHistory(const FileHistory&) = delete;
    FileHistory& operator=(const FileHistory&) = delete;

    virtual void load() {}
    virtual void save() {}
    // Called for an entry that leaves the list by trimming.
    virtual void remove(const std::wstring& path) { (void)path; }

    // Moves or puts the path at the front, then trims. A path without a file
    // name is ignored; equality is exact and case-sensitive.
    void addItem(const std::wstring& path);
    // Drops the oldest entries beyond the maximum, each through remove.
    void trim();
    // The entries the menus show, newest first.
    virtual std::vector<std::wstring> getItemList() const;
    // Entry index of getItemList; empty for an index outside it.
    std::wstring getItem(int32_t index) const;

    int32_t maximum() const { return maximum_; }
    // The configured count held to 0..kMaxItems; takes effect at the next trim.
    void setMaximum(int32_t maximum);
    size_t size() const { return items_.size(); }

protected:
    int32_t maximum_ = kMaxItems;
    std::list<std::wstring> items_;
};

}  // namespace Edit
