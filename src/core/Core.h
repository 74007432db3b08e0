#pragma once
// The application core: the service registry that starts and stops the
// process, failures as exceptions with formatted texts, the log, and the
// small text helpers everything else uses. Nothing here knows about windows,
// the GPU or the project; everything else may use it.
#include "core/Exception.h"
#include "core/Log.h"
#include "core/ServiceHolder.h"
#include "core/ServiceStack.h"
#include "core/TextConvert.h"
#include "core/TextFormat.h"
#include "core/Clipboard.h"
#include "core/EventInstance.h"
#include "core/EventService.h"
#include "core/Timer.h"
#include "core/TimerSync.h"
