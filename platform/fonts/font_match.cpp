// Face names to installed face files, through fontconfig.

#include "platform/fonts/fonts.h"

#include <fontconfig/fontconfig.h>

#include <strings.h>

namespace platform {

namespace {

struct Pin {
    const char* name;
    std::vector<const char*> families;
};

// Faces that are not free, and the free faces that stand in for them.
const Pin pins[] = {
    {"arial", {"Liberation Sans"}},
    {"Comic Sans MS", {"Comic Neue"}},
};

const char* const lastResortFamily = "DejaVu Sans";

bool sameName(const char* a, const char* b)
{
    return strcasecmp(a, b) == 0;
}

// The best installed face for a family and weight. With `exact`, only a face of
// that very family counts; otherwise whatever fontconfig offers.
bool matchFamily(const char* family, int weight, bool exact, FontFile& out)
{
    if (!FcInit())
        return false;
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
    FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(weight));
    FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match)
        return false;

    bool found = false;
    FcChar8* file = nullptr;
    FcChar8* matchedFamily = nullptr;
    if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch &&
        FcPatternGetString(match, FC_FAMILY, 0, &matchedFamily) == FcResultMatch) {
        found = !exact;
        // A face may carry several family names ("DejaVu Sans" and "DejaVu Sans
        // Condensed"); any of them may be the one asked for.
        FcChar8* name = nullptr;
        for (int i = 0; !found && FcPatternGetString(match, FC_FAMILY, i, &name) == FcResultMatch; ++i)
            found = sameName(reinterpret_cast<const char*>(name), family);
    }
    if (found) {
        out.path = reinterpret_cast<const char*>(file);
        out.family = reinterpret_cast<const char*>(matchedFamily);
        int index = 0;
        out.index = FcPatternGetInteger(match, FC_INDEX, 0, &index) == FcResultMatch ? index : 0;
    }
    FcPatternDestroy(match);
    return found;
}

} // namespace

FontFile findFontFile(const std::string& faceName, int weight)
{
    std::vector<const char*> families;
    for (const Pin& pin : pins)
        if (sameName(pin.name, faceName.c_str()))
            families = pin.families;
    if (families.empty() && !faceName.empty())
        families.push_back(faceName.c_str());
    families.push_back(lastResortFamily);

    FontFile file;
    for (const char* family : families)
        if (matchFamily(family, weight, true, file))
            return file;
    matchFamily("sans-serif", weight, false, file);
    return file;
}

} // namespace platform
