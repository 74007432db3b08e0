#pragma once
#include <cstdint>
#include <string>

// What a panel that may exist several times keeps to tell its copies apart:
// its index, and from it (n = index + 1) its title "<title>:n" and its
// placement name "<name>:n". It is the first base of such a panel, so the
// texts exist before the panel's window part takes them.
namespace Component {

class MultiInstanceComponent {
public:
    MultiInstanceComponent(const std::wstring& title, const std::string& name, int32_t index);

    std::wstring instanceTitle;
    std::string instanceName;
    int32_t index;
};

}  // namespace Component
