#pragma once
#include "edit/FileHistory.h"

namespace Edit {

// The recently used project files, kept in "%AppData%/history.ini" between runs.
class ProjectHistory : public FileHistory {
public:
    static constexpr const wchar_t* kStorePath = L"%AppData%/history.ini";

    // Reads keys 1..50 of the section project; gives up quietly.
    void load() override;
    // Rewrites the store in list order, leaving out paths with line breaks;
    // the old store stays intact when writing fails. Never throws.
    void save() override;
};

}  // namespace Edit
