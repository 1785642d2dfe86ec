#include "ui/dialog_template.h"

#include <algorithm>

namespace ui {
namespace {

// DLGTEMPLATEEX: dlgVer, signature 0xFFFF, helpID, exStyle, style,
// cDlgItems, x, y, cx, cy; then the menu and the class (each 0, 0xFFFF and
// an ordinal, or a string), the title, and with DS_SETFONT the point size.
constexpr size_t kStyleOffset = 12;
constexpr size_t kExtentOffset = 22;
constexpr size_t kMenuOffset = 26;
constexpr uint32_t kSetFont = 0x40;  // DS_SETFONT (DS_SHELLFONT includes it)

class Reader {
public:
    explicit Reader(std::span<const uint8_t> bytes) : bytes_(bytes) {}

    std::optional<uint16_t> Word(size_t at) const {
        if (at + 2 > bytes_.size()) return std::nullopt;
        return static_cast<uint16_t>(bytes_[at] | bytes_[at + 1] << 8);
    }
    std::optional<uint32_t> Dword(size_t at) const {
        auto low = Word(at), high = Word(at + 2);
        if (!low || !high) return std::nullopt;
        return static_cast<uint32_t>(*low) | static_cast<uint32_t>(*high) << 16;
    }
    // Past a "sz_Or_Ord" field: 0, 0xFFFF and one word, or a string.
    std::optional<size_t> SkipNameOrOrdinal(size_t at) const {
        auto first = Word(at);
        if (!first) return std::nullopt;
        if (*first == 0xFFFF) return Word(at + 2) ? std::optional<size_t>(at + 4) : std::nullopt;
        return SkipString(at);
    }
    std::optional<size_t> SkipString(size_t at) const {
        for (;; at += 2) {
            auto c = Word(at);
            if (!c) return std::nullopt;
            if (*c == 0) return at + 2;
        }
    }

private:
    std::span<const uint8_t> bytes_;
};

bool IsExtended(const Reader& r) { return r.Word(0) == uint16_t{1} && r.Word(2) == uint16_t{0xFFFF}; }

std::optional<size_t> PointsOffset(std::span<const uint8_t> bytes) {
    const Reader r(bytes);
    if (!IsExtended(r)) return std::nullopt;
    auto style = r.Dword(kStyleOffset);
    if (!style || !(*style & kSetFont)) return std::nullopt;
    auto at = r.SkipNameOrOrdinal(kMenuOffset);
    if (at) at = r.SkipNameOrOrdinal(*at);
    if (at) at = r.SkipString(*at);
    if (!at || !r.Word(*at)) return std::nullopt;
    return at;
}

}  // namespace

std::optional<TemplateExtent> ReadTemplateExtent(std::span<const uint8_t> bytes) {
    const Reader r(bytes);
    auto cx = r.Word(kExtentOffset), cy = r.Word(kExtentOffset + 2);
    if (!IsExtended(r) || !cx || !cy) return std::nullopt;
    // Signed shorts in the template; a negative extent is no extent.
    return TemplateExtent{std::max<int>(static_cast<int16_t>(*cx), 0), std::max<int>(static_cast<int16_t>(*cy), 0)};
}

std::optional<int> TemplateFontPoints(std::span<const uint8_t> bytes) {
    auto at = PointsOffset(bytes);
    if (!at) return std::nullopt;
    return Reader(bytes).Word(*at);
}

std::optional<std::vector<uint8_t>> WithTemplateFontPoints(std::span<const uint8_t> bytes, int points) {
    auto at = PointsOffset(bytes);
    if (!at || points < 1 || points > 72) return std::nullopt;
    std::vector<uint8_t> copy(bytes.begin(), bytes.end());
    copy[*at] = static_cast<uint8_t>(points & 0xFF);
    copy[*at + 1] = static_cast<uint8_t>(points >> 8);
    return copy;
}

}  // namespace ui
