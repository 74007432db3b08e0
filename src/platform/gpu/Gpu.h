#pragma once
// The GPU layer: the program's Direct3D 11 device and immediate context on
// Vulkan (a real GPU when one is present, else Mesa's software driver).
//
// Principles:
// - Calls that can fail return a Platform::Result with the numbers the
//   program's texts print (kInvalidArg for a request the device cannot take,
//   kOutOfMemory, kDeviceRemoved, kFail); the texts that name the failed call
//   belong to the program. Context operations that the platform defines as
//   void drop an invalid request instead of doing anything undefined.
// - No allocation on hot paths: recording a clear, copy, draw or update uses
//   memory made earlier (a ring of command buffers, fences and upload chunks
//   that is reused once the GPU is done with it).
// - The layer never calls back up into the program: it reports through
//   results and state the caller reads (validation messages are collected and
//   read by tests, not delivered).
// - Work is recorded continuously and submitted only at sync points; hazards
//   between uses of a texture are found by the layer and met with barriers.
// - Object creation is thread-safe; the immediate context is used by one
//   thread at a time. Objects destroyed while recorded work may use them are
//   freed once that work has completed.
// - Formats the device lacks are emulated inside the layer (FormatTable).
// - Shaders are HLSL compiled to SPIR-V (HlslCompiler at run time, the build
//   for the built-in ones); reflection keeps the source's exact signature.
//   Pipelines are made when first drawn, keyed by everything they depend on.
#include "platform/gpu/BlendState.h"
#include "platform/gpu/Buffer.h"
#include "platform/gpu/Context.h"
#include "platform/gpu/Device.h"
#include "platform/gpu/FormatTable.h"
#include "platform/gpu/HlslCompiler.h"
#include "platform/gpu/InputLayout.h"
#include "platform/gpu/RasterizerState.h"
#include "platform/gpu/SamplerState.h"
#include "platform/gpu/Shader.h"
#include "platform/gpu/ShaderReflection.h"
#include "platform/gpu/StagingTexture.h"
#include "platform/gpu/Texture.h"
#include "platform/gpu/View.h"
