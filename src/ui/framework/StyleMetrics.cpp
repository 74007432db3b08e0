#include "ui/framework/StyleMetrics.h"

#include "core/SettingService.h"

namespace Window {

namespace {

using Setting::SettingService;

int32_t bindLayout(int32_t& variable, const char* key, int32_t defaultValue) {
    SettingService::bindValue(variable, [key, defaultValue](SettingService& settings) {
        return settings.layout.getValue(key).toInt(defaultValue);
    });
    return 0;
}

int32_t bindLayoutMandatory(int32_t& variable, const char* key, int32_t add) {
    SettingService::bindValue(variable, [key, add](SettingService& settings) {
        return settings.layout.getValue(key).toInt() + add;
    });
    return 0;
}

std::wstring bindFamily(std::wstring& variable) {
    SettingService::addLoadedCallback([&variable](SettingService& settings) {
        variable = settings.font.getValue("DefaultFamily").toString(L"Yu Gothic UI");
    });
    return {};
}

}  // namespace

// Each value registers its reader while it is initialised, in this order.
int32_t WindowSeparatorSize = bindLayout(WindowSeparatorSize, "WindowSeparatorSize", 5);
int32_t FooterHeight = bindLayout(FooterHeight, "FooterHeight", 24);
int32_t ScrollBarSize = bindLayout(ScrollBarSize, "ScrollBarSize", 20);
int32_t SettingItemHeight = bindLayoutMandatory(SettingItemHeight, "SettingItemHeight", 0);
int32_t SettingItemRowHeight = bindLayoutMandatory(SettingItemRowHeight, "SettingItemHeight", 2);
int32_t SettingHeaderHeight = bindLayout(SettingHeaderHeight, "SettingHeaderHeight", 24);
int32_t SettingItemHeaderWidth = bindLayout(SettingItemHeaderWidth, "SettingItemHeaderWidth", 120);
int32_t SettingItemMarginWidth = bindLayout(SettingItemMarginWidth, "SettingItemMarginWidth", 4);
int32_t TitleHeaderHeight = bindLayout(TitleHeaderHeight, "TitleHeaderHeight", 22);
int32_t ExplorerHeaderHeight = bindLayoutMandatory(ExplorerHeaderHeight, "ExplorerHeaderHeight", 0);
int32_t ListItemHeight = bindLayoutMandatory(ListItemHeight, "ListItemHeight", 0);
std::wstring DefaultFamily = bindFamily(DefaultFamily);

}  // namespace Window
