#pragma once
#include <type_traits>
#include <utility>

// How a higher layer installs what a lower one asks of it (a presenter, a
// reader, a stop): every process-wide hook has a setter that installs one and
// returns the one installed before, and is installed through a HookScope,
// which puts the previous one back when it ends. The program keeps its scopes
// in the service stack beside the service they belong to (ServiceStack::addHook),
// so they are undone in exactly the reverse order of the start-up.
namespace System {

template <class Hook>
class HookScope {
public:
    using Setter = Hook (*)(Hook);

    HookScope(Setter set, Hook hook) : set_(set), previous_(set(std::move(hook))) {}
    ~HookScope() { set_(std::move(previous_)); }
    HookScope(const HookScope&) = delete;
    HookScope& operator=(const HookScope&) = delete;

private:
    Setter set_;
    Hook previous_;
};

// HookScope scope(Effect::setFrameSizeReader, reader): the hook type is the setter's.
template <class Hook>
HookScope(Hook (*)(Hook), std::type_identity_t<Hook>) -> HookScope<Hook>;

}  // namespace System
