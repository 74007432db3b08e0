#pragma once
#include <atomic>
#include <memory>
#include <utility>

namespace Effect {

// The render step of a filter whose drawing is still to come. The step
// reports the base's "not implement." once per instance (so once per object
// in a project) and hands the image or sound on unchanged, so the object
// still renders and keeps every value. Render threads may call it at once.
class PendingRenderStep {
public:
    template <class Buffer>
    std::shared_ptr<Buffer> skip(std::shared_ptr<Buffer> passed, const char* scope) {
        report(scope);
        return passed;
    }
    // For the steps that hand nothing on.
    void report(const char* scope);

private:
    std::atomic<bool> reported_{false};
};

}  // namespace Effect
