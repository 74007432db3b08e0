#include "platform/draw2d/Svg.h"

#include <librsvg/rsvg.h>
#include <libxml/parser.h>
#include <libxml/tree.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <mutex>
#include <vector>

#include "platform/draw2d/Lock.h"

namespace Platform::draw2d {

namespace {

xmlNode* node(void* p) { return static_cast<xmlNode*>(p); }

std::string_view trim(std::string_view s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
    return s;
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

struct NamedColor {
    const char* name;
    uint32_t rgb;
};
constexpr NamedColor kNames[] = {
    {"black", 0x000000}, {"silver", 0xc0c0c0}, {"gray", 0x808080},   {"grey", 0x808080},   {"white", 0xffffff},
    {"maroon", 0x800000}, {"red", 0xff0000},   {"purple", 0x800080}, {"fuchsia", 0xff00ff}, {"magenta", 0xff00ff},
    {"green", 0x008000}, {"lime", 0x00ff00},   {"olive", 0x808000},  {"yellow", 0xffff00}, {"navy", 0x000080},
    {"blue", 0x0000ff},  {"teal", 0x008080},   {"aqua", 0x00ffff},   {"cyan", 0x00ffff},   {"orange", 0xffa500},
};

// One number of rgb(): a percentage of `full` or a plain number; clamped to 0..full.
bool colorComponent(std::string_view s, float full, float& out) {
    s = trim(s);
    bool percent = false;
    if (!s.empty() && s.back() == '%') {
        percent = true;
        s.remove_suffix(1);
    }
    if (s.empty() || s.size() > 32) return false;
    char buffer[40];
    std::memcpy(buffer, s.data(), s.size());
    buffer[s.size()] = 0;
    char* end = nullptr;
    const double v = std::strtod(buffer, &end);
    if (end != buffer + s.size() || !std::isfinite(v)) return false;
    const double scaled = percent ? v / 100.0 : v / full;
    out = float(std::clamp(scaled, 0.0, 1.0));
    return true;
}

// The declarations of a "style" attribute: name and value ranges.
struct Declaration {
    std::string_view name;
    std::string_view value;
    size_t valueStart, valueEnd;  // in the style text
};

std::vector<Declaration> declarations(std::string_view style) {
    std::vector<Declaration> out;
    size_t pos = 0;
    while (pos <= style.size()) {
        size_t end = style.find(';', pos);
        if (end == std::string_view::npos) end = style.size();
        const std::string_view item = style.substr(pos, end - pos);
        const size_t colon = item.find(':');
        if (colon != std::string_view::npos) {
            size_t vs = pos + colon + 1, ve = end;
            while (vs < ve && std::isspace(static_cast<unsigned char>(style[vs]))) ++vs;
            while (ve > vs && std::isspace(static_cast<unsigned char>(style[ve - 1]))) --ve;
            out.push_back({trim(item.substr(0, colon)), style.substr(vs, ve - vs), vs, ve});
        }
        pos = end + 1;
    }
    return out;
}

std::string attribute(xmlNode* n, const char* name, bool& found) {
    xmlChar* v = xmlGetProp(n, reinterpret_cast<const xmlChar*>(name));
    found = v != nullptr;
    std::string s = found ? reinterpret_cast<const char*>(v) : "";
    xmlFree(v);
    return s;
}

std::string colorText(const ColorF& c) {
    auto byte = [](float v) { return int(std::lround(std::clamp(std::isfinite(v) ? v : 0.0f, 0.0f, 1.0f) * 255)); };
    char text[64];
    std::snprintf(text, sizeof text, "rgba(%d,%d,%d,%.6g)", byte(c.r), byte(c.g), byte(c.b),
                  double(std::clamp(std::isfinite(c.a) ? c.a : 1.0f, 0.0f, 1.0f)));
    return text;
}

bool isElement(xmlNode* n) { return n != nullptr && n->type == XML_ELEMENT_NODE; }

}  // namespace

bool parseSvgColor(std::string_view text, ColorF& out) {
    text = trim(text);
    if (text.empty()) return false;
    if (text.front() == '#') {
        const std::string_view h = text.substr(1);
        if (h.size() != 3 && h.size() != 4 && h.size() != 6 && h.size() != 8) return false;
        for (char c : h)
            if (hexDigit(c) < 0) return false;
        float v[4] = {0, 0, 0, 1};
        const bool shortForm = h.size() <= 4;
        const size_t count = shortForm ? h.size() : h.size() / 2;
        for (size_t i = 0; i < count; ++i) {
            const int x = shortForm ? hexDigit(h[i]) * 17 : hexDigit(h[2 * i]) * 16 + hexDigit(h[2 * i + 1]);
            v[i] = float(x) / 255.0f;
        }
        out = {v[0], v[1], v[2], v[3]};
        return true;
    }
    const size_t open = text.find('(');
    if (open != std::string_view::npos) {
        const std::string_view fn = trim(text.substr(0, open));
        if (!equalsNoCase(fn, "rgb") && !equalsNoCase(fn, "rgba")) return false;
        if (text.back() != ')') return false;
        std::string_view args = text.substr(open + 1, text.size() - open - 2);
        std::vector<std::string_view> parts;
        size_t pos = 0;
        while (true) {
            const size_t comma = args.find(',', pos);
            parts.push_back(args.substr(pos, comma == std::string_view::npos ? std::string_view::npos : comma - pos));
            if (comma == std::string_view::npos) break;
            pos = comma + 1;
        }
        if (parts.size() != 3 && parts.size() != 4) return false;
        float v[4] = {0, 0, 0, 1};
        for (size_t i = 0; i < parts.size(); ++i)
            if (!colorComponent(parts[i], i == 3 ? 1.0f : 255.0f, v[i])) return false;
        out = {v[0], v[1], v[2], v[3]};
        return true;
    }
    for (const NamedColor& n : kNames)
        if (equalsNoCase(text, n.name)) {
            out = {float((n.rgb >> 16) & 255) / 255.0f, float((n.rgb >> 8) & 255) / 255.0f, float(n.rgb & 255) / 255.0f,
                   1};
            return true;
        }
    return false;
}

bool SvgElement::isAttributeSpecified(std::string_view name) const {
    std::lock_guard lock(layerLock());
    if (node_ == nullptr) return false;
    const std::string key(name);
    bool found = false;
    attribute(node(node_), key.c_str(), found);
    if (found) return true;
    const std::string style = attribute(node(node_), "style", found);
    for (const Declaration& d : declarations(style))
        if (d.name == name) return true;
    return false;
}

Result SvgElement::getFill(SvgPaint& out) const {
    std::lock_guard lock(layerLock());
    if (node_ == nullptr) return kInvalidArg;
    bool found = false;
    std::string value;
    // A style declaration outranks the attribute.
    const std::string style = attribute(node(node_), "style", found);
    bool inStyle = false;
    for (const Declaration& d : declarations(style))
        if (d.name == "fill") {
            value = std::string(d.value);
            inStyle = true;
        }
    if (!inStyle) {
        value = attribute(node(node_), "fill", found);
        if (!found) return kInvalidArg;
    }
    out = {};
    if (parseSvgColor(value, out.color))
        out.kind = SvgPaint::Kind::Color;
    else
        out.kind = SvgPaint::Kind::Other;
    return kOk;
}

Result SvgElement::setFillColor(const ColorF& color) {
    std::lock_guard lock(layerLock());
    if (node_ == nullptr) return kInvalidArg;
    const std::string text = colorText(color);
    bool found = false;
    std::string style = attribute(node(node_), "style", found);
    bool inStyle = false;
    const auto decls = declarations(style);
    for (auto it = decls.rbegin(); it != decls.rend(); ++it)
        if (it->name == "fill") {
            style.replace(it->valueStart, it->valueEnd - it->valueStart, text);
            inStyle = true;
            break;
        }
    if (inStyle)
        xmlSetProp(node(node_), BAD_CAST "style", BAD_CAST style.c_str());
    attribute(node(node_), "fill", found);
    if (found || !inStyle) {
        if (xmlSetProp(node(node_), BAD_CAST "fill", BAD_CAST text.c_str()) == nullptr) return kOutOfMemory;
    }
    return kOk;
}

Result SvgElement::setAttribute(std::string_view name, float value) {
    std::lock_guard lock(layerLock());
    if (node_ == nullptr || name.empty()) return kInvalidArg;
    char text[48];
    std::snprintf(text, sizeof text, "%.9g", double(value));
    const std::string key(name);
    return xmlSetProp(node(node_), BAD_CAST key.c_str(), BAD_CAST text) != nullptr ? kOk : kOutOfMemory;
}

SvgElement SvgElement::firstChild() const {
    std::lock_guard lock(layerLock());
    if (node_ == nullptr) return {};
    xmlNode* n = node(node_)->children;
    while (n != nullptr && !isElement(n)) n = n->next;
    return SvgElement(n);
}

SvgElement SvgElement::nextSibling() const {
    std::lock_guard lock(layerLock());
    if (node_ == nullptr) return {};
    xmlNode* n = node(node_)->next;
    while (n != nullptr && !isElement(n)) n = n->next;
    return SvgElement(n);
}

Result SvgDocument::load(const void* data, size_t size, std::unique_ptr<SvgDocument>& out) {
    out.reset();
    std::lock_guard lock(layerLock());
    if (data == nullptr || size == 0 || size > 0x7fffffff) return kFail;
    // No network, no entity substitution, no external DTD; libxml2 keeps its
    // own limits on depth and entity growth.
    xmlDoc* doc = xmlReadMemory(static_cast<const char*>(data), int(size), nullptr, nullptr,
                                XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
    if (doc == nullptr) return kFail;
    xmlNode* root = xmlDocGetRootElement(doc);
    if (root == nullptr || xmlStrcmp(root->name, BAD_CAST "svg") != 0) {
        xmlFreeDoc(doc);
        return kFail;
    }
    out.reset(new SvgDocument());
    out->doc_ = doc;
    return kOk;
}

Result SvgDocument::loadFile(const std::string& path, std::unique_ptr<SvgDocument>& out) {
    out.reset();
    std::ifstream file(path, std::ios::binary);
    if (!file) return kFileNotFound;
    const std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (file.bad()) return kFileNotFound;
    return load(bytes.data(), bytes.size(), out);
}

SvgDocument::~SvgDocument() {
    std::lock_guard lock(layerLock());
    if (doc_ != nullptr) xmlFreeDoc(static_cast<xmlDoc*>(doc_));
}

SvgElement SvgDocument::root() const {
    std::lock_guard lock(layerLock());
    return SvgElement(xmlDocGetRootElement(static_cast<xmlDoc*>(doc_)));
}

Result SvgDocument::render(uint32_t width, uint32_t height, std::unique_ptr<Bitmap>& out) const {
    out.reset();
    if (width == 0 || height == 0 || width > 16384 || height > 16384) return kInvalidArg;
    std::lock_guard lock(layerLock());
    xmlChar* text = nullptr;
    int size = 0;
    xmlDocDumpMemory(static_cast<xmlDoc*>(doc_), &text, &size);
    if (text == nullptr) return kOutOfMemory;
    // No base file: the renderer loads nothing beside the document.
    RsvgHandle* handle = rsvg_handle_new_from_data(text, gsize(size), nullptr);
    xmlFree(text);
    if (handle == nullptr) return kFail;
    std::unique_ptr<Bitmap> bitmap;
    if (const Result r = Bitmap::create(width, height, nullptr, 0, 87, AlphaMode::Premultiplied, bitmap); failed(r)) {
        g_object_unref(handle);
        return r;
    }
    cairo_surface_t* surface = cairo_image_surface_create_for_data(bitmap->data(), CAIRO_FORMAT_ARGB32, int(width),
                                                                   int(height), int(bitmap->stride()));
    cairo_t* cr = cairo_create(surface);
    const RsvgRectangle viewport{0, 0, double(width), double(height)};
    const gboolean drawn = rsvg_handle_render_document(handle, cr, &viewport, nullptr);
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    cairo_surface_destroy(surface);
    g_object_unref(handle);
    if (!drawn) return kFail;
    out = std::move(bitmap);
    return kOk;
}

}  // namespace Platform::draw2d
