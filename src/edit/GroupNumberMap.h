#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <unordered_map>

namespace Edit {

class Group;

// Groups numbered inside one file or one paste, from 1 in the order of first use.
class GroupNumberMap {
public:
    std::unordered_map<const Group*, int32_t> numbers;
    std::map<int32_t, std::shared_ptr<Group>> groups;
    int32_t next = 1;

    // The group's number, giving it the next one on first use.
    int32_t getNumber(const std::shared_ptr<Group>& group);
    // The group of a number, made on first use.
    std::shared_ptr<Group> getGroup(int32_t number);
};

}  // namespace Edit
