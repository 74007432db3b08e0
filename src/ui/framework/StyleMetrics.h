#pragma once
#include <cstdint>
#include <string>

// Sizes and the default font family from the style's [Layout] and [Font]
// sections, read once when the settings service has loaded its files. Before
// that they are 0 (the family empty).
namespace Window {

extern int32_t WindowSeparatorSize;   // default 5
extern int32_t FooterHeight;          // default 24
extern int32_t ScrollBarSize;         // default 20
extern int32_t SettingItemHeight;     // mandatory
extern int32_t SettingItemRowHeight;  // SettingItemHeight + 2
extern int32_t SettingHeaderHeight;     // default 24
extern int32_t SettingItemHeaderWidth;  // default 120
extern int32_t SettingItemMarginWidth;  // default 4
extern int32_t TitleHeaderHeight;     // default 22
extern int32_t ExplorerHeaderHeight;  // mandatory
extern int32_t ListItemHeight;        // mandatory
extern std::wstring DefaultFamily;    // "Yu Gothic UI" when empty

}  // namespace Window
