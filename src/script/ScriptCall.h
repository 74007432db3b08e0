#pragma once
#include <cstddef>
#include <cstdint>
#include <exception>
#include <string_view>

#include "script/LuaApi.h"

namespace Render {
class RenderContext;
}

// The kit every library function of the script host is written with.
//
// Rules a function keeps:
// - It reads and checks all its arguments first, through the readers below,
//   before any C++ object with a destructor exists: in the "lua" engine an
//   argument error unwinds with longjmp and skips C++ destructors.
// - Errors after that are not raised directly: the function returns
//   call.fail(text) (a Lua error the script may catch) or throws a C++
//   exception (the system's exception, which ends the run). The wrapper
//   raises the Lua error once the function has returned, when all of its
//   objects are gone; a thrown exception is kept and rethrown by the run
//   when the error reaches it.
// - Everything a function needs about its run comes from the one ScriptCall
//   it receives.
namespace Plugin {

class LuaInstance;
class LuaModule;

class ScriptCall {
public:
    // What a function returns to have the wrapper raise the failure text.
    static constexpr int kFailed = -1;

    lua_State* state = nullptr;
    LuaModule* lua = nullptr;
    LuaInstance* instance = nullptr;
    int count = 0;  // arguments given

    // An argument is present when it is given and not nil.
    bool has(int index) const { return index <= count && type(index) > Lua::kTypeNil; }
    int type(int index) const;

    // Readers: a wrong type raises the engine's "bad argument" error.
    int32_t integer(int index) const;   // 32-bit view of the integer check
    int64_t integer64(int index) const;  // the integer check as it is
    double number(int index) const;
    std::string_view string(int index) const;  // numbers are converted in place
    bool boolean(int index) const;             // any value; nil and false are false
    int32_t integerOr(int index, int32_t fallback) const { return has(index) ? integer(index) : fallback; }
    double numberOr(int index, double fallback) const { return has(index) ? number(index) : fallback; }

    // Results; each returns 1 so a function can return the sum.
    int pushNumber(double value) const;
    int pushInteger(int64_t value) const;
    int pushBoolean(bool value) const;
    int pushString(std::string_view text) const;

    // Keeps the text for the wrapper and returns kFailed.
    int fail(const char* format, ...) const __attribute__((format(printf, 2, 3)));

    // The run's render context; throws "not effect script." without one.
    Render::RenderContext& renderContext() const;

    // Calls a function body with its call; see the rules above.
    static int run(lua_State* state, int (*body)(ScriptCall&));

    // The exception a library function threw in the failing run of this
    // thread, when the Lua error text is the one it left: taken once.
    static bool takeThrown(std::string_view luaMessage, std::exception_ptr& thrown);
    static void clearThrown();
};

// The entry point of a function body as the engines call it.
template <int (*Body)(ScriptCall&)>
int bound(lua_State* state) {
    return ScriptCall::run(state, Body);
}

}  // namespace Plugin
