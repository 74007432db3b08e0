#pragma once

// Bind the vertex-list shader sets of the built-in shader list (vertex shader
// with its layout, and pixel shader) through the bound-state cache. Textures,
// samplers, auxiliary buffers, constants and states are the caller's.
namespace Media {

void bindShaderUv();
// The textured set for a draw that shrinks the image nowhere (one read per pixel).
void bindShaderUvOnce();
// The textured set for a draw at the image's own size, unturned and moved by
// whole pixels, so that each pixel centre is a texel centre (the texel is copied).
void bindShaderUvTexel();
void bindShaderUvDepth();
void bindShaderUvNormal();
void bindShaderColor();
void bindShaderColorDepth();
void bindShaderColorNormal();

}  // namespace Media
