#include "script/ScriptEffect.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "core/Exception.h"
#include "core/FileName.h"
#include "core/Log.h"
#include "core/TextConvert.h"
#include "edit/Object.h"
#include "effect/AnchorEvent.h"
#include "effect/EffectItemCheck.h"
#include "effect/EffectItemColor.h"
#include "effect/EffectItemComboFile.h"
#include "effect/EffectItemFigureSelect.h"
#include "effect/EffectItemFile.h"
#include "effect/EffectItemFontSelect.h"
#include "effect/EffectItemNumber.h"
#include "effect/EffectItemSelect.h"
#include "effect/EffectItemString.h"
#include "effect/MovementBase.h"
#include "effect/RenderContext.h"
#include "effect/SectionPosition.h"
#include "media/gpu/ResourceBuffer.h"
#include "script/ScriptPluginInstance.h"

namespace Effect {

namespace {

bool isControl(char c) { return static_cast<unsigned char>(c) < 0x20; }

std::string trimRight(std::string text) {
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

std::string trimBoth(const std::string& text) {
    const size_t first = text.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : trimRight(text.substr(first));
}

// A cursor over one directive line.
class LineReader {
public:
    explicit LineReader(std::string_view line) : line_(line) {}

    bool at(size_t pos, char c) const { return pos < line_.size() && line_[pos] == c; }
    void skipSpaces() {
        while (pos_ < line_.size() && line_[pos_] == ' ') ++pos_;
    }
    // Runs to the separator or a control character, trailing spaces removed;
    // one separator is skipped.
    std::string field(char separator = ',') {
        skipSpaces();
        const size_t start = pos_;
        while (pos_ < line_.size() && line_[pos_] != separator && !isControl(line_[pos_])) ++pos_;
        std::string text(line_.substr(start, pos_ - start));
        if (pos_ < line_.size() && line_[pos_] == separator) ++pos_;
        return trimRight(std::move(text));
    }
    void seek(size_t pos) { pos_ = std::min(pos, line_.size()); }
    size_t pos() const { return pos_; }
    std::string_view line() const { return line_; }

private:
    std::string_view line_;
    size_t pos_ = 0;
};

double toNumber(const std::string& text) {
    if (text.empty()) return 0;
    const char* first = text.data();
    const char* last = text.data() + text.size();
    if (*first == '+') ++first;
    double value = 0;
    const auto [end, error] = std::from_chars(first, last, value);
    if (error == std::errc::result_out_of_range) throw std::out_of_range("stod argument out of range");
    if (error != std::errc() || end == first) throw std::invalid_argument("invalid stod argument");
    return value;
}

int32_t toInteger(const std::string& text, int base = 10) {
    if (text.empty()) return 0;
    const char* first = text.data();
    const char* last = text.data() + text.size();
    bool negative = false;
    if (*first == '+' || *first == '-') negative = *first++ == '-';
    if (base == 16 && last - first >= 2 && first[0] == '0' && (first[1] == 'x' || first[1] == 'X')) first += 2;
    int64_t value = 0;
    const auto [end, error] = std::from_chars(first, last, value, base);
    if (error == std::errc::result_out_of_range) throw std::out_of_range("stoi argument out of range");
    if (error != std::errc() || end == first) throw std::invalid_argument("invalid stoi argument");
    if (negative) value = -value;
    // Colours are read as unsigned 32-bit texts; the rest must fit 32 bits.
    if (base == 16 ? (value < INT32_MIN || value > UINT32_MAX) : (value < INT32_MIN || value > INT32_MAX))
        throw std::out_of_range("stoi argument out of range");
    return static_cast<int32_t>(static_cast<uint32_t>(value));
}

std::string unquoted(std::string text) {
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"') return text.substr(1, text.size() - 2);
    return text;
}

std::unique_ptr<EffectItem> makeColor(const std::wstring& label, uint32_t value) {
    return std::make_unique<EffectItemColor>(nullptr, label, static_cast<uint8_t>((value >> 16) & 255),
                                             static_cast<uint8_t>((value >> 8) & 255),
                                             static_cast<uint8_t>(value & 255));
}

std::wstring wide(const std::string& text) { return System::utf8ToWide(text); }

// The rest of the line after its first ":" (empty without one).
std::string afterColon(std::string_view line) {
    const size_t colon = line.find(':');
    return colon == std::string_view::npos ? std::string() : std::string(line.substr(colon + 1));
}

}  // namespace

ScriptEffect::ScriptEffect(const wchar_t* effectName, uint8_t roleCode, uint8_t mediaCode) {
    name = effectName;
    role = roleCode;
    media = mediaCode;
    placement = mediaCode;
}

ScriptEffect::~ScriptEffect() {
    items.clear();
    variables_.clear();
}

void ScriptEffect::createCommonResource() { commonResource_ = std::make_shared<CommonResource>(); }

EffectItem* ScriptEffect::insertItem(const std::string& variable, std::unique_ptr<EffectItem> item) {
    const auto [entry, inserted] = variables_.try_emplace(variable, nullptr);
    if (!inserted) return nullptr;
    entry->second = std::move(item);
    items.push_back(entry->second.get());
    if (commonResource_) commonResource_->parameters.push_back(variable);
    return entry->second.get();
}

EffectItem* ScriptEffect::makeValueItem(const std::string& variable, const std::wstring& label,
                                        const std::wstring& value) {
    std::unique_ptr<EffectItem> item;
    if (!value.empty() && value.front() == L'"' && (value.size() == 1 || value.back() == L'"')) {
        item =
            std::make_unique<EffectItemString>(nullptr, label,
                                               value.size() < 2 ? std::wstring() : value.substr(1, value.size() - 2));
    } else if (value.size() >= 2 && value.front() == L'{' && value.back() == L'}') {
        item = std::make_unique<EffectItemString>(nullptr, label, value.substr(1, value.size() - 2),
                                                  EffectItem::kScriptString2);
    } else {
        item = std::make_unique<EffectItemString>(nullptr, label, value, EffectItem::kScriptString1);
    }
    return insertItem(variable, std::move(item));
}

void ScriptEffect::setScript(ScriptFileParser::ScriptSection section, const std::wstring& folder,
                             std::wstring* labelTarget, const std::string* engineName) {
    if (!commonResource_) createCommonResource();
    commonResource_->name = std::move(section.name);
    commonResource_->scriptText = std::move(section.text);
    commonResource_->folder = folder;
    name = commonResource_->name.c_str();
    makeScriptParams(labelTarget, engineName);
}

void ScriptEffect::updateScript(ScriptFileParser::ScriptSection section) {
    if (!commonResource_) createCommonResource();
    commonResource_->scriptText = std::move(section.text);
    commonResource_->shaderMap.reset();
}

// Reads the header directives of a script into the effect's parameters, the
// engine, the label and the information text. Each directive word has its
// handler; a line that begins with "--" and no directive word is a comment.
class ScriptEffect::HeaderReader {
public:
    HeaderReader(ScriptEffect& effect, std::wstring* labelTarget)
        : effect_(effect), resource_(*effect.commonResource_), text_(resource_.scriptText), labelTarget_(labelTarget) {}

    // Throws on a malformed value; what was read before stays.
    void read() {
        for (size_t pos = 0; pos < text_.size();) {
            const std::string_view line = text_.substr(pos, lineEnd(pos) - pos);
            pos = nextLine(pos);
            if (line.size() < 2 || line.substr(0, 2) != "--") continue;
            for (const Directive& directive : kDirectives) {
                if (line.substr(0, directive.word.size()) != directive.word) continue;
                next_ = pos;
                (this->*directive.handler)(line, directive.word.size());
                pos = next_;
                break;
            }
        }
    }

    bool engineSet() const { return engineSet_; }

private:
    using Handler = void (HeaderReader::*)(std::string_view line, size_t wordLength);
    struct Directive {
        std::string_view word;
        Handler handler;
    };
    static const Directive kDirectives[14];

    size_t lineEnd(size_t pos) const {
        while (pos < text_.size() && text_[pos] != '\r' && text_[pos] != '\n') ++pos;
        return pos;
    }
    // Lines end at CR LF, CR or LF.
    size_t nextLine(size_t pos) const {
        pos = lineEnd(pos);
        if (pos < text_.size() && text_[pos] == '\r') {
            ++pos;
            if (pos < text_.size() && text_[pos] == '\n') ++pos;
        } else if (pos < text_.size()) {
            ++pos;
        }
        return pos;
    }

    // A block comment: the walk goes on after the line holding the first "]]".
    void blockComment(std::string_view line, size_t) {
        const size_t close = text_.find("]]", static_cast<size_t>(line.data() - text_.data()));
        if (close != std::string_view::npos) next_ = nextLine(close);
    }

    void script(std::string_view line, size_t) {
        const std::string engine = afterColon(line);
        if (effect_.scriptService == nullptr)
            throw System::messageException("Plugin::ScriptService::findScriptPlugin", "not found script plugin.",
                                           engine.c_str());
        resource_.engine = effect_.scriptService->findScriptPlugin(engine);
        engineSet_ = true;
    }

    void label(std::string_view line, size_t) {
        if (labelTarget_ != nullptr) *labelTarget_ = wide(afterColon(line));
    }

    void information(std::string_view line, size_t) { resource_.information = wide(afterColon(line)); }

    // "--dialog:label,variable=value;..." and "--param:variable=value;...".
    void valueList(std::string_view line, bool dialog) {
        const size_t colon = line.find(':');
        if (colon == std::string_view::npos) return;
        size_t at = colon + 1;
        while (at < line.size()) {
            std::string label;
            if (dialog) {
                const size_t comma = line.find(',', at);
                label = trimBoth(std::string(line.substr(at, comma == std::string_view::npos ? line.npos : comma - at)));
                if (label.empty() || comma == std::string_view::npos) break;
                at = comma + 1;
            }
            size_t equals = at;
            while (equals < line.size() && line[equals] != '=' && (dialog || !isControl(line[equals]))) ++equals;
            std::string variable(line.substr(at, equals - at));
            if (variable.empty()) break;
            at = equals < line.size() && line[equals] == '=' ? equals + 1 : equals;
            while (at < line.size() && line[at] == ' ') ++at;
            const size_t semicolon = line.find(';', at);
            const size_t valueEnd = semicolon == std::string_view::npos ? line.size() : semicolon;
            const std::string value = trimRight(std::string(line.substr(at, valueEnd - at)));
            at = semicolon == std::string_view::npos ? line.size() : semicolon + 1;

            if (!dialog) {
                effect_.makeValueItem(variable, wide(variable), wide(value));
                continue;
            }
            if (variable.rfind("local ", 0) == 0) variable.erase(0, 6);
            const std::string suffix = label.size() >= 4 ? label.substr(label.size() - 4) : std::string();
            const std::wstring shortLabel = wide(label.substr(0, label.size() >= 4 ? label.size() - 4 : 0));
            if (suffix == "/chk") {
                effect_.insertItem("@" + variable,
                                   std::make_unique<EffectItemCheck>(nullptr, shortLabel, toInteger(value) != 0));
            } else if (suffix == "/col") {
                effect_.insertItem("@" + variable,
                                   makeColor(shortLabel, static_cast<uint32_t>(toInteger(unquoted(value), 16))));
            } else if (suffix == "/fig") {
                const std::wstring figure = wide(unquoted(value));
                effect_.insertItem("@" + variable, std::make_unique<EffectItemFigureSelect>(
                                                       nullptr, shortLabel, figure.c_str(), EffectItem::kScriptFigure));
            } else {
                effect_.makeValueItem(variable, wide(label), wide(value));
            }
        }
    }
    void dialog(std::string_view line, size_t) { valueList(line, true); }
    void param(std::string_view line, size_t) { valueList(line, false); }

    // The key of an item directive: after "@" right behind the word, else
    // after "--". "--track" and "--check" without "@" keep the name itself;
    // every other key is "@local " and the name. The reader is left after the ":".
    static std::string itemKey(LineReader& reader, size_t wordLength, bool plainKeepsName) {
        const std::string_view line = reader.line();
        const bool atForm = reader.at(wordLength, '@');
        reader.seek(atForm ? wordLength + 1 : 2);
        reader.skipSpaces();
        const size_t nameStart = reader.pos();
        size_t nameEnd = nameStart;
        while (nameEnd < line.size() && line[nameEnd] != ':' && !isControl(line[nameEnd])) ++nameEnd;
        const std::string variableName = trimRight(std::string(line.substr(nameStart, nameEnd - nameStart)));
        reader.seek(reader.at(nameEnd, ':') ? nameEnd + 1 : nameEnd);
        return !atForm && plainKeepsName ? variableName : "@local " + variableName;
    }

    void track(std::string_view line, size_t wordLength) {
        LineReader reader(line);
        const std::string key = itemKey(reader, wordLength, true);
        const std::wstring label = wide(reader.field());
        const double minimum = toNumber(reader.field());
        const double maximum = toNumber(reader.field());
        const double defaultValue = toNumber(reader.field());
        const std::string stepText = reader.field();
        const double step = stepText.empty() ? 0.1 : toNumber(stepText);
        effect_.insertItem(key, std::make_unique<EffectItemNumber>(nullptr, label, defaultValue, minimum, maximum, step));
    }

    void check(std::string_view line, size_t wordLength) {
        LineReader reader(line);
        const std::string key = itemKey(reader, wordLength, true);
        const std::wstring label = wide(reader.field());
        const bool on = toInteger(reader.field()) != 0;
        effect_.insertItem(key, std::make_unique<EffectItemCheck>(nullptr, label, on));
    }

    void color(std::string_view line, size_t wordLength) {
        LineReader reader(line);
        const std::string key = itemKey(reader, wordLength, false);
        const std::string first = reader.field();
        const std::string second = reader.field();
        const std::wstring label = second.empty() ? std::wstring(L"色") : wide(first);
        const std::string value = second.empty() ? first : second;
        if (value.empty() || value == "nil") {
            auto item = std::make_unique<EffectItemColor>(nullptr, label, 0, 0, 0, EffectItem::kColorUnset);
            item->unset = 1;
            effect_.insertItem(key, std::move(item));
        } else {
            effect_.insertItem(key, makeColor(label, static_cast<uint32_t>(toInteger(value, 16))));
        }
    }

    void file(std::string_view line, size_t wordLength) {
        LineReader reader(line);
        const std::string key = itemKey(reader, wordLength, false);
        const std::wstring label = wide(reader.field());
        effect_.insertItem(key, std::make_unique<EffectItemFile>(nullptr, label.empty() ? L"ファイル" : label));
    }

    void font(std::string_view line, size_t wordLength) {
        LineReader reader(line);
        const std::string key = itemKey(reader, wordLength, false);
        const std::wstring label = wide(reader.field());
        const std::wstring family = wide(reader.field());
        effect_.insertItem(key, std::make_unique<EffectItemFontSelect>(nullptr, label,
                                                                       family.empty() ? nullptr : family.c_str()));
    }

    void figure(std::string_view line, size_t wordLength) {
        LineReader reader(line);
        const std::string key = itemKey(reader, wordLength, false);
        const std::wstring label = wide(reader.field());
        const std::wstring name = wide(reader.field());
        effect_.insertItem(key, std::make_unique<EffectItemFigureSelect>(nullptr, label, name.c_str(),
                                                                         EffectItem::kScriptFigure));
    }

    void value(std::string_view line, size_t wordLength) {
        LineReader reader(line);
        const std::string key = itemKey(reader, wordLength, false);
        const std::wstring label = wide(reader.field());
        const std::wstring text = wide(reader.field(';'));
        effect_.makeValueItem(key, label, text);
    }

    void select(std::string_view line, size_t wordLength) {
        LineReader reader(line);
        const std::string key = itemKey(reader, wordLength, false);
        const std::string head = reader.field();
        std::wstring label = wide(head);
        int32_t defaultValue = 0;
        if (const size_t equals = head.find('=');
            equals != std::string::npos && head.find('=', equals + 1) == std::string::npos) {
            label = wide(head.substr(0, equals));
            defaultValue = toInteger(head.substr(equals + 1));
        }
        auto options = EffectItemSelect::SharedList::create();
        while (reader.pos() < line.size()) {
            const std::string option = reader.field();
            if (option.empty()) break;
            const size_t equals = option.find('=');
            if (equals == std::string::npos || option.find('=', equals + 1) != std::string::npos) continue;
            options->add(toInteger(option.substr(equals + 1)), wide(option.substr(0, equals)));
        }
        // Without any option the default stays as written.
        if (!options->indexMap.empty()) defaultValue = options->listedOrFirst(defaultValue);
        effect_.insertItem(key, std::make_unique<EffectItemSelect>(nullptr, label, defaultValue, std::move(options)));
    }

    ScriptEffect& effect_;
    CommonResource& resource_;
    std::string_view text_;
    std::wstring* labelTarget_;
    size_t next_ = 0;  // where the walk goes on after the current line
    bool engineSet_ = false;
};

// Matched in this order: the first word a line begins with wins.
const ScriptEffect::HeaderReader::Directive ScriptEffect::HeaderReader::kDirectives[14] = {
    {"--track", &HeaderReader::track},
    {"--check", &HeaderReader::check},
    {"--color", &HeaderReader::color},
    {"--file", &HeaderReader::file},
    {"--font", &HeaderReader::font},
    {"--figure", &HeaderReader::figure},
    {"--value", &HeaderReader::value},
    {"--select", &HeaderReader::select},
    {"--dialog", &HeaderReader::dialog},
    {"--param", &HeaderReader::param},
    {"--script", &HeaderReader::script},
    {"--label", &HeaderReader::label},
    {"--information", &HeaderReader::information},
    {"--[[", &HeaderReader::blockComment},
};

void ScriptEffect::makeScriptParams(std::wstring* labelTarget, const std::string* engineName) {
    CommonResource& resource = *commonResource_;
    HeaderReader reader(*this, labelTarget);
    try {
        reader.read();
    } catch (const std::exception& e) {
        System::Log::warn("Effect::ScriptEffect::makeScriptParams", L"script params load faild [%ls]\n%ls",
                          resource.name.c_str(), wide(e.what()).c_str());
    }
    if (!reader.engineSet()) {
        try {
            if (scriptService == nullptr)
                throw System::messageException("Plugin::ScriptService::findScriptPlugin", "not found script plugin.",
                                               engineName ? engineName->c_str() : "luaJIT");
            resource.engine =
                engineName ? scriptService->findScriptPlugin(*engineName) : scriptService->findScriptPlugin();
        } catch (const std::exception& e) {
            System::Log::warn("Effect::ScriptEffect::makeScriptParams", L"script params load faild [%ls]\n%ls",
                              resource.name.c_str(), wide(e.what()).c_str());
        }
    }
}

void ScriptEffect::shareResource(const EffectBase& prototypeBase) {
    const auto& prototype = static_cast<const ScriptEffect&>(prototypeBase);
    commonResource_ = prototype.commonResource_;
    if (!commonResource_) return;
    name = commonResource_->name.c_str();
    for (const std::string& key : commonResource_->parameters) {
        const auto found = prototype.variables_.find(key);
        if (found == prototype.variables_.end()) continue;
        const EffectItem& source = *found->second;
        std::unique_ptr<EffectItem> copy;
        switch (source.type) {
        case EffectItem::kNumber: {
            const auto& number = static_cast<const EffectItemNumber&>(source);
            // Built from plain units, so its values start at the default.
            const double scale = number.scale != 0 ? number.scale : 1;
            copy = std::make_unique<EffectItemNumber>(nullptr, number.name, number.defaultValue / scale,
                                                      number.minimum / scale, number.maximum / scale, 1 / scale);
            break;
        }
        case EffectItem::kCheck:
            copy = std::make_unique<EffectItemCheck>(nullptr, source.name,
                                                     static_cast<const EffectItemCheck&>(source).value != 0);
            break;
        case EffectItem::kString:
        case EffectItem::kScriptString1:
        case EffectItem::kScriptString2:
            copy = std::make_unique<EffectItemString>(nullptr, source.name,
                                                      static_cast<const EffectItemString&>(source).text, source.type);
            break;
        case EffectItem::kFile: {
            std::wstring path = static_cast<const EffectItemFile&>(source).path;
            System::FileName::expandVariable(path);
            copy = std::make_unique<EffectItemFile>(nullptr, source.name, std::move(path));
            break;
        }
        case EffectItem::kColor:
        case EffectItem::kColorUnset: {
            const auto& color = static_cast<const EffectItemColor&>(source);
            auto item = std::make_unique<EffectItemColor>(nullptr, source.name, color.red, color.green, color.blue,
                                                          source.type);
            if (source.type == EffectItem::kColorUnset)
                item->unset = color.red == 0 && color.green == 0 && color.blue == 0 ? 1 : 0;
            copy = std::move(item);
            break;
        }
        case EffectItem::kSelect: {
            const auto& select = static_cast<const EffectItemSelect&>(source);
            copy = std::make_unique<EffectItemSelect>(nullptr, source.name, select.index, select.keep);
            break;
        }
        case EffectItem::kFont: {
            const auto& font = static_cast<const EffectItemSelect&>(source);
            const wchar_t* family = font.options->nameOf(font.index);
            copy = std::make_unique<EffectItemFontSelect>(nullptr, source.name, family);
            break;
        }
        case EffectItem::kScriptFigure: {
            const auto& figure = static_cast<const EffectItemComboFile&>(source);
            const std::wstring figureName = figure.index < 0 || figure.options == nullptr
                                                ? figure.path
                                                : std::wstring(figure.options->nameOf(figure.index));
            copy = std::make_unique<EffectItemFigureSelect>(nullptr, source.name, figureName.c_str(),
                                                            EffectItem::kScriptFigure);
            break;
        }
        default: throw System::notImplementException("Effect::ScriptEffect::shareResource");
        }
        const auto [entry, inserted] = variables_.try_emplace(key, std::move(copy));
        if (inserted) items.push_back(entry->second.get());
    }
}

std::shared_ptr<Media::ResourceBuffer> ScriptEffect::runScript(Render::RenderContext& context,
                                                               std::shared_ptr<Media::ResourceBuffer> image,
                                                               const char* scope) {
    try {
        const std::shared_ptr<Plugin::ScriptPlugin> engine = commonResource_ ? commonResource_->engine : nullptr;
        if (!engine)
            throw System::messageException("Plugin::ScriptService::findScriptPlugin", "not found script plugin.");
        const std::unique_ptr<Plugin::ScriptPluginInstance> instance = engine->createEffectInstance(*this, context);
        instance->setObjectImage(std::move(image));
        instance->executeEffect(commonResource_->scriptText);
        return instance->takeObjectImage();
    } catch (const std::exception& e) {
        System::Log::warn(scope, "script exception: %s", e.what());
        return nullptr;
    }
}

EffectItemNumber* ScriptEffect::getTrackItem(int32_t index) const {
    if (index < 0 || index > 2) return nullptr;
    const auto found = variables_.find("track" + std::to_string(index));
    if (found == variables_.end() || found->second->type != EffectItem::kNumber) return nullptr;
    return static_cast<EffectItemNumber*>(found->second.get());
}

std::vector<float> ScriptEffect::getTrackPoints(Render::RenderContext& context, int32_t coordinates,
                                                int32_t points) const {
    std::vector<float> out;
    if (coordinates <= 0 || points <= 0) return out;
    out.reserve(static_cast<size_t>(coordinates) * static_cast<size_t>(points));
    const Edit::Object* object = context.object.get();
    const int32_t start = object ? object->start : 0;
    const int32_t end = object ? object->end : 0;
    const int32_t midpoints = object ? static_cast<int32_t>(object->midpoints.size()) : 0;
    for (int32_t i = 0; i < points; ++i) {
        for (int32_t j = 0; j < coordinates; ++j) {
            const EffectItemNumber* track = getTrackItem(j);
            if (track == nullptr || track->values.empty()) {
                out.push_back(0);
                continue;
            }
            const auto keys = static_cast<int32_t>(track->values.size());
            int32_t stored = 0;
            bool computed = false;
            if (keys >= 2 && i >= 1) {
                if (i > midpoints)
                    stored = keys - 1;
                else if (keys == midpoints + 2)
                    stored = i;
                else
                    computed = true;
            }
            if (!computed) {
                out.push_back(static_cast<float>(track->keyValue(stored)));
                continue;
            }
            const int32_t frame = start + object->midpoints[static_cast<size_t>(i - 1)];
            Render::SectionPosition position;
            if (track->flags & EffectItemNumber::kIgnoreMidpoints) {
                position.offset = frame - start;
                position.length = std::max(end - start, 1);
                position.progress = position.offset / position.length;
            } else {
                position = Render::SectionPosition::locate(*object, frame, frame);
            }
            out.push_back(static_cast<float>(track->movement->getValue(*track, position, context)));
        }
    }
    return out;
}

EffectItem* ScriptEffect::findAnchorItem(const std::string& variable) const {
    auto found = variables_.find(variable);
    if (found == variables_.end()) found = variables_.find("@local " + variable);
    if (found == variables_.end() || found->second->type != EffectItem::kScriptString2) return nullptr;
    return found->second.get();
}

std::vector<float> ScriptEffect::getAnchorValues(const std::string& variable) const {
    std::vector<float> out;
    const EffectItem* item = findAnchorItem(variable);
    if (item == nullptr) return out;
    const std::string text = System::wideToUtf8(static_cast<const EffectItemString*>(item)->text);
    size_t at = 0;
    while (at <= text.size()) {
        const size_t comma = std::min(text.find(',', at), text.size());
        // A piece converts when it starts with a number, as strtod reads it.
        const std::string piece = text.substr(at, comma - at);
        char* end = nullptr;
        const double value = std::strtod(piece.c_str(), &end);
        if (end == piece.c_str()) break;
        out.push_back(static_cast<float>(value));
        at = comma + 1;
    }
    return out;
}

void ScriptEffect::setAnchorValues(const std::string& variable, const std::vector<float>& values) {
    EffectItem* item = findAnchorItem(variable);
    if (item == nullptr) return;
    std::string text;
    char number[64];
    for (size_t i = 0; i < values.size(); ++i) {
        std::snprintf(number, sizeof number, "%1.2f", static_cast<double>(values[i]));
        if (i != 0) text += ',';
        text += number;
    }
    static_cast<EffectItemString*>(item)->text = System::utf8ToWide(text);
}

bool ScriptEffect::anchorEvent(const Anchor::AnchorEvent& event) {
    if (event.kind != Anchor::AnchorEvent::kDrag) return false;
    moveAnchor(event);
    return true;
}

void ScriptEffect::moveAnchor(const Anchor::AnchorEvent& event) {
    const Platform::math::Float4 moved =
        Anchor::getMovedPosition(event.viewport, event.startPosition, event.matrix, static_cast<float>(event.totalX),
                                 static_cast<float>(event.totalY));
    const float delta[3] = {moved.x - event.position.x, moved.y - event.position.y, moved.z - event.position.z};
    event.position = moved;
    const bool flat = (event.flags & kAnchor2d) != 0;
    const bool deep = (event.flags & kAnchor3d) != 0;
    if (event.label == "track") {
        // A track the script does not have is left alone.
        const EffectItemNumber::AnchorAddress address{event.object.get(), event.id};
        const int32_t axes = deep ? 3 : flat ? 2 : 0;
        for (int32_t j = 0; j < axes; ++j)
            if (EffectItemNumber* track = getTrackItem(j)) (void)track->moveAnchorValue(address, delta[j]);
        return;
    }
    std::vector<float> values = getAnchorValues(event.label);
    values.resize(static_cast<size_t>(event.tag), 0.0f);
    const size_t p = static_cast<size_t>(std::max(event.id, 0));
    if (flat) {
        if (values.size() < 2 * p + 2) return;
        values[2 * p] += delta[0];
        values[2 * p + 1] += delta[1];
    } else if (deep) {
        if (values.size() < 3 * p + 3) return;
        for (size_t j = 0; j < 3; ++j) values[3 * p + j] += delta[j];
    }
    setAnchorValues(event.label, values);
}

}  // namespace Effect
