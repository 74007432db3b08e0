#pragma once
#include <unordered_set>

namespace Edit {

class Object;

// Objects that are edited together. The members hold the group; the group
// only knows them, and a member leaves the set when it is destroyed.
class Group {
public:
    std::unordered_set<Object*> members;

    Group() = default;
    Group(const Group&) = delete;
    Group& operator=(const Group&) = delete;
};

}  // namespace Edit
