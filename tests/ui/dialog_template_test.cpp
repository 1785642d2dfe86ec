// The size and font of an extended dialog template read from its bytes, and
// a copy with another font size, for the header forms the resource compiler
// writes; cut or foreign bytes give nothing and are never read past.
#include "ui/dialog_template.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using Bytes = std::vector<uint8_t>;

void Word(Bytes& b, uint16_t w) {
    b.push_back(static_cast<uint8_t>(w & 0xFF));
    b.push_back(static_cast<uint8_t>(w >> 8));
}
void Dword(Bytes& b, uint32_t d) {
    Word(b, static_cast<uint16_t>(d & 0xFFFF));
    Word(b, static_cast<uint16_t>(d >> 16));
}
void Text(Bytes& b, const std::u16string& s) {
    for (char16_t c : s) Word(b, c);
    Word(b, 0);
}
// A menu or class field: none, an ordinal, or a name.
void NameOrOrdinal(Bytes& b, int ordinal, const std::u16string& name) {
    if (ordinal > 0) {
        Word(b, 0xFFFF);
        Word(b, static_cast<uint16_t>(ordinal));
    } else if (!name.empty()) {
        Text(b, name);
    } else {
        Word(b, 0);
    }
}

struct Header {
    uint32_t style = 0x80CE0048;  // DS_SETFONT | DS_FIXEDSYS | popup, caption, ...
    int menuOrdinal = 0;
    std::u16string menuName;
    int classOrdinal = 0;
    std::u16string className;
    std::u16string title = u"Vorn Camera Control Tool";
    uint16_t points = 9;
};

// The header of an extended template, with one item's worth of bytes after it.
Bytes Extended(const Header& h) {
    Bytes b;
    Word(b, 1);
    Word(b, 0xFFFF);
    Dword(b, 0);  // help id
    Dword(b, 0);  // extended style
    Dword(b, h.style);
    Word(b, 1);  // items
    Word(b, 0);
    Word(b, 0);
    Word(b, 801);
    Word(b, 444);
    NameOrOrdinal(b, h.menuOrdinal, h.menuName);
    NameOrOrdinal(b, h.classOrdinal, h.className);
    Text(b, h.title);
    if (h.style & 0x40) {
        Word(b, h.points);
        Word(b, 400);
        b.push_back(0);
        b.push_back(1);
        Text(b, u"MS Shell Dlg");
    }
    b.resize(b.size() + 24, 0xAB);
    return b;
}

TEST(DialogTemplate, ReadsAndChangesTheFontSizeBehindEveryHeaderForm) {
    Header byOrdinal, byName, emptyTitle;
    byOrdinal.menuOrdinal = 132;
    byOrdinal.classOrdinal = 0x8002;
    byName.menuName = u"MAINMENU";
    byName.className = u"VornDialog";
    emptyTitle.title.clear();
    emptyTitle.points = 8;
    const struct {
        const char* name;
        Header header;
    } cases[] = {
        {"no menu, no class", Header{}},
        {"menu and class by ordinal", byOrdinal},
        {"menu and class by name", byName},
        {"empty title, 8 points", emptyTitle},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes bytes = Extended(c.header);
        EXPECT_EQ(ui::TemplateFontPoints(bytes), c.header.points);
        const auto extent = ui::ReadTemplateExtent(bytes);
        ASSERT_TRUE(extent.has_value());
        EXPECT_EQ(extent->cx, 801);
        EXPECT_EQ(extent->cy, 444);

        const auto smaller = ui::WithTemplateFontPoints(bytes, 7);
        ASSERT_TRUE(smaller.has_value());
        EXPECT_EQ(ui::TemplateFontPoints(*smaller), 7);
        ASSERT_EQ(smaller->size(), bytes.size());
        int changed = 0;
        for (size_t i = 0; i < bytes.size(); ++i) changed += (*smaller)[i] != bytes[i];
        EXPECT_EQ(changed, c.header.points == 7 ? 0 : 1);  // the low byte of the size only
    }
}

TEST(DialogTemplate, GivesNothingForOtherOrCutBytes) {
    Header noFont;
    noFont.style &= ~0x40u;
    EXPECT_EQ(ui::TemplateFontPoints(Extended(noFont)), std::nullopt);
    EXPECT_EQ(ui::WithTemplateFontPoints(Extended(noFont), 8), std::nullopt);
    EXPECT_TRUE(ui::ReadTemplateExtent(Extended(noFont)).has_value());

    Bytes classic = Extended({});
    classic[2] = classic[3] = 0;  // no 0xFFFF signature: a DLGTEMPLATE
    EXPECT_EQ(ui::TemplateFontPoints(classic), std::nullopt);
    EXPECT_EQ(ui::ReadTemplateExtent(classic), std::nullopt);

    EXPECT_EQ(ui::WithTemplateFontPoints(Extended({}), 0), std::nullopt);
    EXPECT_EQ(ui::WithTemplateFontPoints(Extended({}), 73), std::nullopt);

    // Every cut of a whole header: nothing, or the same answer, never a
    // read past the end (the sanitizers would say).
    Header named;
    named.menuName = u"M";
    named.className = u"C";
    const Bytes whole = Extended(named);
    for (size_t n = 0; n < whole.size(); ++n) {
        const std::span<const uint8_t> cut(whole.data(), n);
        const auto points = ui::TemplateFontPoints(cut);
        EXPECT_TRUE(!points || *points == 9) << n;
        const auto extent = ui::ReadTemplateExtent(cut);
        EXPECT_TRUE(!extent || extent->cx == 801) << n;
    }
}

}  // namespace
