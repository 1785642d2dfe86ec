// What the window needs from an extended dialog template (the resource bytes
// as the resource compiler writes them): its size in dialog units, and its
// font size, read and changed in a copy so that a dialog can be made again
// from the same template with a smaller font. Portable: only bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace ui {

// Width and height of an extended template in dialog units.
struct TemplateExtent {
    int cx = 0;
    int cy = 0;
};
std::optional<TemplateExtent> ReadTemplateExtent(std::span<const uint8_t> bytes);

// The point size of an extended template that names its font; nullopt for
// a classic template, one without a font, or bytes that end too soon.
std::optional<int> TemplateFontPoints(std::span<const uint8_t> bytes);

// A copy of the template with the point size replaced; nullopt where
// TemplateFontPoints finds none or the size is not 1 to 72.
std::optional<std::vector<uint8_t>> WithTemplateFontPoints(std::span<const uint8_t> bytes, int points);

}  // namespace ui
