#include "platform/gpu/SignatureScanner.h"

#include <algorithm>
#include <cctype>
#include <cstdint>

namespace Platform::gpu {
namespace {

bool isIdent(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

// The source without comments, strings kept.
std::string stripComments(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '/' && i + 1 < s.size() && s[i + 1] == '/') {
            while (i < s.size() && s[i] != '\n') ++i;
            out += '\n';
        } else if (s[i] == '/' && i + 1 < s.size() && s[i + 1] == '*') {
            i += 2;
            while (i + 1 < s.size() && !(s[i] == '*' && s[i + 1] == '/')) ++i;
            ++i;
            out += ' ';
        } else if (s[i] == '#') {
            // Preprocessor lines (#line and the like) carry no declarations.
            while (i < s.size() && s[i] != '\n') ++i;
            out += '\n';
        } else {
            out += s[i];
        }
    }
    return out;
}

std::string trim(std::string_view s) {
    size_t a = 0, b = s.size();
    while (a < b && std::isspace(static_cast<unsigned char>(s[a]))) ++a;
    while (b > a && std::isspace(static_cast<unsigned char>(s[b - 1]))) --b;
    return std::string(s.substr(a, b - a));
}

std::vector<std::string> tokens(std::string_view s) {
    std::vector<std::string> out;
    size_t i = 0;
    while (i < s.size()) {
        if (isIdent(s[i])) {
            size_t j = i;
            while (j < s.size() && isIdent(s[j])) ++j;
            out.emplace_back(s.substr(i, j - i));
            i = j;
        } else if (s[i] == '<') {
            // Template arguments stay with the type before them.
            size_t j = s.find('>', i);
            if (j == std::string_view::npos) j = s.size() - 1;
            if (!out.empty()) out.back() += std::string(s.substr(i, j - i + 1));
            i = j + 1;
        } else {
            ++i;
        }
    }
    return out;
}

bool isModifier(const std::string& t) {
    static const char* const kModifiers[] = {"in",      "out",      "inout",           "uniform",       "const",
                                             "linear",  "centroid", "nointerpolation", "noperspective", "sample",
                                             "precise", "static"};
    for (const char* m : kModifiers) {
        if (t == m) return true;
    }
    return false;
}

void typeInfo(const std::string& type, uint32_t& componentType, uint32_t& mask) {
    componentType = kComponentUnknown;
    mask = 0;
    std::string base = type;
    int width = 1;
    size_t n = base.size();
    while (n > 0 && std::isdigit(static_cast<unsigned char>(base[n - 1]))) --n;
    if (n < base.size()) {
        if (base.size() - n != 1) return;  // matrices are not signature elements here
        width = base[n] - '0';
        base.resize(n);
    }
    if (base == "float" || base == "half" || base == "min16float" || base == "min10float" || base == "double")
        componentType = kComponentFloat32;
    else if (base == "int" || base == "min16int" || base == "min12int")
        componentType = kComponentSint32;
    else if (base == "uint" || base == "min16uint" || base == "bool" || base == "dword")
        componentType = kComponentUint32;
    if (componentType != kComponentUnknown && width >= 1 && width <= 4) mask = (1u << width) - 1;
}

void splitSemantic(const std::string& semantic, SignatureParameter& p) {
    size_t n = semantic.size();
    while (n > 0 && std::isdigit(static_cast<unsigned char>(semantic[n - 1]))) --n;
    p.semanticName = semantic.substr(0, n);
    // Digits beyond what an index can hold do not wrap or throw: the index saturates.
    uint64_t index = 0;
    for (size_t i = n; i < semantic.size(); ++i)
        index = std::min<uint64_t>(index * 10 + (semantic[i] - '0'), 0xFFFFFFFFu);
    p.semanticIndex = static_cast<uint32_t>(index);
}

// The parameter a declaration of the given type and semantic describes.
SignatureParameter parameter(const std::string& type, const std::string& semantic) {
    SignatureParameter sp;
    splitSemantic(semantic, sp);
    typeInfo(type, sp.componentType, sp.mask);
    return sp;
}

// One declaration "modifiers type name[array] : SEMANTIC"; false when it is an output.
bool declaration(std::string_view text, std::string& type, std::string& semantic, bool& output) {
    output = false;
    semantic.clear();
    size_t colon = text.find(':');
    std::string_view decl = text.substr(0, colon);
    if (colon != std::string_view::npos) {
        semantic = trim(text.substr(colon + 1));
        // A register or packoffset binding is not a semantic.
        if (semantic.rfind("register", 0) == 0 || semantic.rfind("packoffset", 0) == 0) semantic.clear();
    }
    std::vector<std::string> t = tokens(decl);
    size_t k = 0;
    while (k < t.size() && isModifier(t[k])) {
        if (t[k] == "out") output = true;
        ++k;
    }
    if (k >= t.size()) return false;
    type = t[k];
    return true;
}

size_t matching(std::string_view s, size_t open, char a, char b) {
    int depth = 0;
    for (size_t i = open; i < s.size(); ++i) {
        if (s[i] == a) ++depth;
        if (s[i] == b && --depth == 0) return i;
    }
    return std::string_view::npos;
}

// The members of "struct name { ... }" with their semantics; a member that is
// itself a struct adds its members in its place, as the compiler flattens them.
bool structMembers(std::string_view src, const std::string& name, std::vector<SignatureParameter>& out,
                   std::vector<std::string>* chain = nullptr) {
    // A struct cannot hold itself (directly or through others): stop on such text.
    std::vector<std::string> outer;
    if (!chain) chain = &outer;
    if (chain->size() > 16 || std::find(chain->begin(), chain->end(), name) != chain->end()) return false;
    size_t at = 0;
    while ((at = src.find("struct", at)) != std::string_view::npos) {
        size_t p = at + 6;
        if ((at > 0 && isIdent(src[at - 1])) || p >= src.size() || isIdent(src[p])) {
            at = p;
            continue;
        }
        while (p < src.size() && std::isspace(static_cast<unsigned char>(src[p]))) ++p;
        size_t e = p;
        while (e < src.size() && isIdent(src[e])) ++e;
        if (src.substr(p, e - p) != name) {
            at = e;
            continue;
        }
        size_t open = src.find('{', e);
        size_t close = open == std::string_view::npos ? open : matching(src, open, '{', '}');
        if (close == std::string_view::npos) return false;
        std::string_view body = src.substr(open + 1, close - open - 1);
        size_t start = 0;
        for (size_t i = 0; i <= body.size(); ++i) {
            if (i == body.size() || body[i] == ';') {
                std::string member = trim(body.substr(start, i - start));
                start = i + 1;
                if (member.empty()) continue;
                std::string type, semantic;
                bool output;
                if (!declaration(member, type, semantic, output)) continue;
                if (semantic.empty()) {
                    chain->push_back(name);
                    structMembers(src, type, out, chain);
                    chain->pop_back();
                    continue;
                }
                out.push_back(parameter(type, semantic));
            }
        }
        return true;
    }
    return false;
}

}  // namespace

bool SignatureScanner::scan(std::string_view source, std::string_view entry, std::vector<SignatureParameter>& inputs) {
    inputs.clear();
    const std::string src = stripComments(source);
    const std::string_view s(src);
    int depth = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '{') ++depth;
        if (c == '}') --depth;
        if (depth != 0 || !isIdent(c) || (i > 0 && isIdent(s[i - 1]))) continue;
        size_t e = i;
        while (e < s.size() && isIdent(s[e])) ++e;
        if (s.substr(i, e - i) != entry) {
            i = e - 1;
            continue;
        }
        size_t open = e;
        while (open < s.size() && std::isspace(static_cast<unsigned char>(s[open]))) ++open;
        if (open >= s.size() || s[open] != '(') {
            i = e - 1;
            continue;
        }
        const size_t close = matching(s, open, '(', ')');
        if (close == std::string_view::npos) return false;
        // A definition: the parameter list is followed (after an optional return semantic) by a body.
        size_t after = close + 1;
        while (after < s.size() && s[after] != '{' && s[after] != ';' && s[after] != '(') ++after;
        if (after >= s.size() || s[after] != '{') {
            i = close;
            continue;
        }
        const std::string_view params = s.substr(open + 1, close - open - 1);
        size_t start = 0;
        int nest = 0;
        for (size_t k = 0; k <= params.size(); ++k) {
            if (k < params.size() && (params[k] == '<' || params[k] == '(')) ++nest;
            if (k < params.size() && (params[k] == '>' || params[k] == ')')) --nest;
            if (k == params.size() || (params[k] == ',' && nest == 0)) {
                std::string param = trim(params.substr(start, k - start));
                start = k + 1;
                if (param.empty() || param == "void") continue;
                std::string type, semantic;
                bool output;
                if (!declaration(param, type, semantic, output) || output) continue;
                if (semantic.empty()) {
                    structMembers(s, type, inputs);
                    continue;
                }
                inputs.push_back(parameter(type, semantic));
            }
        }
        return true;
    }
    return false;
}

}  // namespace Platform::gpu
