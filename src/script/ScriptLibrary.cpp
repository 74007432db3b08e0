#include "script/ScriptLibrary.h"

#include "script/ScriptFunctions.h"

namespace Plugin::ScriptLibrary {

namespace {

// The functions of the other groups of the library join these lists as they
// are built.
constexpr Lua::Reg kGlobalFunctions[] = {
    {"OR", bound<bitOr>},       {"AND", bound<bitAnd>},   {"XOR", bound<bitXor>},
    {"SHIFT", bound<shift>},    {"RGB", bound<rgb>},      {"HSV", bound<hsv>},
    {"mes", bound<mes>},        {"rand", bound<rand>},    {"rotation", bound<rotation>},
    {"setfont", bound<setfont>}, {"debug_print", bound<debugPrint>}, {nullptr, nullptr},
};

constexpr Lua::Reg kObjFunctions[] = {
    {"mes", bound<mes>},
    {"rand", bound<rand>},
    {"interpolation", bound<interpolation>},
    {"load", bound<load>},
    {"setfont", bound<setfont>},
    {"getvalue", bound<getvalue>},
    {"effect", bound<effect>},
    {"draw", bound<draw>},
    {"drawpoly", bound<drawpoly>},
    {"setoption", bound<setoption>},
    {"getoption", bound<getoption>},
    {"copybuffer", bound<copybuffer>},
    {"clearbuffer", bound<clearbuffer>},
    {"getpixel", bound<getpixel>},
    {"pixeloption", bound<pixeloption>},
    {"pixelshader", bound<pixelshader>},
    {"computeshader", bound<computeshader>},
    {"putpixel", bound<unsupported>},
    {"copypixel", bound<unsupported>},
    {"getpixeldata", bound<unsupported>},
    {"putpixeldata", bound<unsupported>},
    {"filter", bound<unsupported>},
    {"getinfo", bound<getinfo>},
    {"getpoint", bound<getpoint>},
    {"setanchor", bound<setanchor>},
    {"getaudio", bound<getaudio>},
    {nullptr, nullptr},
};

}  // namespace

const Lua::Reg* globalFunctions() { return kGlobalFunctions; }
const Lua::Reg* objFunctions() { return kObjFunctions; }

}  // namespace Plugin::ScriptLibrary
