#include "render/cache/CacheSetup.h"

#include "core/ConfigParameterGroup.h"
#include "core/SettingService.h"

namespace Cache {

void loadCacheGroup(System::Config::ParameterGroup& group) {
    if (System::IniFile* settings = Setting::SettingService::mainSettings())
        group.load(*settings);
    else
        for (System::Config::Parameter* parameter : group.parameters()) parameter->reset();
}

}  // namespace Cache
