// The tool's templates, menu, strings, icon and version as the program
// loads them.
#include "resource.h"
#include "template_items.h"
#include "ui/controls.h"
#include "ui/dialog.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <cwctype>

#include <set>
#include <string>
#include <vector>

namespace {

class Plain : public ui::Dialog {
public:
    using ui::Dialog::Dialog;
    ~Plain() override { Destroy(); }
};

std::wstring ClassOf(HWND h) {
    wchar_t name[64] = {};
    GetClassNameW(h, name, 64);
    return name;
}

LONG Style(HWND h) { return GetWindowLongW(h, GWL_STYLE); }

RECT ChildRect(HWND dlg, HWND child) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, dlg, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

bool Inside(const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.right <= outer.right && inner.top >= outer.top &&
           inner.bottom <= outer.bottom;
}

std::vector<std::wstring> StaticTexts(HWND dlg) {
    std::vector<std::wstring> out;
    for (HWND h = GetWindow(dlg, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) out.push_back(ui::WindowText(h));
    return out;
}

void ExpectClientSize(HWND dlg, int cx, int cy) {
    RECT want{0, 0, cx, cy};
    MapDialogRect(dlg, &want);
    RECT got;
    GetClientRect(dlg, &got);
    EXPECT_NEAR(got.right, want.right, 1);
    EXPECT_NEAR(got.bottom, want.bottom, 1);
}

constexpr LONG kAnyStyle = 0;

struct ControlSpec {
    int id;
    const wchar_t* cls;
    LONG mask;  // style bits compared ...
    LONG bits;  // ... with these
    const wchar_t* caption;
};

TEST(MainTemplate, HoldsEveryControlWithItsKindAndCaption) {
    Plain dlg(IDD_VORN_CONTROLS_DIALOG);
    ASSERT_TRUE(dlg.Create());
    const LONG button = BS_TYPEMASK;
    const ControlSpec specs[] = {
        {IDC_START_CAMERA, L"Button", button, BS_DEFPUSHBUTTON, L"Start Camera"},
        {IDC_EXIT, L"Button", button, BS_PUSHBUTTON, L"Exit"},
        {IDC_EXPOSURE_GROUP, L"Button", button, BS_GROUPBOX, L""},
        {IDC_PICTURE_GROUP, L"Button", button, BS_GROUPBOX, L""},
        {IDC_WB_GROUP, L"Button", button, BS_GROUPBOX, L""},
        {IDC_AUTO_EXPOSURE, L"Button", button, BS_AUTOCHECKBOX, L"Auto Exposure"},
        {IDC_AUTO_WB, L"Button", button, BS_AUTOCHECKBOX, L"Auto White Balance"},
        {IDC_ROTATE_180, L"Button", button, BS_AUTOCHECKBOX, L"Rotate Image 180"},
        {IDC_SHOW_STATUS, L"Button", button, BS_AUTOCHECKBOX, L"Show Status Information"},
        {IDC_ILLUMINATION, L"Button", button | WS_VISIBLE, BS_AUTOCHECKBOX, L"Illumination"},
        {IDC_STATUS, L"Edit", ES_MULTILINE | ES_READONLY | WS_VSCROLL, ES_MULTILINE | ES_READONLY | WS_VSCROLL, L""},
        {IDC_PREVIEW, L"Static", SS_TYPEMASK, SS_BLACKRECT, L""},
        {IDC_SNAPSHOT_SAVE, L"Button", button, BS_PUSHBUTTON, L"Save"},
        {IDC_FILETYPE_BMP, L"Button", button | WS_GROUP, BS_AUTORADIOBUTTON | WS_GROUP, L"BMP"},
        {IDC_FILETYPE_JPG, L"Button", button | WS_GROUP, BS_AUTORADIOBUTTON, L"JPG"},
        {IDC_FILETYPE_PNG, L"Button", button | WS_GROUP, BS_AUTORADIOBUTTON, L"PNG"},
        {IDC_FILETYPE_GROUP, L"Button", button, BS_GROUPBOX, L"File Type"},
        {IDC_RESOLUTION, L"ComboBox", 3 | CBS_SORT, CBS_DROPDOWNLIST, L""},
        {IDC_DEVICE, L"ComboBox", 3 | CBS_SORT, CBS_DROPDOWN | CBS_SORT, L""},
        {IDC_SNAPSHOT_FOLDER, L"Edit", ES_READONLY, 0, L""},
        {IDC_BROWSE_FOLDER, L"Button", button, BS_PUSHBUTTON, L"..."},
    };
    for (const auto& s : specs) {
        HWND h = dlg.Item(s.id);
        ASSERT_TRUE(h) << s.id;
        EXPECT_EQ(ClassOf(h), s.cls) << s.id;
        EXPECT_EQ(Style(h) & s.mask, s.bits) << s.id;
        if (s.mask != kAnyStyle) {
            EXPECT_EQ(ui::WindowText(h), s.caption) << s.id;
        }
    }
    for (int id = IDC_AEC_TARGET_EDIT; id <= IDC_GAMMA_SLIDER; id += 2) {
        EXPECT_EQ(ClassOf(dlg.Item(id)), L"Edit") << id;
        EXPECT_EQ(ClassOf(dlg.Item(id + 1)), TRACKBAR_CLASSW) << id + 1;
    }
    // Only the Illumination box starts hidden.
    for (HWND h = GetWindow(dlg.hwnd(), GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT))
        EXPECT_EQ((Style(h) & WS_VISIBLE) != 0, GetDlgCtrlID(h) != IDC_ILLUMINATION) << GetDlgCtrlID(h);

    const auto texts = StaticTexts(dlg.hwnd());
    for (const wchar_t* label : {L"AEC Target", L"Manual Exposure", L"Color Gain Blue", L"Color Gain Red",
                                 L"Brightness", L"Contrast", L"Saturation", L"Sharpness", L"Gamma", L"Snapshot"})
        EXPECT_NE(std::find(texts.begin(), texts.end(), label), texts.end()) << testing::PrintToString(std::wstring(label));
}

TEST(MainTemplate, WindowFrameSizeAndGroupsFramingTheirControls) {
    Plain dlg(IDD_VORN_CONTROLS_DIALOG);
    ASSERT_TRUE(dlg.Create());
    HWND h = dlg.hwnd();
    EXPECT_EQ(ui::WindowText(h), L"Vorn Camera Control Tool");
    const LONG style = Style(h);
    EXPECT_TRUE(style & WS_THICKFRAME);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_TRUE(style & WS_SYSMENU);
    const LONG ex = GetWindowLongW(h, GWL_EXSTYLE);
    EXPECT_TRUE(ex & WS_EX_APPWINDOW);
    EXPECT_TRUE(ex & WS_EX_ACCEPTFILES);
    ExpectClientSize(h, 801, 444);

    struct Group {
        int group;
        std::vector<int> members;
    };
    const Group groups[] = {
        {IDC_EXPOSURE_GROUP, {IDC_AUTO_EXPOSURE, 1006, 1007, 1008, 1009}},
        {IDC_WB_GROUP, {IDC_AUTO_WB, 1010, 1011, 1012, 1013}},
        {IDC_PICTURE_GROUP, {1014, 1015, 1016, 1017, 1018, 1019, 1020, 1021, 1022, 1023}},
        {IDC_FILETYPE_GROUP, {IDC_FILETYPE_BMP, IDC_FILETYPE_JPG, IDC_FILETYPE_PNG}},
    };
    for (const auto& g : groups)
        for (int id : g.members)
            EXPECT_TRUE(Inside(ChildRect(h, dlg.Item(id)), ChildRect(h, dlg.Item(g.group)))) << id;

    // No two working controls overlap, and all lie in the client area.
    RECT client;
    GetClientRect(h, &client);
    std::vector<std::pair<int, RECT>> rects;
    for (HWND c = GetWindow(h, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        const int id = GetDlgCtrlID(c);
        if (id == IDC_STATIC || (ClassOf(c) == L"Button" && (Style(c) & BS_TYPEMASK) == BS_GROUPBOX)) continue;
        RECT r = ChildRect(h, c);
        if (ClassOf(c) == L"ComboBox") {  // the closed box, not its list
            COMBOBOXINFO info{};
            info.cbSize = sizeof info;
            GetComboBoxInfo(c, &info);
            r.bottom = r.top + (info.rcItem.bottom - info.rcItem.top) + 8;
        }
        EXPECT_TRUE(Inside(r, client)) << id;
        for (const auto& [other, o] : rects) {
            RECT both;
            EXPECT_FALSE(IntersectRect(&both, &r, &o)) << id << " overlaps " << other;
        }
        rects.push_back({id, r});
    }
}

TEST(AboutTemplates, CaptionsTextsAndRowOrder) {
    Plain small(IDD_ABOUTBOX);
    ASSERT_TRUE(small.Create());
    EXPECT_EQ(ui::WindowText(small.hwnd()), L"About Vorn_Controls");
    const auto texts = StaticTexts(small.hwnd());
    EXPECT_NE(std::find(texts.begin(), texts.end(), L"Vorn Controls, Version 1.0"), texts.end());
    EXPECT_EQ(Style(small.Item(IDOK)) & BS_TYPEMASK, BS_DEFPUSHBUTTON);

    Plain about(IDD_HELP_ABOUT);
    ASSERT_TRUE(about.Create());
    HWND h = about.hwnd();
    EXPECT_EQ(ui::WindowText(h), L"About Vorn Controls Tool");
    ExpectClientSize(h, 294, 141);
    EXPECT_EQ(Style(about.Item(IDOK)) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
    const int rows[] = {IDC_ABOUT_VERSION, IDC_ABOUT_PRODUCT, IDC_ABOUT_VIDPID, IDC_ABOUT_FIRMWARE};
    for (size_t i = 1; i < std::size(rows); ++i)
        EXPECT_LT(ChildRect(h, about.Item(rows[i - 1])).top, ChildRect(h, about.Item(rows[i])).top) << rows[i];
    const auto labels = StaticTexts(h);
    for (const wchar_t* label : {L"Version:", L"Camera Product Name:", L"Product vid and pid:", L"Camera Firmware Version:"})
        EXPECT_NE(std::find(labels.begin(), labels.end(), label), labels.end());
    // A product name with '&' must show as typed.
    for (int id : rows) EXPECT_TRUE(Style(about.Item(id)) & SS_NOPREFIX) << id;
    // Both boxes show the program icon.
    for (HWND box : {small.hwnd(), h}) {
        bool icon = false;
        for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
            icon |= (Style(c) & SS_TYPEMASK) == SS_ICON && SendMessageW(c, STM_GETICON, 0, 0) != 0;
        EXPECT_TRUE(icon);
    }
}

TEST(OtherResources, MenuStringIconAndVersion) {
    ui::Menu menu;
    ASSERT_TRUE(menu.Load(IDR_MAIN_MENU));
    struct Item {
        int popup;
        const wchar_t* popupText;
        UINT id;
        const wchar_t* text;
    };
    const Item items[] = {
        {0, L"File", ID_FILE_SAVE_CONFIG, L"Save Config"},
        {0, L"File", ID_FILE_LOAD_CONFIG, L"Load Config"},
        {1, L"Tools", ID_TOOLS_BURN_FIRMWARE, L"Burn Firmware"},
        {1, L"Tools", ID_TOOLS_RESTORE_DEFAULTS, L"Restore Camera Defaults"},
        {2, L"Help", ID_HELP_ABOUT, L"About"},
    };
    for (const auto& it : items) {
        wchar_t text[64] = {};
        GetMenuStringW(menu.handle(), it.popup, text, 64, MF_BYPOSITION);
        EXPECT_STREQ(text, it.popupText);
        GetMenuStringW(menu.handle(), it.id, text, 64, MF_BYCOMMAND);
        EXPECT_STREQ(text, it.text);
        EXPECT_EQ(menu.State(it.id) & (MF_GRAYED | MF_DISABLED), 0);
    }
    EXPECT_EQ(menu.EnableItem(ID_FILE_SAVE_CONFIG, MF_GRAYED), MF_ENABLED);
    EXPECT_EQ(menu.State(ID_FILE_SAVE_CONFIG) & MF_GRAYED, UINT(MF_GRAYED));
    EXPECT_EQ(menu.State(40999), -1);

    wchar_t about[64] = {};
    LoadStringW(GetModuleHandleW(nullptr), IDS_ABOUTBOX, about, 64);
    EXPECT_STREQ(about, L"&About Vorn_Controls...");
    EXPECT_EQ(IDM_ABOUTBOX & 0xF, 0);
    EXPECT_EQ(IDM_ABOUTBOX, 0x0010);

    for (int size : {16, 32, 48})
        EXPECT_TRUE(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON, size, size, 0))
            << size;

    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    DWORD handle = 0;
    std::vector<char> info(GetFileVersionInfoSizeW(self, &handle));
    ASSERT_FALSE(info.empty());
    ASSERT_TRUE(GetFileVersionInfoW(self, 0, static_cast<DWORD>(info.size()), info.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0u);
    wchar_t* version = nullptr;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\StringFileInfo\\040904b0\\ProductVersion",
                               reinterpret_cast<void**>(&version), &length));
    EXPECT_STREQ(version, L"1.0.0");
}

TEST(OtherResources, ComboItemListsMatchTheWindowsItems) {
    const std::vector<std::wstring> resolutions(std::begin(vorn::resources::kResolutionItems),
                                                std::end(vorn::resources::kResolutionItems));
    EXPECT_EQ(resolutions, (std::vector<std::wstring>{L"1280*800", L"1280*720", L"800*600", L"640*480", L"320*240"}));
    EXPECT_EQ(std::size(vorn::resources::kDeviceItems), 5u);
}

// The loader resolves the common controls through the manifest to the
// side-by-side version 6 assembly.
TEST(OtherResources, ManifestSelectsCommonControlsSix) {
    HMODULE comctl = GetModuleHandleW(L"comctl32.dll");
    ASSERT_TRUE(comctl);
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(comctl, path, MAX_PATH);
    std::wstring lower(path);
    for (wchar_t& c : lower) c = static_cast<wchar_t>(towlower(c));
    EXPECT_NE(lower.find(L"microsoft.windows.common-controls_6595b64144ccf1df_6."), std::wstring::npos)
        << testing::PrintToString(lower);
}

}  // namespace
