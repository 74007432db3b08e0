#include "effects/TextInput.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cwchar>
#include <exception>
#include <stdexcept>

#include "core/Log.h"
#include "core/StringHelper.h"
#include "edit/Object.h"
#include "edit/Scene.h"
#include "edit/UndoService.h"
#include "edit/UpdateSection.h"
#include "effect/ModelQueries.h"
#include "effect/MovementBase.h"
#include "effect/RenderContext.h"
#include "media/gpu/FontManager.h"
#include "media/gpu/ResourceBuffer.h"
#include "media/text/PresetColorSource.h"
#include "media/text/TextDraw.h"
#include "render/VideoPass.h"

namespace Effect {

namespace {

constexpr const wchar_t* kNoMove = L"移動無し";
constexpr size_t kDisplayNameLength = 100;

std::atomic<TextInput::InlineScripts*> installedScripts{nullptr};

// The inline script blocks of a text as the pattern "<\?([\s\S]*?)\?>"
// finds them: each from a "<?" to the first "?>" after it, the search going on
// after the block. Scanned by hand: a regular expression engine recurses per
// character of a block and runs out of stack on a long one.
struct ScriptBlock {
    size_t start, length;          // the whole block
    size_t codeStart, codeLength;  // between the delimiters
};
std::vector<ScriptBlock> scriptBlocks(const std::wstring& text) {
    std::vector<ScriptBlock> blocks;
    size_t from = 0;
    while (true) {
        const size_t open = text.find(L"<?", from);
        if (open == std::wstring::npos) break;
        const size_t close = text.find(L"?>", open + 2);
        if (close == std::wstring::npos) break;
        blocks.push_back({open, close + 2 - open, open + 2, close - open - 2});
        from = close + 2;
    }
    return blocks;
}

bool sameColor(const Media::ColorRgba& a, const Media::ColorRgba& b) {
    return a.r == b.r && a.g == b.g && a.b == b.b && a.a == b.a;
}

Media::ColorRgba rgba(const EffectItemColor& c) {
    return {float(c.red) / 255.0f, float(c.green) / 255.0f, float(c.blue) / 255.0f, 1.0f};
}

// The drawn block's size in whole pixels.
uint32_t blockSide(float extent) {
    const float side = std::ceil(extent);
    return side >= 1 && std::isfinite(side) ? uint32_t(std::min(side, 1.0e9f)) : 0;
}

}  // namespace

// What the image depends on besides the time, the layout's record of when
// each character shows, the characters the image holds and the image.
struct TextInput::Drawn {
    struct Inputs {
        std::wstring text, family;
        float size = 0, letterSpacing = 0, lineSpacing = 0, line = 0, outline = 0, shadow = 0;
        double speed = 0;
        bool vertical = false, round = false, bold = false, italic = false;
        Media::ColorRgba color1, color2;
        uint32_t presets = 0;  // the preset colours' generation the tags were read with

        static Inputs of(const Media::TextDraw& layout, const LayoutText& texts) {
            Inputs in;
            in.text = texts.text;
            in.family = texts.family;
            in.size = layout.baseSize;
            in.letterSpacing = layout.letterSpacing;
            in.lineSpacing = layout.lineSpacing;
            in.line = layout.alignment;
            in.outline = layout.outlineRatio;
            in.shadow = layout.shadowRatio;
            in.speed = layout.displaySpeed;
            in.vertical = layout.vertical;
            in.round = layout.roundJoins;
            in.bold = layout.bold;
            in.italic = layout.italic;
            in.color1 = layout.baseColor1;
            in.color2 = layout.baseColor2;
            in.presets = Media::PresetColorSource::generation.load();
            return in;
        }
        bool operator==(const Inputs& o) const {
            return text == o.text && family == o.family && size == o.size && letterSpacing == o.letterSpacing &&
                   lineSpacing == o.lineSpacing && line == o.line && outline == o.outline && shadow == o.shadow &&
                   speed == o.speed && vertical == o.vertical && round == o.round && bold == o.bold &&
                   italic == o.italic && sameColor(color1, o.color1) && sameColor(color2, o.color2) &&
                   presets == o.presets;
        }
    };

    Inputs inputs;
    Media::TextDraw::Reveal reveal;
    uint32_t first = 0, end = 0;
    uint32_t width = 0, height = 0;
    std::shared_ptr<Media::ResourceBuffer> image;
};

TextInput::TextInput() {
    role = kInput;
    media = kVideo;
    placement = kVideo;
    showSpeed.notify = 1;
    decoration.layout.width = 0.4f;
    alignment.layout.width = 0.4f;
    bold.layout.width = 0.1f;
    italic.layout.width = 0.1f;
    text.notify = 1;
    separate.notify = 1;
    autoLength.notify = 1;
}

TextInput::~TextInput() = default;

TextInput::InlineScripts* TextInput::setInlineScripts(InlineScripts* scripts) {
    return installedScripts.exchange(scripts);
}

std::shared_ptr<const EffectItemSelect::SharedList> TextInput::decorationList() {
    static const std::shared_ptr<const EffectItemSelect::SharedList> list = [] {
        auto l = EffectItemSelect::SharedList::create();
        const wchar_t* names[] = {L"標準文字",       L"影付き文字",     L"影付き文字(薄)", L"縁取り文字",
                                  L"縁取り文字(細)", L"縁取り文字(太)", L"縁取り文字(角)"};
        for (int32_t i = 0; i < 7; ++i) l->insert(i, names[i]);
        return l;
    }();
    return list;
}

std::shared_ptr<const EffectItemSelect::SharedList> TextInput::alignmentList() {
    static const std::shared_ptr<const EffectItemSelect::SharedList> list = [] {
        auto l = EffectItemSelect::SharedList::create();
        const wchar_t* names[] = {L"左寄せ[上]",    L"中央揃え[上]",  L"右寄せ[上]",    L"左寄せ[中]",
                                  L"中央揃え[中]",  L"右寄せ[中]",    L"左寄せ[下]",    L"中央揃え[下]",
                                  L"右寄せ[下]",    L"縦書 上寄[右]", L"縦書 中央[右]", L"縦書 下寄[右]",
                                  L"縦書 上寄[中]", L"縦書 中央[中]", L"縦書 下寄[中]", L"縦書 上寄[左]",
                                  L"縦書 中央[左]", L"縦書 下寄[左]"};
        for (int32_t i = 0; i < 18; ++i) l->insert(i, names[i]);
        return l;
    }();
    return list;
}

const TextInput::Decoration& TextInput::decorationRow(int32_t key) {
    static const Decoration rows[] = {
        {0, 0, true},      {0, 1.0f, true},   {0, 0.5f, true},    {0.15f, 0, true},
        {0.075f, 0, true}, {0.225f, 0, true}, {0.075f, 0, false},
    };
    return key >= 0 && size_t(key) < std::size(rows) ? rows[key] : rows[0];
}

const TextInput::Alignment& TextInput::alignmentRow(int32_t key) {
    static const Alignment rows[] = {
        {-0.5f, -0.5f, 0, false}, {0, -0.5f, 0.5f, false}, {0.5f, -0.5f, 1, false}, {-0.5f, 0, 0, false},
        {0, 0, 0.5f, false},      {0.5f, 0, 1, false},     {-0.5f, 0.5f, 0, false}, {0, 0.5f, 0.5f, false},
        {0.5f, 0.5f, 1, false},   {0.5f, -0.5f, 0, true},  {0.5f, 0, 0.5f, true},   {0.5f, 0.5f, 1, true},
        {0, -0.5f, 0, true},      {0, 0, 0.5f, true},      {0, 0.5f, 1, true},      {-0.5f, -0.5f, 0, true},
        {-0.5f, 0, 0.5f, true},   {-0.5f, 0.5f, 1, true},
    };
    return key >= 0 && size_t(key) < std::size(rows) ? rows[key] : rows[0];
}

std::wstring TextInput::expandScript(const std::wstring& code, Render::RenderContext* context) {
    const std::wstring run = !code.empty() && code[0] == L'=' ? L"mes(" + code.substr(1) + L")" : code;
    InlineScripts* scripts = installedScripts.load();
    if (scripts == nullptr) {
        // No script host in this program: the block shows as empty text, said once.
        static std::atomic<bool> said{false};
        if (!said.exchange(true))
            System::Log::warn("Effect::TextInput::expandScript", "script exception: %s", "no script engine.");
        return {};
    }
    try {
        return scripts->run(*this, run, context);
    } catch (const std::exception& e) {
        System::Log::warn("Effect::TextInput::expandScript", "script exception: %s", e.what());
    }
    return {};
}

void TextInput::buildTextLayout(Media::TextDraw& layout, LayoutText& texts, Render::RenderContext* context,
                                const Alignment& align, const Decoration& decor) {
    // Inline scripts: every block runs; each replaces all copies of itself.
    const std::wstring& source = text.text;
    texts.text = source;
    for (const ScriptBlock& block : scriptBlocks(source)) {
        const std::wstring written = expandScript(source.substr(block.codeStart, block.codeLength), context);
        System::replaceAll(texts.text, source.substr(block.start, block.length), written);
    }

    const Media::ColorRgba textColor = rgba(color);
    const Media::ColorRgba edgeColor = decoration.index != 0 ? rgba(shadowColor) : textColor;

    double speed, lines, letters, points, elapsed = 0;
    if (context != nullptr) {
        speed = showSpeed.getValue(*context);
        lines = lineSpacing.getValue(*context);
        letters = spacing.getValue(*context);
        points = size.getValue(*context);
        if (context->scene != nullptr && context->object) {
            const double rate = modelQueries().sceneRate(*context->scene);
            const double scale = modelQueries().sceneScale(*context->scene);
            if (rate > 0)
                elapsed = (context->preciseFrame - modelQueries().objectStart(*context->object)) * scale / rate;
        }
    } else {
        speed = showSpeed.keyValue(0);
        lines = lineSpacing.keyValue(0);
        letters = spacing.keyValue(0);
        points = size.keyValue(0);
    }

    const auto& fonts = font.options != nullptr ? font.options->indexMap : EffectItemFontSelect::getFontList().indexMap;
    const auto found = fonts.find(font.index);
    if (found == fonts.end()) throw std::out_of_range("invalid map<K, T> key");
    texts.family = found->second != nullptr ? found->second : L"";
    if (texts.family.empty()) texts.family = Media::FontManager::defaultFamilyName();

    layout.text = texts.text.c_str();
    layout.time = elapsed;
    layout.vertical = align.vertical;
    layout.alignment = align.line;
    layout.letterSpacing = float(letters);
    layout.lineSpacing = float(lines);
    layout.baseFamily = texts.family.c_str();
    layout.baseSize = float(points);
    layout.bold = bold.value != 0;
    layout.italic = italic.value != 0;
    layout.baseColor1 = textColor;
    layout.baseColor2 = edgeColor;
    layout.outlineRatio = decor.edge;
    layout.shadowRatio = decor.shadow;
    layout.roundJoins = decor.round;
    layout.displaySpeed = speed;
}

std::shared_ptr<Media::ResourceBuffer> TextInput::inputVideo(Render::RenderContext& context) {
    if (text.text.empty()) return nullptr;
    const Alignment& align = alignmentRow(alignment.index);
    const Decoration& decor = decorationRow(decoration.index);
    Media::TextDraw layout;
    LayoutText texts;
    buildTextLayout(layout, texts, &context, align, decor);

    if (separate.value) {
        layout.individual = true;
        layout.measure();
        drawEachCharacter(context, layout);
        return nullptr;
    }

    const auto place = [&](const Drawn& d) {
        context.view.centerX = float(d.width) * align.anchorX;
        context.view.centerY = float(d.height) * align.anchorY;
        return d.image;
    };
    Drawn::Inputs inputs = Drawn::Inputs::of(layout, texts);
    std::shared_ptr<const Drawn> last;
    {
        const std::lock_guard guard(drawnMutex_);
        last = drawn_;
    }
    if (last && last->inputs == inputs) {
        uint32_t first = 0, end = 0;
        last->reveal.visibleAt(layout.time, first, end);
        if (first == last->first && end == last->end) return place(*last);
    }

    layout.measure();
    auto drawn = std::make_shared<Drawn>();
    drawn->width = blockSide(layout.blockWidth());
    drawn->height = blockSide(layout.blockHeight());
    if (drawn->width == 0 || drawn->height == 0) return nullptr;
    drawn->image = std::make_shared<Media::ResourceBuffer>(drawn->width, drawn->height);
    // A new image: the drawing starts from transparent pixels instead of reading it back.
    layout.draw(*drawn->image, true);
    drawn->inputs = std::move(inputs);
    drawn->reveal = std::move(layout.reveal);
    drawn->reveal.visibleAt(layout.time, drawn->first, drawn->end);
    {
        const std::lock_guard guard(drawnMutex_);
        drawn_ = drawn;
    }
    return place(*drawn);
}

void TextInput::drawEachCharacter(Render::RenderContext& context, Media::TextDraw& layout) {
    context.count = int32_t(layout.characterIndex);
    const uint32_t width = blockSide(layout.blockWidth());
    const uint32_t height = blockSide(layout.blockHeight());
    if (width == 0 || height == 0) return;
    const float w = float(width), h = float(height);
    const Alignment& align = alignmentRow(alignment.index);

    // Every glyph is drawn into cells of one image, then cut out.
    const uint32_t atlasWidth = blockSide(layout.atlasWidth);
    const uint32_t atlasHeight = blockSide(layout.atlasHeight);
    std::shared_ptr<Media::ResourceBuffer> atlas;
    if (atlasWidth > 0 && atlasHeight > 0) {
        atlas = std::make_shared<Media::ResourceBuffer>(atlasWidth, atlasHeight);
        layout.draw(*atlas, true);
    }
    const auto drawGlyph = [&context](Render::RenderContext& copy, std::unique_ptr<Media::ResourceBuffer> cell) {
        std::shared_ptr<Media::ResourceBuffer> image = std::move(cell);
        image = Render::VideoPass::applyFilters(copy, std::move(image), nullptr, &context);
        if (image) Render::VideoPass::outputVideo(copy, image);
        if (copy.customShape) context.customShape = 1;
    };

    if (!onPath.value) {
        const float keepX = context.view.x, keepY = context.view.y;
        context.view.x = keepX - (0.5f + align.anchorX) * w;
        context.view.y = keepY - (0.5f + align.anchorY) * h;
        if (atlas)
            layout.drawEachGlyph(*atlas, [&](std::unique_ptr<Media::ResourceBuffer> cell, uint32_t index, float x,
                                             float y, float z) {
                Render::RenderContext copy = context;
                copy.index = int32_t(index);
                copy.view.x += x;
                copy.view.y += y;
                copy.view.z += z;
                drawGlyph(copy, std::move(cell));
            });
        context.view.x = keepX;
        context.view.y = keepY;
        context.view.centerX = w * align.anchorX;
        context.view.centerY = h * align.anchorY;
        context.keepTransform = 1;
        Render::VideoPass::updateOutputAnchor(context, int32_t(width), int32_t(height));
        return;
    }

    // Along the path: each glyph sits where the object is at the fraction of
    // the block its advance position reaches, turned to the path's direction.
    const bool vertical = align.vertical;
    float length = vertical ? h : w;
    if (length <= 1) length = 1000000;
    const float cross = vertical ? -(0.5f + align.anchorX) * w : -(align.anchorY + 0.5f) * h;
    const int32_t start = context.object ? modelQueries().objectStart(*context.object) : context.frame;
    const int32_t end = context.object ? modelQueries().objectEnd(*context.object) : context.frame;
    const auto positionAt = [&](double fraction) {
        const double frame = start + double(end - start) * fraction;
        Render::RenderContext at = context;
        at.frame = int32_t(frame);
        at.preciseFrame = frame;
        if (at.object) at.section = Render::SectionPosition::locate(*at.object, at.frame, at.preciseFrame);
        return at.getOutputView();
    };
    if (atlas)
        layout.drawEachGlyph(*atlas, [&](std::unique_ptr<Media::ResourceBuffer> cell, uint32_t index, float x, float y,
                                         float z) {
            const float p = vertical ? y : x;
            const float g = float(vertical ? cell->height : cell->width);
            const OutputView a = positionAt(std::clamp(double(p) / length, 0.0, 1.0));
            const OutputView b = positionAt(std::clamp(double(p + g) / length, 0.0, 1.0));
            double u = a.x == b.x && a.y == b.y ? 0 : std::atan2(double(b.y) - a.y, double(b.x) - a.x);
            double dx, dy;
            if (vertical) {
                const double q = x + cross;
                dx = std::sin(u) * q;
                dy = -std::cos(u) * q;
                u -= 1.5707963267948966;
            } else {
                const double q = y + cross;
                dx = -std::sin(u) * q;
                dy = std::cos(u) * q;
            }
            Render::RenderContext copy = context;
            copy.index = int32_t(index);
            copy.view.x = float(a.x + dx);
            copy.view.y = float(a.y + dy);
            copy.view.z = a.z + z;
            copy.view.rotationZ += float(u * 57.295776);
            copy.keepPosition = 1;
            drawGlyph(copy, std::move(cell));
        });
    context.customShape = 1;
    context.keepTransform = 1;
    Render::VideoPass::updateOutputAnchor(context, 0, 0);
}

std::wstring TextInput::getDisplayName() const {
    const std::wstring& t = text.text;
    if (t.empty()) return EffectBase::getDisplayName();
    if (!displayText.empty()) return displayText;
    const bool hasControl = std::any_of(t.begin(), t.end(), [](wchar_t c) { return c < 0x20; });
    if (t.size() <= kDisplayNameLength && !hasControl) return t;
    std::wstring shown = t.substr(0, kDisplayNameLength);
    for (wchar_t& c : shown)
        if (c < 0x20) c = c == L'\n' ? wchar_t(0x23CE) : L' ';
    if (t.size() > kDisplayNameLength) shown += L"...";
    displayText = shown;
    return shown;
}

bool TextInput::itemEvent(const ItemEvent& event) {
    switch (event.kind) {
    case ItemEvent::kItemChanged:
        if (event.item == &separate) {
            if (event.scope) {
                event.scope->effectStateChanged = true;
                event.scope->effectsChanged = true;
            }
            return true;
        }
        displayText.clear();
        return fitObjectLengthToText(event);
    case ItemEvent::kStartMoved:
    case ItemEvent::kEndMoved: return fitObjectLengthToText(event);
    default: return false;
    }
}

void TextInput::updateItemState() { onPath.shown = separate.value; }

bool TextInput::fitObjectLengthToText(const ItemEvent& event) {
    if (!autoLength.value || !event.object || !event.object->midpoints.empty()) return false;
    if (!showSpeed.movement || std::wcscmp(showSpeed.movement->name, kNoMove) != 0) return false;
    Edit::Scene* scene = event.scope ? event.scope->scene.get() : nullptr;
    if (scene == nullptr || scene->videoRate <= 0 || scene->videoScale <= 0) return false;
    Media::TextDraw layout;
    LayoutText texts;
    buildTextLayout(layout, texts, nullptr, alignmentRow(alignment.index), decorationRow(decoration.index));
    layout.measure();
    const double time = layout.displayTime;
    if (!(time > 0)) return false;
    if (event.kind == ItemEvent::kItemChanged)
        if (Undo::UndoService* undo = Undo::UndoService::get()) undo->addObjectUndoUpdate(event.object);
    event.scope->objectChanged = true;
    event.scope->layersChanged = true;
    const double frames = std::lround(double(scene->videoRate) * time / double(scene->videoScale));
    const int32_t length = int32_t(std::clamp(frames, 1.0, 2147483647.0));
    scene->resizeObjectLength(*event.object, length, event.kind == ItemEvent::kStartMoved);
    return true;
}

}  // namespace Effect
