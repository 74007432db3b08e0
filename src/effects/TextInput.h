#pragma once
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "core/Color.h"
#include "effect/EffectClass.h"
#include "effect/EffectItemCheck.h"
#include "effect/EffectItemCheckButton.h"
#include "effect/EffectItemColor.h"
#include "effect/EffectItemFontSelect.h"
#include "effect/EffectItemNumber.h"
#include "effect/EffectItemSelectButton.h"
#include "effect/EffectItemText.h"

namespace Media {
class TextDraw;
}

namespace Effect {

// Text drawn with a font, decoration and alignment: as one image, revealed
// character by character over time, or one character at a time through the
// object's filters and output, optionally along the object's movement path.
// Inline script blocks ("<?code?>") are replaced by what their code writes.
class TextInput : public EffectClass<TextInput> {
public:
    static constexpr const wchar_t* kName = L"テキスト";

    EffectItemNumber size{&items, L"サイズ", 40, 1, 1000, 0.01};
    EffectItemNumber spacing{&items, L"字間", 0, -100, 100, 0.01};
    EffectItemNumber lineSpacing{&items, L"行間", 0, -100, 100, 0.01};
    EffectItemNumber showSpeed{&items, L"表示速度", 0, 0, 100, 0.01};
    EffectItemFontSelect font{&items, L"フォント"};
    EffectItemColor color{&items, L"文字色", 255, 255, 255};
    EffectItemColor shadowColor{&items, L"影・縁色", 0, 0, 0};
    EffectItemSelectButton decoration{&items, L"文字装飾", 0, decorationList()};
    EffectItemSelectButton alignment{&items, L"文字揃え", 0, alignmentList()};
    EffectItemCheckButton bold{&items, L"B"};
    EffectItemCheckButton italic{&items, L"I"};
    EffectItemText text{&items, L"テキスト"};
    EffectItemCheck separate{&items, L"文字毎に個別オブジェクト"};
    EffectItemCheck onPath{&items, L"移動座標上に表示"};
    EffectItemCheck autoLength{&items, L"オブジェクトの長さを自動調節"};

    // A row of the decoration list: edge width = edge x size; a shadow factor
    // above 0 draws a shadow of that strength; round: curved edge corners.
    struct Decoration {
        float edge, shadow;
        bool round;
    };
    // A row of the alignment list: the image point placed at the object's
    // position (fractions of the size from the centre), where each line sits
    // in the block (0 start, 0.5 centre, 1 end) and the writing direction.
    struct Alignment {
        float anchorX, anchorY, line;
        bool vertical;
    };
    // The row of a key; a key outside the list takes row 0.
    static const Decoration& decorationRow(int32_t key);
    static const Alignment& alignmentRow(int32_t key);

    // Runs the code of inline script blocks. The script host installs one at
    // start-up; without one every block shows as empty text.
    class InlineScripts {
    public:
        virtual ~InlineScripts() = default;
        // The text the code wrote; throws when the code fails. `context` is
        // null while the text is only measured.
        virtual std::wstring run(TextInput& effect, const std::wstring& code, Render::RenderContext* context) = 0;
    };
    // Returns the runner installed before.
    static InlineScripts* setInlineScripts(InlineScripts* scripts);

    TextInput();
    ~TextInput() override;

    std::shared_ptr<Media::ResourceBuffer> inputVideo(Render::RenderContext& context) override;
    std::wstring getDisplayName() const override;
    bool itemEvent(const ItemEvent& event) override;
    void updateItemState() override;

    // The texts the drawer points into while it works.
    struct LayoutText {
        std::wstring text;    // after the script blocks ran
        std::wstring family;  // the font's family name
    };
    // Fills the drawer's inputs. Without a context the first key values are
    // taken and the time is 0. Throws std::out_of_range for a font key the
    // font list lacks.
    void buildTextLayout(Media::TextDraw& layout, LayoutText& texts, Render::RenderContext* context,
                         const Alignment& align, const Decoration& decor);
    // What one block's code writes; "=expr" writes the expression's value.
    // A failing block writes nothing and is logged.
    std::wstring expandScript(const std::wstring& code, Render::RenderContext* context);
    // Each character through the object's filters and output.
    void drawEachCharacter(Render::RenderContext& context, Media::TextDraw& layout);
    // Resizes the object to the reveal time of its text; true when it did.
    bool fitObjectLengthToText(const ItemEvent& event);

    // The display name's cache for texts that need shortening or cleaning.
    mutable std::wstring displayText;

private:
    static std::shared_ptr<const EffectItemSelect::SharedList> decorationList();
    static std::shared_ptr<const EffectItemSelect::SharedList> alignmentList();

    // The last image made, handed out again while the inputs and the set of
    // characters shown stay the same, so unchanged text is laid out and
    // drawn once. The preview and the export may render at once.
    struct Drawn;
    std::mutex drawnMutex_;
    std::shared_ptr<const Drawn> drawn_;
};

}  // namespace Effect
