#pragma once
// The imaging layer: still images decoded from files or memory (PNG, JPEG,
// BMP, GIF, TIFF, WebP; frame 0, or an animation's first frame on its
// canvas; turned as the file's orientation tag says), encoded to PNG or JPEG
// files, and pixels converted between formats on the way. Sizes are bounded
// by kMaxImageSize before any pixel memory is taken, so a hostile header
// cannot make it allocate without bound.
#include "platform/imaging/Decoder.h"
#include "platform/imaging/DecodedFrame.h"
#include "platform/imaging/Encoder.h"
#include "platform/imaging/Factory.h"
#include "platform/imaging/FileStream.h"
#include "platform/imaging/FormatConverter.h"
#include "platform/imaging/FormatId.h"
#include "platform/imaging/FrameEncode.h"
#include "platform/imaging/ImagingResult.h"
#include "platform/imaging/MemoryBitmap.h"
#include "platform/imaging/PixelSource.h"
#include "platform/imaging/PropertyBag.h"
