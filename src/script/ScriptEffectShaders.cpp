// The compiled shaders of a script effect's shared data.
#include <exception>

#include "core/Exception.h"
#include "core/FileName.h"
#include "core/Log.h"
#include "core/TextConvert.h"
#include "media/gpu/ComputeShader.h"
#include "media/gpu/Direct3DService.h"
#include "media/gpu/PixelShader.h"
#include "script/ScriptEffect.h"
#include "script/ScriptShaderBlocks.h"
#include "script/ScriptShaderCache.h"

namespace Effect {

namespace {

constexpr const char* kScope = "Effect::ScriptEffect::CommonResource::createShaderList";

template <class T>
std::unique_ptr<Media::ShaderBase> loaded(const ScriptShaderCache::Code& code) {
    Media::Direct3DService* device = Media::Direct3DService::get();
    if (device == nullptr || !device->device)
        throw System::messageException(kScope, "Direct3D device not available.");
    auto shader = std::make_unique<T>();
    shader->loadFromMemory(code->data(), code->size());
    return shader;
}

}  // namespace

void ScriptEffect::CommonResource::createShaderList() {
    // The compiler names the source so; includes resolve beside the script.
    const std::string sourceName = System::wideToUtf8(folder.empty() ? name : folder + System::kPathSeparator + name);
    shaderMap = std::make_shared<ShaderMap>();
    try {
        for (const ScriptShaderBlocks::Block& block : ScriptShaderBlocks::read(scriptText)) {
            const bool pixel = block.kind == ScriptShaderBlocks::Kind::kPixel;
            const ScriptShaderCache::Code code =
                ScriptShaderCache::compile(sourceName + "." + block.name, ScriptShaderBlocks::placedSource(block),
                                           block.name, pixel ? "ps_5_0" : "cs_5_0");
            std::unique_ptr<Media::ShaderBase> shader =
                pixel ? loaded<Media::PixelShader>(code) : loaded<Media::ComputeShader>(code);
            // The first block of a name wins.
            shaderMap->try_emplace(block.name, std::move(shader));
        }
    } catch (const std::exception& e) {
        System::Log::warn(kScope, L"script shader load faild [%ls]\n%ls", name.c_str(),
                          System::utf8ToWide(e.what()).c_str());
    }
}

Media::PixelShader* ScriptEffect::CommonResource::getPixelShader(const std::string& shaderName) {
    if (!shaderMap) createShaderList();
    const auto found = shaderMap->find(shaderName);
    return found == shaderMap->end() ? nullptr : dynamic_cast<Media::PixelShader*>(found->second.get());
}

Media::ComputeShader* ScriptEffect::CommonResource::getComputeShader(const std::string& shaderName) {
    if (!shaderMap) createShaderList();
    const auto found = shaderMap->find(shaderName);
    return found == shaderMap->end() ? nullptr : dynamic_cast<Media::ComputeShader*>(found->second.get());
}

}  // namespace Effect
