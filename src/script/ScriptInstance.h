#pragma once
#include "script/ScriptService.h"

namespace Plugin {

// Mix-in base of the classes that use the script service; it holds the
// service of the moment it was made (none while no service exists).
class ScriptInstance {
protected:
    ScriptService* scriptService = ScriptService::get();
};

}  // namespace Plugin
