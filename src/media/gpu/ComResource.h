#pragma once
#include <functional>
#include <memory>

#include "core/Exception.h"

// A device object kept beyond one call, with the generator that makes it the
// first time it is asked for. Holders whose owner stores the object itself
// have no generator.
namespace Media {

// The scope text of createResource for each object type, spelled as the
// program's texts have it (a fixed string, not the compiler's type name).
template <class T>
struct ComResourceName;

template <class T>
class ComResource {
public:
    // Creates a new object into the slot, or throws.
    using Generator = std::function<void(std::unique_ptr<T>*)>;

    ComResource() = default;
    explicit ComResource(Generator generator) : generator(std::move(generator)) {}
    ~ComResource() {
        object.reset();
        generator = nullptr;
    }
    ComResource(const ComResource&) = delete;
    ComResource& operator=(const ComResource&) = delete;

    // The object, made by the generator when missing; the holder keeps it.
    T* createResource() {
        if (object) return object.get();
        // A copy runs, so a generator that replaces its holder's generator
        // cannot destroy itself while running.
        Generator run = generator;
        if (!run)
            throw System::messageException(ComResourceName<T>::createResourceScope, "resource generator not set.");
        run(&object);
        return object.get();
    }

    std::unique_ptr<T> object;
    Generator generator;
};

}  // namespace Media
