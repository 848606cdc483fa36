// Font lookup by family name with fontconfig, checking that the match is the family
// asked for before falling back to the substitutes.
#include "platform/FontLocator.h"

#include <fontconfig/fontconfig.h>

#include <strings.h>

namespace vorlane {

std::vector<std::string> FontCandidates(const std::string& family) {
    std::vector<std::string> list{family};
    if (strcasecmp(family.c_str(), "DS Crystal") == 0) list.push_back("DSEG14 Classic");
    if (strcasecmp(family.c_str(), "Beast Impacted") == 0) list.push_back("Roboto Condensed");
    if (strcasecmp(family.c_str(), "DejaVu Sans") != 0) list.push_back("DejaVu Sans");
    return list;
}

bool WantsBoldFace(const std::string& family, const std::string& candidate, bool bold) {
    return bold || (strcasecmp(family.c_str(), "Beast Impacted") == 0 &&
                    strcasecmp(candidate.c_str(), family.c_str()) != 0);
}

struct FontLocator::Impl {
    FcConfig* config = nullptr;
};

FontLocator::FontLocator() : impl_(std::make_unique<Impl>()) {
    impl_->config = FcInitLoadConfigAndFonts();
}

FontLocator::~FontLocator() {
    if (impl_->config) FcConfigDestroy(impl_->config);
}

namespace {

struct PatternDeleter {
    void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};
using PatternPtr = std::unique_ptr<FcPattern, PatternDeleter>;

// fontconfig's best match for a family name (any family when `family` is empty).
PatternPtr Match(FcConfig* config, const std::string& family, bool bold) {
    PatternPtr pattern(FcPatternCreate());
    if (!pattern) return nullptr;
    FcPatternAddString(pattern.get(), FC_FAMILY,
                       reinterpret_cast<const FcChar8*>(family.empty() ? "sans-serif" : family.c_str()));
    FcPatternAddInteger(pattern.get(), FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern.get(), FC_SLANT, FC_SLANT_ROMAN);
    FcConfigSubstitute(config, pattern.get(), FcMatchPattern);
    FcDefaultSubstitute(pattern.get());
    FcResult result = FcResultNoMatch;
    PatternPtr match(FcFontMatch(config, pattern.get(), &result));
    if (result != FcResultMatch) return nullptr;
    return match;
}

// The match's own spelling of `family` when it is one of the match's family names.
std::optional<std::string> FamilyName(FcPattern* match, const std::string& family) {
    FcChar8* value = nullptr;
    for (int i = 0; FcPatternGetString(match, FC_FAMILY, i, &value) == FcResultMatch; ++i)
        if (strcasecmp(reinterpret_cast<const char*>(value), family.c_str()) == 0)
            return std::string(reinterpret_cast<const char*>(value));
    return std::nullopt;
}

std::optional<FontFile> Describe(FcPattern* match) {
    FcChar8* file = nullptr;
    FcChar8* family = nullptr;
    int index = 0, weight = FC_WEIGHT_REGULAR;
    if (FcPatternGetString(match, FC_FILE, 0, &file) != FcResultMatch) return std::nullopt;
    FcPatternGetInteger(match, FC_INDEX, 0, &index);
    FcPatternGetInteger(match, FC_WEIGHT, 0, &weight);
    FcPatternGetString(match, FC_FAMILY, 0, &family);
    FontFile f;
    f.path = reinterpret_cast<const char*>(file);
    f.index = index;
    f.family = family ? reinterpret_cast<const char*>(family) : "";
    f.bold = weight >= FC_WEIGHT_BOLD;
    return f;
}

} // namespace

std::optional<FontFile> FontLocator::FindFamily(const std::string& family, bool bold) const {
    if (!impl_->config || family.empty()) return std::nullopt;
    PatternPtr match = Match(impl_->config, family, bold);
    if (!match) return std::nullopt;
    auto name = FamilyName(match.get(), family);
    if (!name) return std::nullopt;
    auto found = Describe(match.get());
    if (found) found->family = *name; // a file may carry several family names
    return found;
}

std::optional<FontFile> FontLocator::Resolve(const std::string& family, bool bold) const {
    for (const std::string& candidate : FontCandidates(family))
        if (auto found = FindFamily(candidate, WantsBoldFace(family, candidate, bold))) return found;
    if (!impl_->config) return std::nullopt;
    PatternPtr fallback = Match(impl_->config, "", WantsBoldFace(family, "", bold));
    return fallback ? Describe(fallback.get()) : std::nullopt;
}

} // namespace vorlane
