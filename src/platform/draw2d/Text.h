#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/draw2d/Font.h"
#include "platform/draw2d/Types.h"

namespace Platform::draw2d {

enum class WordWrapping : uint32_t { Wrap = 0, NoWrap = 1 };
enum class TrimmingGranularity : uint32_t { None = 0, Character = 1, Word = 2 };

// What a layout's overflow shows: the ellipsis of a format.
class TrimmingSign {
public:
    explicit TrimmingSign(std::string family) : family_(std::move(family)) {}
    const std::string& family() const { return family_; }

private:
    std::string family_;
};

// How text is set: a family (UTF-8), a size in pixels, weight, style,
// stretch and a locale, wrapped at word ends or not at all. Text is
// anti-aliased in grey and placed at fractional positions.
class TextFormat {
public:
    // kInvalidArg for an empty family or a size that is not above 0.
    static Result create(std::string_view family, int32_t weight, FontStyle style, int32_t stretch, float size,
                         std::string_view locale, std::unique_ptr<TextFormat>& out);
    ~TextFormat();
    TextFormat(const TextFormat&) = delete;
    TextFormat& operator=(const TextFormat&) = delete;

    const std::string& familyName() const { return family_; }
    float fontSize() const { return size_; }
    int32_t weight() const { return weight_; }
    FontStyle style() const { return style_; }
    int32_t stretch() const { return stretch_; }
    const std::string& localeName() const { return locale_; }
    void setWordWrapping(WordWrapping wrapping) { wrapping_ = wrapping; }
    WordWrapping wordWrapping() const { return wrapping_; }
    std::unique_ptr<TrimmingSign> createEllipsisTrimmingSign() const;

    // Inside the layer: the Pango description.
    void* description() const { return description_; }

private:
    TextFormat() = default;
    std::string family_;
    float size_ = 0;
    int32_t weight_ = kWeightNormal;
    FontStyle style_ = FontStyle::Normal;
    int32_t stretch_ = kStretchNormal;
    std::string locale_;
    WordWrapping wrapping_ = WordWrapping::Wrap;
    void* description_ = nullptr;  // PangoFontDescription
};

// The measures of a laid-out text, in pixels. `width` leaves out the blanks
// that end a line; an empty text is one line high.
struct TextMetrics {
    float left = 0;
    float top = 0;
    float width = 0;
    float widthIncludingTrailingWhitespace = 0;
    float height = 0;
    float layoutWidth = 0;
    float layoutHeight = 0;
    uint32_t lineCount = 0;
};

// A text laid out in a format within a box.
class TextLayout {
public:
    // `text` in UTF-8; invalid sequences are shown as replacement characters.
    static Result create(std::string_view text, const TextFormat& format, float maxWidth, float maxHeight,
                         std::unique_ptr<TextLayout>& out);
    ~TextLayout();
    TextLayout(const TextLayout&) = delete;
    TextLayout& operator=(const TextLayout&) = delete;

    Result metrics(TextMetrics& out) const;
    // Negative and not-a-number widths are invalid (kInvalidArg).
    Result setMaxWidth(float width);
    float maxWidth() const { return maxWidth_; }
    float maxHeight() const { return maxHeight_; }
    // Overflow past the maximum width is cut and ends in the sign (null: just cut).
    Result setTrimming(TrimmingGranularity granularity, const TrimmingSign* sign);
    TrimmingGranularity trimming() const { return trimming_; }

    // Inside the layer: the Pango layout.
    void* layout() const { return layout_; }

private:
    TextLayout() = default;
    void applyWidth();
    float maxWidth_ = 0;
    float maxHeight_ = 0;
    WordWrapping wrapping_ = WordWrapping::Wrap;
    TrimmingGranularity trimming_ = TrimmingGranularity::None;
    bool ellipsis_ = false;
    void* layout_ = nullptr;  // PangoLayout
};

}  // namespace Platform::draw2d
