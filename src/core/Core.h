#pragma once
// The application core: the service registry that starts and stops the
// process, failures as exceptions with formatted texts, the log, and the
// small text helpers everything else uses. Nothing here knows about windows,
// the GPU or the project; everything else may use it.
#include "core/AlignedBuffer.h"
#include "core/Curve.h"
#include "core/Exception.h"
#include "core/File.h"
#include "core/FileName.h"
#include "core/Log.h"
#include "core/ServiceHolder.h"
#include "core/ServiceStack.h"
#include "core/StringHelper.h"
#include "core/TextConvert.h"
#include "core/TextFormat.h"
#include "core/NumberText.h"
#include "core/VectorSearch.h"
#include "core/Clipboard.h"
#include "core/EventInstance.h"
#include "core/EventService.h"
#include "core/Timer.h"
#include "core/TimerSync.h"
