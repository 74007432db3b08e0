#include "platform/draw2d/Font.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_COLOR_H
#include FT_OUTLINE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H
#include <hb-ft.h>
#include <hb-ot.h>
#include <hb.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <map>
#include <mutex>

#include "platform/draw2d/Geometry.h"
#include "platform/draw2d/Lock.h"

namespace Platform::draw2d {

namespace {

std::string lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = char(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::string languageOf(std::string_view locale) {
    const size_t cut = locale.find_first_of("-_");
    return lower(locale.substr(0, cut));
}

FT_Library library() {
    static FT_Library lib = [] {
        FT_Library l = nullptr;
        FT_Init_FreeType(&l);
        return l;
    }();
    return lib;
}

// Fontconfig's weight, width and slant as the program's numbers.
int32_t weightOf(double fcWeight) {
    const int w = FcWeightToOpenType(int(std::lround(fcWeight)));
    return std::clamp(w, 1, 999);
}

int32_t stretchOf(int fcWidth) {
    static const int widths[] = {50, 63, 75, 87, 100, 113, 125, 150, 200};
    int best = 0;
    for (int i = 1; i < 9; ++i)
        if (std::abs(widths[i] - fcWidth) < std::abs(widths[best] - fcWidth)) best = i;
    return best + 1;
}

FontStyle styleOf(int slant) {
    if (slant >= FC_SLANT_OBLIQUE) return FontStyle::Oblique;
    if (slant >= FC_SLANT_ITALIC) return FontStyle::Italic;
    return FontStyle::Normal;
}

// The names of one kind of a pattern with their languages: per language, the
// first name is the family's and the last is the face's older family name.
void namesOf(FcPattern* p, const char* object, const char* langObject, std::vector<LocalizedName>& first,
             std::vector<LocalizedName>& last) {
    FcChar8* value = nullptr;
    for (int i = 0; FcPatternGetString(p, object, i, &value) == FcResultMatch; ++i) {
        FcChar8* lang = nullptr;
        std::string locale = FcPatternGetString(p, langObject, i, &lang) == FcResultMatch
                                 ? lower(reinterpret_cast<const char*>(lang))
                                 : std::string("en");
        const std::string name = reinterpret_cast<const char*>(value);
        auto same = [&](const LocalizedName& n) { return n.locale == locale; };
        if (std::find_if(first.begin(), first.end(), same) == first.end()) first.push_back({locale, name});
        auto it = std::find_if(last.begin(), last.end(), same);
        if (it == last.end())
            last.push_back({locale, name});
        else
            it->name = name;
    }
}

int styleRank(FontStyle wanted, FontStyle have) {
    if (wanted == have) return 0;
    if (wanted == FontStyle::Normal) return have == FontStyle::Oblique ? 1 : 2;
    if (have != FontStyle::Normal) return 1;  // italic for oblique and the reverse
    return 2;
}

// Lower is better: the order in which weights are tried for a wanted weight.
int64_t weightRank(int32_t wanted, int32_t have) {
    if (have == wanted) return 0;
    if (wanted >= 400 && wanted <= 500) {
        if (have > wanted && have <= 500) return have - wanted;
        if (have < wanted) return 1000 + (wanted - have);
        return 2000 + (have - wanted);
    }
    if (wanted < 400) return have < wanted ? wanted - have : 1000 + (have - wanted);
    return have > wanted ? have - wanted : 1000 + (wanted - have);
}

int64_t stretchRank(int32_t wanted, int32_t have) {
    if (have == wanted) return 0;
    if (wanted <= kStretchNormal) return have < wanted ? wanted - have : 100 + (have - wanted);
    return have > wanted ? have - wanted : 100 + (wanted - have);
}

}  // namespace

const LocalizedName* findLocalizedName(const std::vector<LocalizedName>& names, std::string_view locale) {
    const std::string wanted = lower(locale);
    for (const LocalizedName& n : names)
        if (lower(n.locale) == wanted) return &n;
    const std::string language = languageOf(wanted);
    for (const LocalizedName& n : names)
        if (n.locale.find_first_of("-_") == std::string::npos && lower(n.locale) == language) return &n;
    return nullptr;
}

Result FontCollection::system(std::shared_ptr<FontCollection>& out) {
    // The layer's lock, not one of its own: a caller may hold that one already.
    std::lock_guard lock(layerLock());
    static std::shared_ptr<FontCollection> made;
    if (!made) {
        Result r = build(made);
        if (failed(r)) return r;
    }
    out = made;
    return kOk;
}

Result FontCollection::build(std::shared_ptr<FontCollection>& out) {
    std::lock_guard lock(layerLock());
    if (!FcInit()) return kFail;
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, FC_FAMILYLANG, FC_STYLE, FC_STYLELANG, FC_WEIGHT, FC_WIDTH,
                                            FC_SLANT, FC_FILE, FC_INDEX, nullptr);
    FcFontSet* set = FcFontList(nullptr, pattern, objects);
    FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);
    if (set == nullptr) return kFail;
    auto collection = std::make_shared<FontCollection>();
    std::map<std::string, std::shared_ptr<FontFamily>> byName;  // sorted by the family name
    for (int i = 0; i < set->nfont; ++i) {
        FcPattern* p = set->fonts[i];
        FcChar8* file = nullptr;
        if (FcPatternGetString(p, FC_FILE, 0, &file) != FcResultMatch) continue;
        std::vector<LocalizedName> familyNames, win32Names, styleFirst, styleLast;
        namesOf(p, FC_FAMILY, FC_FAMILYLANG, familyNames, win32Names);
        namesOf(p, FC_STYLE, FC_STYLELANG, styleFirst, styleLast);
        if (familyNames.empty()) continue;
        const LocalizedName* key = findLocalizedName(familyNames, "en-us");
        const std::string name = key != nullptr ? key->name : familyNames.front().name;
        auto& family = byName[name];
        if (!family) {
            family = std::make_shared<FontFamily>();
            family->names_ = familyNames;
        }
        auto font = std::make_shared<Font>();
        font->family_ = family;
        double weight = FC_WEIGHT_REGULAR;
        FcPatternGetDouble(p, FC_WEIGHT, 0, &weight);
        int width = FC_WIDTH_NORMAL, slant = FC_SLANT_ROMAN, index = 0;
        FcPatternGetInteger(p, FC_WIDTH, 0, &width);
        FcPatternGetInteger(p, FC_SLANT, 0, &slant);
        FcPatternGetInteger(p, FC_INDEX, 0, &index);
        font->weight_ = weightOf(weight);
        font->stretch_ = stretchOf(width);
        font->style_ = styleOf(slant);
        font->win32Names_ = win32Names;
        font->faceNames_ = styleLast;
        font->file_ = reinterpret_cast<const char*>(file);
        font->index_ = static_cast<uint32_t>(index);
        family->fonts_.push_back(font);
    }
    FcFontSetDestroy(set);
    for (auto& [name, family] : byName) {
        std::stable_sort(family->fonts_.begin(), family->fonts_.end(), [](const auto& a, const auto& b) {
            if (a->stretch_ != b->stretch_) return a->stretch_ < b->stretch_;
            if (a->weight_ != b->weight_) return a->weight_ < b->weight_;
            if (a->style_ != b->style_) return a->style_ < b->style_;
            return a->file_ < b->file_;
        });
        collection->families_.push_back(family);
    }
    out = std::move(collection);
    return kOk;
}

bool FontCollection::findFamilyName(std::string_view name, uint32_t& index) const {
    const std::string wanted = lower(name);
    for (uint32_t i = 0; i < families_.size(); ++i)
        for (const LocalizedName& n : families_[i]->names_)
            if (lower(n.name) == wanted) {
                index = i;
                return true;
            }
    index = 0;
    return false;
}

Result FontFamily::firstMatchingFont(int32_t weight, int32_t stretch, FontStyle style,
                                     std::shared_ptr<Font>& out) const {
    out.reset();
    if (fonts_.empty()) return kNoFont;
    weight = std::clamp(weight, 1, 999);
    const Font* best = nullptr;
    for (const auto& f : fonts_) {
        if (best == nullptr) {
            best = f.get();
            continue;
        }
        auto key = [&](const Font& x) {
            return std::tuple(stretchRank(stretch, x.stretch_), styleRank(style, x.style_),
                              weightRank(weight, x.weight_));
        };
        if (key(*f) < key(*best)) best = f.get();
    }
    uint32_t simulations = 0;
    if (weight >= 600 && best->weight_ <= 500) simulations |= kSimulationBold;
    if (style != FontStyle::Normal && best->style_ == FontStyle::Normal) simulations |= kSimulationOblique;
    for (const auto& f : fonts_)
        if (f.get() == best && simulations == 0) {
            out = f;
            return kOk;
        }
    auto made = std::make_shared<Font>(*best);
    made->simulations_ = simulations;
    if (simulations & kSimulationBold) made->weight_ = kWeightBold;
    if (simulations & kSimulationOblique) made->style_ = FontStyle::Oblique;
    out = std::move(made);
    return kOk;
}

namespace {

// The face's design metrics from its tables: the typographic values when the
// face asks for them, else the Windows ascent and descent with the line gap
// that makes up the horizontal header's line height.
FontMetrics readMetrics(FT_Face face) {
    FontMetrics m;
    m.designUnitsPerEm = face->units_per_EM;
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    const auto* hhea = static_cast<const TT_HoriHeader*>(FT_Get_Sfnt_Table(face, FT_SFNT_HHEA));
    const auto* post = static_cast<const TT_Postscript*>(FT_Get_Sfnt_Table(face, FT_SFNT_POST));
    const int hheaAscent = hhea != nullptr ? hhea->Ascender : face->ascender;
    const int hheaDescent = hhea != nullptr ? -hhea->Descender : -face->descender;
    const int hheaGap = hhea != nullptr ? hhea->Line_Gap : 0;
    if (os2 != nullptr && os2->version != 0xFFFF) {
        if (os2->fsSelection & 0x80) {
            m.ascent = uint16_t(std::max<int>(0, os2->sTypoAscender));
            m.descent = uint16_t(std::max<int>(0, -os2->sTypoDescender));
            m.lineGap = os2->sTypoLineGap;
        } else {
            m.ascent = os2->usWinAscent;
            m.descent = os2->usWinDescent;
            m.lineGap = int16_t(std::max(0, hheaAscent + hheaDescent + hheaGap - (m.ascent + m.descent)));
        }
        m.capHeight = os2->version >= 2 ? uint16_t(std::max<int>(0, os2->sCapHeight)) : 0;
        m.xHeight = os2->version >= 2 ? uint16_t(std::max<int>(0, os2->sxHeight)) : 0;
        m.strikethroughPosition = os2->yStrikeoutPosition;
        m.strikethroughThickness = uint16_t(std::max<int>(0, os2->yStrikeoutSize));
    } else {
        m.ascent = uint16_t(std::max(0, hheaAscent));
        m.descent = uint16_t(std::max(0, hheaDescent));
        m.lineGap = int16_t(hheaGap);
    }
    // Estimates where the tables leave them out.
    if (m.capHeight == 0) m.capHeight = uint16_t(m.designUnitsPerEm * 7 / 10);
    if (m.xHeight == 0) m.xHeight = uint16_t(m.designUnitsPerEm / 2);
    if (m.strikethroughThickness == 0) {
        m.strikethroughThickness = uint16_t(std::max(1, m.designUnitsPerEm / 20));
        m.strikethroughPosition = int16_t(m.xHeight / 2);
    }
    if (post != nullptr) {
        m.underlinePosition = int16_t(post->underlinePosition);
        m.underlineThickness = uint16_t(std::max<FT_Short>(0, post->underlineThickness));
    }
    return m;
}

}  // namespace

std::unique_ptr<FontFace> FontFace::open(const std::string& file, uint32_t index, uint32_t simulations) {
    std::lock_guard lock(layerLock());
    FT_Face face = nullptr;
    if (FT_New_Face(library(), file.c_str(), FT_Long(index), &face) != 0) return nullptr;
    std::unique_ptr<FontFace> made(new FontFace());
    made->face_ = face;
    made->hbFace_ = hb_ft_face_create_referenced(face);
    made->simulations_ = simulations;
    made->metrics_ = readMetrics(face);
    return made;
}

Result Font::createFontFace(std::unique_ptr<FontFace>& out) const {
    out = FontFace::open(file_, index_, simulations_);
    return out ? kOk : kFail;
}

Result Font::metrics(FontMetrics& out) const {
    std::unique_ptr<FontFace> face;
    Result r = createFontFace(face);
    if (failed(r)) return r;
    out = face->metrics();
    return kOk;
}

FontFace::~FontFace() {
    std::lock_guard lock(layerLock());
    if (hbFace_ != nullptr) hb_face_destroy(static_cast<hb_face_t*>(hbFace_));
    if (face_ != nullptr) FT_Done_Face(static_cast<FT_Face>(face_));
}

uint16_t FontFace::glyphCount() const {
    return uint16_t(std::min<FT_Long>(0xFFFF, static_cast<FT_Face>(face_)->num_glyphs));
}

void FontFace::glyphIndices(const uint32_t* codePoints, uint32_t count, uint16_t* glyphs) const {
    std::lock_guard lock(layerLock());
    FT_Face face = static_cast<FT_Face>(face_);
    for (uint32_t i = 0; i < count; ++i) {
        const FT_UInt g = FT_Get_Char_Index(face, codePoints[i]);
        glyphs[i] = g > 0xFFFF ? 0 : uint16_t(g);
    }
}

const FontFace* FontFace::fallbackFor(uint32_t codePoint) const {
    std::lock_guard lock(layerLock());
    FT_Face face = static_cast<FT_Face>(face_);
    if (FT_Get_Char_Index(face, codePoint) != 0) return this;
    const auto byCode = [](const std::pair<uint32_t, const FontFace*>& entry, uint32_t code) {
        return entry.first < code;
    };
    auto known = std::lower_bound(fallbackByCode_.begin(), fallbackByCode_.end(), codePoint, byCode);
    if (known != fallbackByCode_.end() && known->first == codePoint) return known->second;
    const FontFace* found = this;
    // A face found before for a neighbour of the character likely has it too.
    for (const auto& other : fallbacks_)
        if (FT_Get_Char_Index(static_cast<FT_Face>(other->face_), codePoint) != 0) {
            found = other.get();
            break;
        }
    const bool bold = (face->style_flags & FT_STYLE_FLAG_BOLD) != 0 || (simulations_ & kSimulationBold) != 0;
    const bool slanted = (face->style_flags & FT_STYLE_FLAG_ITALIC) != 0 || (simulations_ & kSimulationOblique) != 0;
    if (found == this && FcInit()) {
        // As the text layout does: the faces ranked for this family and style
        // with the character asked for, the first that has it.
        FcPattern* pattern = FcPatternCreate();
        if (face->family_name != nullptr)
            FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(face->family_name));
        FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
        FcPatternAddInteger(pattern, FC_SLANT, slanted ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
        FcCharSet* wanted = FcCharSetCreate();
        FcCharSetAddChar(wanted, codePoint);
        FcPatternAddCharSet(pattern, FC_CHARSET, wanted);
        FcCharSetDestroy(wanted);
        FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult result = FcResultNoMatch;
        FcFontSet* sorted = FcFontSort(nullptr, pattern, FcFalse, nullptr, &result);
        FcPatternDestroy(pattern);
        for (int i = 0; sorted != nullptr && i < sorted->nfont; ++i) {
            FcPattern* candidate = sorted->fonts[i];
            FcCharSet* charset = nullptr;
            FcChar8* file = nullptr;
            FcBool outline = FcFalse;
            if (FcPatternGetCharSet(candidate, FC_CHARSET, 0, &charset) != FcResultMatch ||
                !FcCharSetHasChar(charset, codePoint) ||
                FcPatternGetString(candidate, FC_FILE, 0, &file) != FcResultMatch ||
                (FcPatternGetBool(candidate, FC_OUTLINE, 0, &outline) == FcResultMatch && !outline))
                continue;
            int index = 0, weight = FC_WEIGHT_REGULAR, slant = FC_SLANT_ROMAN;
            FcPatternGetInteger(candidate, FC_INDEX, 0, &index);
            FcPatternGetInteger(candidate, FC_WEIGHT, 0, &weight);
            FcPatternGetInteger(candidate, FC_SLANT, 0, &slant);
            uint32_t simulations = 0;
            if (bold && weight < FC_WEIGHT_DEMIBOLD) simulations |= kSimulationBold;
            if (slanted && slant == FC_SLANT_ROMAN) simulations |= kSimulationOblique;
            std::unique_ptr<FontFace> made =
                open(reinterpret_cast<const char*>(file), static_cast<uint32_t>(std::max(index, 0)), simulations);
            if (!made || FT_Get_Char_Index(static_cast<FT_Face>(made->face_), codePoint) == 0) continue;
            found = made.get();
            fallbacks_.push_back(std::move(made));
            break;
        }
        if (sorted != nullptr) FcFontSetDestroy(sorted);
    }
    fallbackByCode_.insert(known, {codePoint, found});
    return found;
}

Result FontFace::designGlyphMetrics(const uint16_t* glyphs, uint32_t count, GlyphMetrics* out) const {
    std::lock_guard lock(layerLock());
    FT_Face face = static_cast<FT_Face>(face_);
    for (uint32_t i = 0; i < count; ++i) {
        if (glyphs[i] >= face->num_glyphs) return kInvalidArg;
        if (FT_Load_Glyph(face, glyphs[i], FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_VERTICAL_LAYOUT) != 0)
            return kFail;
        const FT_Glyph_Metrics& gm = face->glyph->metrics;
        GlyphMetrics m;
        m.advanceWidth = uint32_t(std::max<FT_Pos>(0, gm.horiAdvance));
        m.leftSideBearing = int32_t(gm.horiBearingX);
        m.rightSideBearing = int32_t(gm.horiAdvance - gm.horiBearingX - gm.width);
        const int32_t yMax = int32_t(gm.horiBearingY);
        if (FT_HAS_VERTICAL(face)) {
            m.advanceHeight = uint32_t(std::max<FT_Pos>(0, gm.vertAdvance));
            m.topSideBearing = int32_t(gm.vertBearingY);
            m.verticalOriginY = yMax + m.topSideBearing;
        } else {
            // No vertical metrics: the line's ascent and descent make the box.
            m.advanceHeight = uint32_t(metrics_.ascent + metrics_.descent);
            m.verticalOriginY = metrics_.ascent;
            m.topSideBearing = m.verticalOriginY - yMax;
        }
        m.bottomSideBearing = int32_t(m.advanceHeight) - m.topSideBearing - int32_t(gm.height);
        out[i] = m;
    }
    return kOk;
}

namespace {

std::vector<unsigned> verticalLookups(hb_face_t* face) {
    hb_tag_t features[] = {HB_TAG('v', 'e', 'r', 't'), HB_TAG_NONE};
    hb_set_t* set = hb_set_create();
    // Every script and language system.
    hb_ot_layout_collect_lookups(face, HB_OT_TAG_GSUB, nullptr, nullptr, features, set);
    std::vector<unsigned> lookups;
    for (hb_codepoint_t i = HB_SET_VALUE_INVALID; hb_set_next(set, &i);) lookups.push_back(i);
    hb_set_destroy(set);
    return lookups;
}

}  // namespace

bool FontFace::hasVerticalGlyphVariants() const {
    std::lock_guard lock(layerLock());
    return !verticalLookups(static_cast<hb_face_t*>(hbFace_)).empty();
}

void FontFace::verticalGlyphVariants(const uint16_t* glyphs, uint32_t count, uint16_t* out) const {
    std::lock_guard lock(layerLock());
    hb_face_t* face = static_cast<hb_face_t*>(hbFace_);
    const std::vector<unsigned> lookups = verticalLookups(face);
    for (uint32_t i = 0; i < count; ++i) {
        hb_codepoint_t g = glyphs[i];
        for (unsigned lookup : lookups) {
            // The closure of the one glyph under a single substitution adds its substitute.
            hb_set_t* closure = hb_set_create();
            hb_set_add(closure, g);
            hb_ot_layout_lookup_substitute_closure(face, lookup, closure);
            hb_codepoint_t other = HB_SET_VALUE_INVALID;
            bool found = false;
            while (hb_set_next(closure, &other))
                if (other != g) {
                    found = true;
                    break;
                }
            hb_set_destroy(closure);
            if (found) {
                g = other;
                break;
            }
        }
        out[i] = g > 0xFFFF ? glyphs[i] : uint16_t(g);
    }
}

namespace {

struct OutlineWalk {
    GeometrySink* sink;
    double scale;
    bool open = false;
    Point2F last;
    Point2F at(const FT_Vector* v) const { return {float(v->x * scale), float(-v->y * scale)}; }
};

int moveTo(const FT_Vector* to, void* user) {
    auto* w = static_cast<OutlineWalk*>(user);
    if (w->open) w->sink->endFigure(FigureEnd::Closed);
    w->last = w->at(to);
    w->sink->beginFigure(w->last, FigureBegin::Filled);
    w->open = true;
    return 0;
}

int lineTo(const FT_Vector* to, void* user) {
    auto* w = static_cast<OutlineWalk*>(user);
    w->last = w->at(to);
    w->sink->addLine(w->last);
    return 0;
}

int conicTo(const FT_Vector* control, const FT_Vector* to, void* user) {
    auto* w = static_cast<OutlineWalk*>(user);
    w->last = w->at(to);
    w->sink->addQuadraticBezier(w->at(control), w->last);
    return 0;
}

int cubicTo(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user) {
    auto* w = static_cast<OutlineWalk*>(user);
    w->last = w->at(to);
    w->sink->addBezier(w->at(c1), w->at(c2), w->last);
    return 0;
}

}  // namespace

Result FontFace::glyphOutline(uint16_t glyph, float emSize, GeometrySink& sink) const {
    std::lock_guard lock(layerLock());
    FT_Face face = static_cast<FT_Face>(face_);
    if (glyph >= face->num_glyphs) return kInvalidArg;
    if (FT_Load_Glyph(face, glyph, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) != 0) return kFail;
    if (face->glyph->format != FT_GLYPH_FORMAT_OUTLINE) return kOk;  // no outline: an empty glyph
    FT_Outline& outline = face->glyph->outline;
    if (simulations_ & kSimulationBold) FT_Outline_Embolden(&outline, face->units_per_EM / 24);
    if (simulations_ & kSimulationOblique) {
        // A slant of about 12 degrees to the right.
        FT_Matrix shear{0x10000, 0x0366A, 0, 0x10000};
        FT_Outline_Transform(&outline, &shear);
    }
    OutlineWalk walk{&sink, double(emSize) / face->units_per_EM, false, {}};
    const FT_Outline_Funcs funcs{moveTo, lineTo, conicTo, cubicTo, 0, 0};
    if (FT_Outline_Decompose(&outline, &funcs, &walk) != 0) return kFail;
    if (walk.open) sink.endFigure(FigureEnd::Closed);
    return kOk;
}

bool FontFace::colorGlyphLayers(uint16_t glyph, std::vector<ColorGlyphLayer>& layers) const {
    std::lock_guard lock(layerLock());
    layers.clear();
    FT_Face face = static_cast<FT_Face>(face_);
    FT_Color* palette = nullptr;
    FT_Palette_Data data;
    if (FT_Palette_Data_Get(face, &data) == 0 && data.num_palettes > 0) FT_Palette_Select(face, 0, &palette);
    FT_LayerIterator iterator;
    iterator.p = nullptr;
    FT_UInt layerGlyph = 0, colorIndex = 0;
    while (FT_Get_Color_Glyph_Layer(face, glyph, &layerGlyph, &colorIndex, &iterator)) {
        ColorGlyphLayer layer;
        layer.glyph = uint16_t(layerGlyph);
        if (colorIndex == 0xFFFF || palette == nullptr || colorIndex >= data.num_palette_entries) {
            layer.useTextColor = true;
        } else {
            const FT_Color& c = palette[colorIndex];
            layer.color = {c.red / 255.0f, c.green / 255.0f, c.blue / 255.0f, c.alpha / 255.0f};
        }
        layers.push_back(layer);
    }
    return !layers.empty();
}

bool FontFace::hasBitmapGlyphs() const { return FT_HAS_FIXED_SIZES(static_cast<FT_Face>(face_)); }

Result FontFace::glyphBitmap(uint16_t glyph, float pixelSize, GlyphBitmap& out) const {
    std::lock_guard lock(layerLock());
    out = GlyphBitmap();
    FT_Face face = static_cast<FT_Face>(face_);
    if (!FT_HAS_FIXED_SIZES(face) || glyph >= face->num_glyphs) return kNoFont;
    int best = 0;
    for (int i = 1; i < face->num_fixed_sizes; ++i)
        if (std::fabs(face->available_sizes[i].y_ppem / 64.0 - pixelSize) <
            std::fabs(face->available_sizes[best].y_ppem / 64.0 - pixelSize))
            best = i;
    if (FT_Select_Size(face, best) != 0) return kFail;
    if (FT_Load_Glyph(face, glyph, FT_LOAD_COLOR) != 0 || face->glyph->format != FT_GLYPH_FORMAT_BITMAP) return kNoFont;
    const FT_Bitmap& b = face->glyph->bitmap;
    out.width = b.width;
    out.height = b.rows;
    out.left = float(face->glyph->bitmap_left);
    out.top = -float(face->glyph->bitmap_top);
    const double ppem = face->available_sizes[best].y_ppem / 64.0;
    out.scale = ppem > 0 ? float(pixelSize / ppem) : 1;
    out.pixels.assign(size_t(b.width) * b.rows * 4, 0);
    for (unsigned y = 0; y < b.rows; ++y) {
        const unsigned char* row = b.buffer + ptrdiff_t(y) * b.pitch;
        uint8_t* dst = out.pixels.data() + size_t(y) * b.width * 4;
        for (unsigned x = 0; x < b.width; ++x, dst += 4) {
            uint8_t a = 0;
            switch (b.pixel_mode) {
            case FT_PIXEL_MODE_BGRA: std::memcpy(dst, row + x * 4, 4); continue;
            case FT_PIXEL_MODE_GRAY: a = row[x]; break;
            case FT_PIXEL_MODE_MONO: a = (row[x / 8] & (0x80 >> (x % 8))) ? 255 : 0; break;
            default: break;
            }
            // Monochrome and grey strikes: white coverage, tinted by the caller.
            dst[0] = dst[1] = dst[2] = dst[3] = a;
        }
    }
    return kOk;
}

}  // namespace Platform::draw2d
