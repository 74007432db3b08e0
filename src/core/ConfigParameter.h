#pragma once
#include <string>

#include "core/IniFile.h"

// One member variable of an owner persisted in a section of the main settings
// file. Parameters are members of their owner, never deleted through the base.
namespace System::Config {

class ParameterGroup;

class Parameter {
public:
    explicit Parameter(ParameterGroup& group, const char* key);
    const char* key() const { return key_; }

    // From the stored text; throws when the text does not convert.
    virtual void load(const IniFile::VALUE& value) = 0;
    // The text to store.
    virtual std::string save() const = 0;
    virtual void reset() = 0;

protected:
    ~Parameter() = default;

private:
    const char* key_;
};

// The owner's variable and its default.
template <class T>
struct Value {
    Value(T* target, T defaultValue) : target(target), defaultValue(std::move(defaultValue)) {}
    T* target;
    T defaultValue;
};

}  // namespace System::Config
