#include "media/gpu/ResourceService.h"

#include "core/Log.h"

namespace Resource {

ResourceService::ResourceService() : paths(PathData::createBuiltins()) {
    if (listBuilder) listBuilder(*this);
    System::Log::info("Resource::ResourceService::ResourceService", "resources ready: %zu paths, %s",
                      paths.size(), figures ? "figures and transitions listed" : "no figure or transition list");
}

// The members go in the reverse order of their construction.
ResourceService::~ResourceService() = default;

}  // namespace Resource
