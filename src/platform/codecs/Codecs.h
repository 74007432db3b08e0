#pragma once
// The installed audio and video decoders of compressed AVI streams: audio
// decoders found by wave format tag, video decoders by FourCC, each turning
// compressed data into PCM or an uncompressed bitmap.
#include "platform/codecs/AudioCodec.h"
#include "platform/codecs/VideoCodec.h"
