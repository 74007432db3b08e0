#include "ui/panels/MultiInstanceComponent.h"

namespace Component {

MultiInstanceComponent::MultiInstanceComponent(const std::wstring& title, const std::string& name, int32_t index)
    : instanceTitle(title + L":" + std::to_wstring(index + 1)),
      instanceName(name + ":" + std::to_string(index + 1)),
      index(index) {}

}  // namespace Component
