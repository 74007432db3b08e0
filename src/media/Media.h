#pragma once
// The media and GPU services: the graphics devices and their settings, CPU
// images, GPU buffers, shaders and the device-state tables every pass draws
// with. Device objects kept beyond one call are made on first use.
#include "media/BitmapInfoHeader.h"
#include "media/BlendStateList.h"
#include "media/Color.h"
#include "media/ComResource.h"
#include "media/ComputeShader.h"
#include "media/ConstantBufferCommon.h"
#include "media/Direct2DService.h"
#include "media/Direct3DService.h"
#include "media/ImageBuffer.h"
#include "media/PixelFormat.h"
#include "media/RasterizerStateList.h"
#include "media/SamplerStateList.h"
#include "media/ShaderBase.h"
#include "media/ShaderCompile.h"
