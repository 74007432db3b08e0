#include "media/resource/ResourceLists.h"

#include "core/Log.h"
#include "media/figure/FigureList.h"
#include "media/gpu/ResourceService.h"
#include "media/resource/TransitionList.h"

namespace Resource {

void ResourceLists::build(ResourceService& service) {
    service.figures = std::make_shared<FigureList>(service.paths);
    service.transitions = std::make_shared<TransitionList>(service.paths);
    System::Log::info("Resource::ResourceLists::build", "figures : %zu, transitions : %zu",
                      service.figures->figures.size(), service.transitions->transitions.size());
}

}  // namespace Resource
