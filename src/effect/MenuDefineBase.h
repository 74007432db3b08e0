#pragma once
// The menu entry base lives with the settings it persists through, so that
// the font registry below the effect framework can use it too.
#include "core/MenuDefineBase.h"
