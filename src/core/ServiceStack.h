#pragma once
#include <memory>
#include <type_traits>
#include <utility>
#include <vector>

#include "core/HookScope.h"
#include "core/ServiceHolder.h"

// What the entry point owns for the whole run: one holder per service and the
// objects it owns outright, released in exactly the reverse order of adding.
namespace System {

class ServiceStack {
public:
    ServiceStack() = default;
    ServiceStack(const ServiceStack&) = delete;
    ServiceStack& operator=(const ServiceStack&) = delete;
    ~ServiceStack() { releaseAll(); }

    // Builds a holder of T (creating the service if it does not exist yet).
    template <class T>
    T* addService() {
        auto entry = std::make_unique<Entry<ServiceHolder<T>>>();
        T* service = entry->value.get();
        entries_.push_back(std::move(entry));
        return service;
    }

    // Takes an object the entry point owns itself (explorer panels).
    template <class T, class... Args>
    T* addOwned(Args&&... args) {
        auto entry = std::make_unique<Entry<std::unique_ptr<T>>>(std::make_unique<T>(std::forward<Args>(args)...));
        T* object = entry->value.get();
        entries_.push_back(std::move(entry));
        return object;
    }

    // Installs a hook at this place of the start-up; it is put back as the
    // stack releases this place, after everything added later is gone.
    template <class Hook>
    void addHook(Hook (*set)(Hook), std::type_identity_t<Hook> hook) {
        addOwned<HookScope<Hook>>(set, std::move(hook));
    }

    void releaseAll() {
        while (!entries_.empty()) entries_.pop_back();
    }

    size_t size() const { return entries_.size(); }

private:
    struct EntryBase {
        virtual ~EntryBase() = default;
    };
    template <class V>
    struct Entry : EntryBase {
        template <class... Args>
        explicit Entry(Args&&... args) : value(std::forward<Args>(args)...) {}
        V value;
    };
    std::vector<std::unique_ptr<EntryBase>> entries_;
};

}  // namespace System
