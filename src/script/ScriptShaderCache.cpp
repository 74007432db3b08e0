#include "script/ScriptShaderCache.h"

#include <atomic>
#include <exception>
#include <mutex>
#include <unordered_map>

#include "core/Log.h"
#include "media/gpu/ShaderCompile.h"
#include "script/Fnv1aHash.h"

namespace Effect {

namespace {

constexpr const char* kScope = "Effect::ScriptShaderCache::compile";
// Past this many texts the cache starts again empty: edited scripts leave
// texts nobody asks for.
constexpr size_t kMaxEntries = 256;

struct Entry {
    ScriptShaderCache::Code code;
    std::exception_ptr failure;
};

std::mutex gMutex;
std::unordered_map<std::string, Entry, Plugin::Fnv1aHash> gEntries;
std::atomic<uint64_t> gCompiles{0};

// Target, entry point, source name and source, each ended by a NUL byte.
std::string keyOf(const std::string& sourceName, const std::string& source, const std::string& entryPoint,
                  const char* target) {
    std::string key(target);
    key += '\0';
    key += entryPoint;
    key += '\0';
    key += sourceName;
    key += '\0';
    key += source;
    return key;
}

Entry compileNow(const std::string& sourceName, const std::string& source, const std::string& entryPoint,
                 const char* target) {
    Entry entry;
    try {
        entry.code = std::make_shared<const std::vector<uint8_t>>(
            Media::ShaderCompile::compileFromMemory(sourceName.c_str(), source.c_str(), entryPoint.c_str(), target));
    } catch (...) {
        entry.failure = std::current_exception();
    }
    const uint64_t count = ++gCompiles;
    System::Log::verbose(kScope, "script shader compiled %s (%llu)", sourceName.c_str(),
                         static_cast<unsigned long long>(count));
    return entry;
}

}  // namespace

ScriptShaderCache::Code ScriptShaderCache::compile(const std::string& sourceName, const std::string& source,
                                                   const std::string& entryPoint, const char* target) {
    Entry entry;
    if (source.find("#include") != std::string::npos) {
        entry = compileNow(sourceName, source, entryPoint, target);
    } else {
        std::string key = keyOf(sourceName, source, entryPoint, target);
        // Compiled under the lock: two threads asking for one text compile it once.
        std::lock_guard lock(gMutex);
        const auto found = gEntries.find(key);
        if (found != gEntries.end()) {
            entry = found->second;
        } else {
            entry = compileNow(sourceName, source, entryPoint, target);
            if (gEntries.size() >= kMaxEntries) gEntries.clear();
            gEntries.emplace(std::move(key), entry);
        }
    }
    if (entry.failure) std::rethrow_exception(entry.failure);
    return entry.code;
}

uint64_t ScriptShaderCache::compileCount() { return gCompiles.load(); }

}  // namespace Effect
