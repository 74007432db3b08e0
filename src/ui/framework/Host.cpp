#include "ui/framework/Host.h"

namespace Window {

namespace {

const Host*& installed() {
    static const Host* current = nullptr;
    return current;
}

}  // namespace

const Host& host() {
    static const Host empty;
    const Host* current = installed();
    return current ? *current : empty;
}

const Host* setHost(const Host* host) {
    const Host* before = installed();
    installed() = host;
    return before;
}

}  // namespace Window
