#include "edit/GroupNumberMap.h"

#include "edit/Group.h"

namespace Edit {

int32_t GroupNumberMap::getNumber(const std::shared_ptr<Group>& group) {
    if (auto it = numbers.find(group.get()); it != numbers.end()) return it->second;
    const int32_t n = next++;
    numbers.emplace(group.get(), n);
    groups.emplace(n, group);
    return n;
}

std::shared_ptr<Group> GroupNumberMap::getGroup(int32_t number) {
    if (auto it = groups.find(number); it != groups.end()) return it->second;
    auto group = std::make_shared<Group>();
    groups.emplace(number, group);
    numbers.emplace(group.get(), number);
    if (number >= next) next = number + 1;
    return group;
}

}  // namespace Edit
