#pragma once
// The application core: the service registry that starts and stops the
// process, failures as exceptions with formatted texts, the log, and the
// small text helpers everything else uses. Nothing here knows about windows,
// the GPU or the project; everything else may use it.
#include "core/AlignedBuffer.h"
#include "core/ConfigFloat.h"
#include "core/ConfigInt.h"
#include "core/ConfigParameter.h"
#include "core/ConfigParameterBinding.h"
#include "core/ConfigParameterGroup.h"
#include "core/ConfigString.h"
#include "core/Curve.h"
#include "core/Exception.h"
#include "core/File.h"
#include "core/FileName.h"
#include "core/IniFile.h"
#include "core/Log.h"
#include "core/Logger.h"
#include "core/ServiceHolder.h"
#include "core/ServiceStack.h"
#include "core/SettingService.h"
#include "core/StringHelper.h"
#include "core/TextConvert.h"
#include "core/TextFormat.h"
#include "core/NumberText.h"
#include "core/VectorSearch.h"
