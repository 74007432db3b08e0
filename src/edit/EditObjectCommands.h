#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "effect/ObjectCommands.h"

namespace Edit {

// The edit commands behind the effect and alias menu entries: new objects
// from an effect or a saved object, and effects added to an object. Installs
// itself for its lifetime (the program keeps one beside the edit service).
class EditObjectCommands : public Effect::ObjectCommands {
public:
    EditObjectCommands();
    ~EditObjectCommands() override;
    EditObjectCommands(const EditObjectCommands&) = delete;
    EditObjectCommands& operator=(const EditObjectCommands&) = delete;

    void createObject(const std::wstring& effectName, int32_t layer, int32_t frame) override;
    void loadObject(const std::wstring& aliasPath, int32_t layer, int32_t frame) override;
    void setEffect(const std::shared_ptr<Object>& object, const std::wstring& effectName, int32_t position,
                   bool replace) override;
    void loadEffect(const std::shared_ptr<Object>& object, const std::wstring& aliasPath, int32_t position,
                    bool replace) override;

private:
    Effect::ObjectCommands* previous_;
};

}  // namespace Edit
