#pragma once
#include <cstdint>
#include <memory>

// A process-wide service lives in one slot per class with a use count. The
// first holder creates it (the slot is filled only after its constructor
// returned), the last destroys it and empties the slot. Mix-in bases copy the
// slot's pointer and hold no count.
namespace System {

template <class T>
struct ServiceSlot {
    static inline T* instance = nullptr;
    static inline int32_t useCount = 0;
};

template <class T>
class ServiceHolder {
public:
    ServiceHolder() {
        if (ServiceSlot<T>::instance == nullptr) {
            auto created = std::make_unique<T>();
            ServiceSlot<T>::instance = created.release();
        }
        ++ServiceSlot<T>::useCount;
    }
    ~ServiceHolder() {
        const int32_t before = ServiceSlot<T>::useCount--;
        if (before == 1 && ServiceSlot<T>::instance != nullptr) {
            std::unique_ptr<T> doomed(ServiceSlot<T>::instance);
            doomed.reset();
            ServiceSlot<T>::instance = nullptr;
        }
    }
    ServiceHolder(const ServiceHolder&) = delete;
    ServiceHolder& operator=(const ServiceHolder&) = delete;

    T* get() const { return ServiceSlot<T>::instance; }
};

}  // namespace System
