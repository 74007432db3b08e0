#include "platform/gpu/Shader.h"

#include "platform/gpu/Device.h"
#include "platform/gpu/PipelineCache.h"

namespace Platform::gpu {

Shader::~Shader() { device_.pipelineCache().evict(id_); }

}  // namespace Platform::gpu
