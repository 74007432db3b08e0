#include "render/Host.h"

#include "edit/ReadSection.h"
#include "edit/Scene.h"

namespace Render {

namespace {

Host*& installed() {
    static Host* current = nullptr;
    return current;
}

}  // namespace

Host& host() {
    static Host defaults;
    Host* current = installed();
    return current ? *current : defaults;
}

Host* setHost(Host* host) {
    Host* before = installed();
    installed() = host;
    return before;
}

}  // namespace Render
