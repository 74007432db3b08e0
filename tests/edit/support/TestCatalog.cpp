#include "edit/support/TestCatalog.h"

#include "core/Exception.h"
#include "effect/MovementLookup.h"

namespace EditTest {

using Effect::EffectBase;

namespace {

const TestEffect::Codes kCodes[] = {
    {kImage, EffectBase::kInput, 1, 1, true, false},         {kAudio, EffectBase::kInput, 2, 2, true, false},
    {kMovie, EffectBase::kInput, 3, 3, true, false},         {kFigure, EffectBase::kInput, 1, 1, true, false},
    {kDraw, EffectBase::kOutput, 1, 1, true, false},         {kFigureDraw, EffectBase::kOutput, 1, 1, true, false},
    {kPlay, EffectBase::kOutput, 2, 2, true, false},         {kPlayBoth, EffectBase::kOutput, 3, 3, true, false},
    {kBlur, EffectBase::kFilter, 1, 1, true, false},         {kVolume, EffectBase::kFilter, 2, 2, true, false},
    {kInvert, EffectBase::kFilter, 3, 3, false, false},      {kCameraFilter, EffectBase::kFilter, 4, 4, true, false},
    {kNote, EffectBase::kFilter, 0, 0, false, false},        {kGroup, EffectBase::kControl, 1, 1, true, true},
    {kGroupAudio, EffectBase::kControl, 2, 2, false, true},  {kCamera, EffectBase::kControl, 4, 4, true, true},
    {kSceneChange, EffectBase::kControl, 1, 5, true, false}, {kBadRole, 9, 1, 1, false, false},
};

}  // namespace

TestEffect::TestEffect(const Codes& c) : codes(c) {
    name = c.name;
    role = c.role;
    media = c.media;
    placement = c.placement;
    if (c.numbers) {
        x = std::make_unique<Effect::EffectItemNumber>(&items, L"X", 0, -10000, 10000, 0.1);
        x->setMovement(*Effect::findBuiltinMovement(L"直線移動"));
        x->resizeValues(2);
    }
    flag = std::make_unique<Effect::EffectItemCheck>(&items, L"反転");
    if (c.numbers) zoom = std::make_unique<Effect::EffectItemNumber>(&items, L"拡大率", 100, 0, 5000, 0.01);
    text = std::make_unique<Effect::EffectItemText>(&items, L"テキスト");
    if (c.layerRange)
        range = std::make_unique<Effect::EffectItemInteger>(&items, L"対象レイヤー数", 0, 0, 100,
                                                            Effect::EffectItem::kLayerRange);
}

std::shared_ptr<EffectBase> TestEffect::createInstance() const { return std::make_shared<TestEffect>(codes); }

Effect::EffectItemInteger* TestEffect::getLayerRange() {
    // Like the real effects: only the layer-range controls have the item.
    return range ? range.get() : EffectBase::getLayerRange();
}

bool TestEffect::itemEvent(const Effect::ItemEvent& event) {
    lastEvent = event.kind;
    return true;
}

TestCatalog::TestCatalog() : previous_(EffectCatalog::current()) {
    for (const auto& c : kCodes) effects_.emplace(c.name, std::make_unique<TestEffect>(c));
    EffectCatalog::setCurrent(this);
}

TestCatalog::~TestCatalog() { EffectCatalog::setCurrent(previous_); }

TestEffect& TestCatalog::get(const std::wstring& name) const {
    auto it = effects_.find(name);
    if (it == effects_.end()) throw System::messageException("Effect::EffectService::findEffect", "not found effect.");
    return *it->second;
}

const EffectBase& TestCatalog::findEffect(const std::wstring& name) const { return get(name); }

const EffectBase& TestCatalog::getOutputEffect(const EffectBase& input) const {
    if (input.role == EffectBase::kInput) {
        if (std::wstring(input.name) == kFigure) return get(kFigureDraw);
        switch (input.media) {
        case 1: return get(kDraw);
        case 2: return get(kPlay);
        case 3: return get(kPlayBoth);
        default: break;
        }
    }
    throw System::messageException("Effect::EffectService::getOutputEffect", "invalid input effect type.");
}

const EffectBase* TestCatalog::getPairedInputEffect(const EffectBase& output) const {
    if (std::wstring(output.name) == kFigureDraw) return &get(kFigure);
    return nullptr;
}

}  // namespace EditTest
