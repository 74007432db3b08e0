#pragma once
#include "script/ScriptCall.h"

// The bodies of the script library's functions, grouped by theme in their
// files; ScriptLibrary registers them. Each follows the rules of ScriptCall.
namespace Plugin::ScriptLibrary {

// Values and messages (ScriptValueFunctions.cpp).
int getinfo(ScriptCall& call);
int debugPrint(ScriptCall& call);
int mes(ScriptCall& call);
int rand(ScriptCall& call);
int getvalue(ScriptCall& call);
int unsupported(ScriptCall& call);

// Numbers and colours (ScriptMathFunctions.cpp).
int interpolation(ScriptCall& call);
int rotation(ScriptCall& call);
int bitOr(ScriptCall& call);
int bitAnd(ScriptCall& call);
int bitXor(ScriptCall& call);
int shift(ScriptCall& call);
int rgb(ScriptCall& call);
int hsv(ScriptCall& call);

// Loading images and text (ScriptLoadFunctions.cpp).
int load(ScriptCall& call);
int setfont(ScriptCall& call);

// Buffers and pixels (ScriptBufferFunctions.cpp).
int copybuffer(ScriptCall& call);
int clearbuffer(ScriptCall& call);
int pixeloption(ScriptCall& call);
int getpixel(ScriptCall& call);

// The script's own shaders (ScriptShaderFunctions.cpp).
int pixelshader(ScriptCall& call);
int computeshader(ScriptCall& call);

// Drawing and options (ScriptDrawFunctions.cpp).
int draw(ScriptCall& call);
int drawpoly(ScriptCall& call);
int setoption(ScriptCall& call);
int getoption(ScriptCall& call);

// Filters (ScriptFilterFunctions.cpp).
int effect(ScriptCall& call);

// The frame's sound (ScriptAudioFunctions.cpp).
int getaudio(ScriptCall& call);

// The points of a movement script's item (ScriptPointFunctions.cpp).
int getpoint(ScriptCall& call);

// Draggable points in the preview (ScriptAnchorFunctions.cpp).
int setanchor(ScriptCall& call);

// The deterministic random integer of `rand` for a seed c and frame d.
int32_t randomInteger(int32_t lo, int32_t hi, int64_t c, int64_t d);
// The time fraction of the run's object the two-colour forms mix by.
double objectTimeFraction(ScriptCall& call);

}  // namespace Plugin::ScriptLibrary
