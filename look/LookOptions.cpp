#include "look/LookOptions.h"

namespace {

constexpr char kTextureValues[] = "a picture file or a folder of pictures";

struct LookOption {
    const char* name;
    const char* accepted;
    bool (*parse)(std::string_view text, LookSettings* look);
};

constexpr LookOption kLookOptions[] = {
    {"--shape", kLookShapeValues,
     [](std::string_view text, LookSettings* look) { return ParseLookShape(text, &look->shape); }},
    {"--speed", kLookStepValues,
     [](std::string_view text, LookSettings* look) {
         return ParseLookSteps(text, &look->speedSteps);
     }},
    {"--focal", kLookStepValues,
     [](std::string_view text, LookSettings* look) {
         return ParseLookSteps(text, &look->focalSteps);
     }},
    {"--quads", kLookQuadsValues,
     [](std::string_view text, LookSettings* look) {
         return ParseLookQuads(text, &look->quadsPerRing);
     }},
    // Any name: whether it can be read shows when the texture is loaded.
    {"--texture", kTextureValues,
     [](std::string_view text, LookSettings* look) {
         if (text.empty())
             return false;
         look->picture = text;
         return true;
     }},
};

const LookOption* Find(std::string_view option)
{
    for (const LookOption& entry : kLookOptions) {
        if (option == entry.name)
            return &entry;
    }
    return nullptr;
}

}  // namespace

const char* LookOptionValues(std::string_view option)
{
    const LookOption* entry = Find(option);
    return entry != nullptr ? entry->accepted : nullptr;
}

bool ParseLookOption(std::string_view option, std::string_view value, LookSettings* look)
{
    const LookOption* entry = Find(option);
    return entry != nullptr && entry->parse(value, look);
}
