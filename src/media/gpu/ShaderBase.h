#pragma once

// The polymorphic base of every shader object, so that scripts can keep
// their named shaders of any kind in one map.
namespace Media {

class ShaderBase {
public:
    virtual ~ShaderBase() = default;
};

}  // namespace Media
