#pragma once
// The audio layer: an engine with one mastering voice (the output device) and
// source voices that play queued buffers of samples at their own rate and
// volume. It runs on SDL's audio alone; SDL's "disk" driver records what was
// played to a file, which is how the tests listen.
#include "platform/audio/Engine.h"
#include "platform/audio/MasteringVoice.h"
#include "platform/audio/SourceVoice.h"
#include "platform/audio/WaveFormat.h"
