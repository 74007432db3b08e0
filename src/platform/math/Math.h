#pragma once
// Single-precision vector and matrix arithmetic for the 3D transforms of
// objects, groups, the camera and anchors. Conventions: row vectors (a point p
// maps to p × M, so A × B applies A first), left-handed coordinates, angles in
// radians. Plain value types, no SIMD, no allocation.
#include "platform/math/Matrix.h"
#include "platform/math/Scalar.h"
#include "platform/math/Vector.h"
