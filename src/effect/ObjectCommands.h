#pragma once
#include <cstdint>
#include <memory>
#include <string>

namespace Edit {
class Object;
}

namespace Effect {

// The editing commands the effect and alias menus run: object creation and
// adding effects. The edit side installs its commands at start-up; until
// then the menu entries throw "not implement.".
class ObjectCommands {
public:
    virtual ~ObjectCommands();
    // A new object headed by the named effect.
    virtual void createObject(const std::wstring& effectName, int32_t layer, int32_t frame) = 0;
    // A new object from an object alias file.
    virtual void loadObject(const std::wstring& aliasPath, int32_t layer, int32_t frame) = 0;
    // The named effect added at the position; with replace, the effect that
    // stood there is removed afterwards.
    virtual void setEffect(const std::shared_ptr<Edit::Object>& object, const std::wstring& effectName,
                           int32_t position, bool replace) = 0;
    // The effects of an effect alias file added at the position.
    virtual void loadEffect(const std::shared_ptr<Edit::Object>& object, const std::wstring& aliasPath,
                            int32_t position, bool replace) = 0;

    static ObjectCommands* current();
    static void setCurrent(ObjectCommands* commands);
};

}  // namespace Effect
