#include "render/RenderTestEffects.h"

#include <stdexcept>

#include "core/Exception.h"
#include "edit/Object.h"
#include "effect/AnchorList.h"
#include "effect/RenderContext.h"
#include "media/gpu/RenderBuffer.h"
#include "media/gpu/ResourceBuffer.h"

namespace RenderTest {

using Effect::EffectBase;

void Journal::add(std::string line) {
    const std::lock_guard guard(mutex_);
    lines_.push_back(std::move(line));
}

std::vector<std::string> Journal::take() {
    const std::lock_guard guard(mutex_);
    return std::exchange(lines_, {});
}

Journal& journal() {
    static Journal instance;
    return instance;
}

namespace {

std::string at(const Render::RenderContext& context) {
    return " @L" + std::to_string(context.object ? context.object->layer : -1);
}

}  // namespace

SolidTestSource::SolidTestSource() {
    name = kSolid;
    role = kInput;
    media = kVideo;
    placement = kVideo;
}

std::shared_ptr<EffectBase> SolidTestSource::createInstance() const { return std::make_shared<SolidTestSource>(); }

void SolidTestSource::preInputVideo(Render::RenderContext& context) {
    journal().add("prepare " + tag + at(context));
    if (onPrepare) onPrepare(context);
}

std::shared_ptr<Media::ResourceBuffer> SolidTestSource::inputVideo(Render::RenderContext& context) {
    journal().add("in " + tag);
    seenGroupLayer = context.view.groupControl ? context.view.groupControl->layer : -1;
    if (onInput) onInput();
    if (failInput) throw std::runtime_error("solid source failed");
    if (none) return nullptr;
    auto image = std::make_shared<Media::ResourceBuffer>(width, height);
    image->Direct3D->context->clearRenderTargetView(image->getRenderTargetView(), color);
    return image;
}

CopyTestOutput::CopyTestOutput() {
    name = kCopy;
    role = kOutput;
    media = kVideo;
    placement = kVideo;
}

std::shared_ptr<EffectBase> CopyTestOutput::createInstance() const { return std::make_shared<CopyTestOutput>(); }

void CopyTestOutput::outputVideo(Render::RenderContext& context, Media::RenderBuffer& target,
                                 std::shared_ptr<Media::ResourceBuffer> image) {
    journal().add("out" + at(context));
    target.Direct3D->context->copySubresourceRegion(*target.texture, x, y, *image->texture, nullptr);
}

void CopyTestOutput::updateAnchor(Render::RenderContext& context, int32_t, int32_t) {
    if (context.anchorList) context.anchorList->addIcon(context.object, nullptr, context.layer, nullptr);
}

PassTestFilter::PassTestFilter() {
    name = kPass;
    role = kFilter;
    media = kVideo;
    placement = kVideo;
}

std::shared_ptr<EffectBase> PassTestFilter::createInstance() const { return std::make_shared<PassTestFilter>(); }

void PassTestFilter::preInputVideo(Render::RenderContext& context) { journal().add("prepare " + tag + at(context)); }

std::shared_ptr<Media::ResourceBuffer> PassTestFilter::filterVideo(Render::RenderContext& context,
                                                                   std::shared_ptr<Media::ResourceBuffer> image) {
    journal().add("filter " + tag + at(context));
    return none ? nullptr : image;
}

void PassTestFilter::controlVideo(Render::RenderContext& context) { journal().add("control " + tag + at(context)); }

RangeTestControl::RangeTestControl(const wchar_t* controlName) {
    name = controlName;
    role = kControl;
    media = kVideo;
    placement = kVideo;
}

std::shared_ptr<EffectBase> RangeTestControl::createInstance() const {
    return std::make_shared<RangeTestControl>(name);
}

void RangeTestControl::preInputVideo(Render::RenderContext& context) { journal().add("prepare control" + at(context)); }

void RangeTestControl::controlVideo(Render::RenderContext& context) { journal().add("control" + at(context)); }

ToneTestSource::ToneTestSource(const wchar_t* effectName, uint8_t effectRole) {
    name = effectName;
    role = effectRole;
    media = kAudio;
    placement = kAudio;
}

std::shared_ptr<EffectBase> ToneTestSource::createInstance() const {
    return std::make_shared<ToneTestSource>(name, role);
}

TestEffects::TestEffects() : previous_(EffectCatalog::current()) {
    effects_.emplace(kSolid, std::make_unique<SolidTestSource>());
    effects_.emplace(kCopy, std::make_unique<CopyTestOutput>());
    effects_.emplace(kPass, std::make_unique<PassTestFilter>());
    effects_.emplace(kGroupName, std::make_unique<RangeTestControl>(kGroupName));
    effects_.emplace(kOtherControl, std::make_unique<RangeTestControl>(kOtherControl));
    effects_.emplace(kTone, std::make_unique<ToneTestSource>(kTone, EffectBase::kInput));
    effects_.emplace(kToneOut, std::make_unique<ToneTestSource>(kToneOut, EffectBase::kOutput));
    EffectCatalog::setCurrent(this);
}

TestEffects::~TestEffects() { EffectCatalog::setCurrent(previous_); }

const EffectBase& TestEffects::findEffect(const std::wstring& name) const {
    const auto found = effects_.find(name);
    if (found == effects_.end())
        throw System::messageException("RenderTest::TestEffects::findEffect", "not found effect.");
    return *found->second;
}

const EffectBase& TestEffects::getOutputEffect(const EffectBase& input) const {
    if (input.role == EffectBase::kInput) return findEffect(input.media == EffectBase::kAudio ? kToneOut : kCopy);
    throw System::messageException("RenderTest::TestEffects::getOutputEffect", "invalid input effect type.");
}

const EffectBase* TestEffects::getPairedInputEffect(const EffectBase&) const { return nullptr; }

}  // namespace RenderTest
