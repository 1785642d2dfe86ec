// File > Save Config and File > Load Config against the simulated camera:
// the bytes written, the rows applied, what the user is told, and the files
// that are refused.
#include <windows.h>

#include <commctrl.h>
#include <commdlg.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iterator>
#include <optional>
#include <string>

#include "config/file_open.h"
#include "ui/controls.h"
#include "window_fixture.h"

namespace vorn::test {
namespace {

using D = CVornControlsDlg;

const char kFullCamera[] = "[camera]\nfirmware = Vorn-Corvanith-211015K-1.3\n";   // rotation and illumination
const char kOldCamera[] = "[camera]\nfirmware = Vorn-Corvanith-210801K-1.0\n";    // neither
const char kRotateOnly[] = "[camera]\nfirmware = Vorn-Corvanith-210824K-1.2\n";   // rotation only
const char kHeader[] = "PropName,Value,DataType\r\n";

struct Picture {
    int brightness, contrast, saturation, sharpness, gamma, aecTarget, exposure, gainBlue, gainRed;
    bool aec, awb, rotate, illumination;
};

class ConfigFileTest : public MainWindowTest {
protected:
    // The window as a camera start leaves it: controls and both menu items live.
    void StartRunning(const std::string& scenario, const std::string& settings = "") {
        LoadScenario(scenario);
        if (!settings.empty()) WriteSettings(settings);
        ASSERT_TRUE(Start());
        // The camera's ranges, so that slider positions read back as set.
        const struct { ui::Trackbar D::*slider; int min, max; } ranges[] = {
            {&D::m_brightnessSlider, -64, 64}, {&D::m_contrastSlider, 0, 95},
            {&D::m_saturationSlider, 0, 100},  {&D::m_sharpnessSlider, 0, 7},
            {&D::m_gammaSlider, 72, 500},      {&D::m_aecTargetSlider, 0, 255},
            {&D::m_manualExposureSlider, -13, -1}, {&D::m_gainBlueSlider, 128, 511},
            {&D::m_gainRedSlider, 128, 511},
        };
        for (const auto& r : ranges) (Dlg().*r.slider).SetRange(r.min, r.max);
        Dlg().m_menu.EnableItem(ID_FILE_SAVE_CONFIG, MF_ENABLED);
        Dlg().m_menu.EnableItem(ID_FILE_LOAD_CONFIG, MF_ENABLED);
        Dlg().EnableControls(true);
    }

    // Fields and controls show the picture; the camera is not told.
    void Show(const Picture& p) {
        D& d = Dlg();
        d.m_brightness = d.m_brightnessPos = p.brightness;
        d.m_contrast = d.m_contrastPos = p.contrast;
        d.m_saturation = d.m_saturationPos = p.saturation;
        d.m_sharpness = d.m_sharpnessPos = p.sharpness;
        d.m_gamma = d.m_gammaPos = p.gamma;
        d.m_aecTarget = d.m_aecTargetPos = p.aecTarget;
        d.m_manualExposure = d.m_manualExposurePos = p.exposure;
        d.m_gainBlue = d.m_gainBluePos = p.gainBlue;
        d.m_gainRed = d.m_gainRedPos = p.gainRed;
        d.m_aecOn = p.aec;
        d.m_awbOn = p.awb;
        d.m_rotate180 = p.rotate;
        d.m_illuminationOn = p.illumination;
        d.UpdateData(false);
    }

    // The camera takes the picture too, through the library.
    void Apply(const Picture& p) {
        ASSERT_EQ(vorn_uvc_setBrightness(p.brightness), 0);
        ASSERT_EQ(vorn_uvc_setContrast(p.contrast), 0);
        ASSERT_EQ(vorn_uvc_setSaturation(p.saturation), 0);
        ASSERT_EQ(vorn_uvc_setSharpness(p.sharpness), 0);
        ASSERT_EQ(vorn_uvc_setGamma(p.gamma), 0);
        ASSERT_EQ(vorn_uvc_setAEC_Target(p.aecTarget), 0);
        ASSERT_EQ(vorn_uvc_setAEC_Mode(p.aec), 0);
        if (!p.aec) {
            ASSERT_EQ(vorn_uvc_setManualExposureValue(p.exposure), 0);
        }
        ASSERT_EQ(vorn_uvc_setAWB_Mode(p.awb), 0);
        if (!p.awb) {
            ASSERT_EQ(vorn_uvc_set_AWB_Gain_Blue(p.gainBlue), 0);
            ASSERT_EQ(vorn_uvc_set_AWB_Gain_Red(p.gainRed), 0);
        }
        ASSERT_EQ(vorn_uvc_rotate180(p.rotate), 0);
        ASSERT_EQ(vorn_uvc_setIllumination(p.illumination), 0);
        Show(p);
    }

    std::wstring PathOf(const std::wstring& name) const { return ProgramFolder() + L"\\" + name; }

    static void WriteBytes(const std::wstring& path, const std::string& bytes) {
        files::FileHandle f(files::Open(files::PathFromWide(path), "wb"));
        ASSERT_TRUE(f);
        ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), f.get()), bytes.size());
    }
    static std::optional<std::string> ReadBytes(const std::wstring& path) {
        std::string bytes;
        if (!files::ReadAll(files::PathFromWide(path), bytes)) return std::nullopt;
        return bytes;
    }

    void Save(const std::optional<std::wstring>& path) {
        Prompts().QueuePath(path);
        Command(ID_FILE_SAVE_CONFIG);
    }
    void Load(const std::wstring& path) {
        Prompts().QueuePath(path);
        Command(ID_FILE_LOAD_CONFIG);
    }
    std::wstring LoadText(const std::string& content, const std::wstring& name = L"in.csv") {
        const std::wstring path = PathOf(name);
        WriteBytes(path, content);
        Load(path);
        return path;
    }

    // Message boxes of these handlers: range warnings of the exchange aside.
    std::vector<ui::PromptRecord> Boxes() {
        std::vector<ui::PromptRecord> boxes;
        for (const ui::PromptRecord& r : Prompts().Messages())
            if (!(r.flags & MB_ICONEXCLAMATION)) boxes.push_back(r);
        return boxes;
    }
    void ExpectOnlyBox(const std::wstring& text, const std::wstring& caption) {
        auto boxes = Boxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, text);
        EXPECT_EQ(boxes[0].caption, caption);
        EXPECT_EQ(boxes[0].flags, static_cast<UINT>(MB_OK));
    }
    void ExpectLoaded(const std::wstring& path) {
        ExpectOnlyBox(L"Finish load properties and controls values from " + path, L"Load Configuration");
    }
    void ExpectLoadFailed() { ExpectOnlyBox(L"Failed to load configuration!", L"ERROR"); }

    bool EndsWith(const std::wstring& text, const std::wstring& tail) {
        return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
    }
    // The status text, and the box shows it too.
    std::wstring Status() {
        EXPECT_EQ(ui::WindowText(Item(IDC_STATUS)), Dlg().m_statusText);
        return Dlg().m_statusText;
    }
    void Restart() {
        TearDown();
        SetUp();
    }
};

const Picture kBase = {5, 5, 5, 5, 100, 5, -5, 128, 128, true, true, false, false};

// ---------------------------------------------------------------------------
// Save Config.

TEST_F(ConfigFileTest, SaveWritesTheRowsOfTheModesAndCapabilitiesExactly) {
    const std::string picture =
        "BRIGHTNESS,17,int\r\nCONTRAST,30,int\r\nSATURATION,55,int\r\nSHARPNESS,4,int\r\nGAMMA,90,int\r\n";
    const struct {
        const char* name;
        const char* scenario;
        const char* settings;
        Picture picture;
        std::string rows;
    } cases[] = {
        {"eight rows: both automatic, no rotation, no illumination", kOldCamera, "illuminate=TRUE\n",
         {40, 30, 55, 4, 90, 77, -7, 300, 200, true, true, true, true},
         "AUTO_EXPOSURE,TRUE,bool\r\nAEC_TARGET,77,int\r\nAUTO_WHITE_BALANCE,TRUE,bool\r\n"},
        {"twelve rows: both manual, rotation, illumination shown", kFullCamera, "illuminate=TRUE\n",
         {40, 30, 55, 4, 90, 77, -7, 300, 200, false, false, true, false},
         "AUTO_EXPOSURE,FALSE,bool\r\nMANUAL_EXPOSURE,-7,int\r\nAUTO_WHITE_BALANCE,FALSE,bool\r\n"
         "COLOR_GAIN_BLUE,300,int\r\nCOLOR_GAIN_RED,200,int\r\nROTATE_180,TRUE,bool\r\nILLUMINATE,FALSE,bool\r\n"},
        {"illumination box hidden on a supporting camera", kFullCamera, "",
         {40, 30, 55, 4, 90, 77, -7, 300, 200, true, false, false, true},
         "AUTO_EXPOSURE,TRUE,bool\r\nAEC_TARGET,77,int\r\nAUTO_WHITE_BALANCE,FALSE,bool\r\n"
         "COLOR_GAIN_BLUE,300,int\r\nCOLOR_GAIN_RED,200,int\r\nROTATE_180,FALSE,bool\r\n"},
        {"build 210824: rotation without illumination", kRotateOnly, "illuminate=TRUE\n",
         {40, 30, 55, 4, 90, 77, -7, 300, 200, false, true, false, true},
         "AUTO_EXPOSURE,FALSE,bool\r\nMANUAL_EXPOSURE,-7,int\r\nAUTO_WHITE_BALANCE,TRUE,bool\r\n"
         "ROTATE_180,FALSE,bool\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        StartRunning(c.scenario, c.settings);
        Show(c.picture);
        // Moved by the user but not yet read back: the save reads it.
        SendMessageW(Item(IDC_BRIGHTNESS_SLIDER), TBM_SETPOS, TRUE, 17);
        const std::wstring path = PathOf(L"saved.csv");
        Save(path);

        EXPECT_EQ(ReadBytes(path), std::string(kHeader) + picture + c.rows);
        auto records = Prompts().Records();
        ASSERT_FALSE(records.empty());
        EXPECT_EQ(records[0].kind, ui::PromptRecord::Kind::SaveFile);
        EXPECT_EQ(records[0].defaultExt, L"csv");
        EXPECT_EQ(records[0].filter, L"CSV (*.csv)|*.csv");
        EXPECT_EQ(records[0].flags, static_cast<DWORD>(OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT));
        const std::wstring message = L"Finish save properties and controls values into " + path;
        ExpectOnlyBox(message, L"Save Configuration");
        EXPECT_TRUE(EndsWith(Status(), message + L"\r\n"));
        EXPECT_EQ(Dlg().m_brightnessPos, 17);
        // Controls come back as the modes say.
        EXPECT_TRUE(Enabled(IDC_BRIGHTNESS_SLIDER));
        EXPECT_EQ(Enabled(IDC_MANUAL_EXPOSURE_EDIT), !c.picture.aec);
        Restart();
    }
}

TEST_F(ConfigFileTest, SaveThatCannotWriteOrIsCancelledShowsNoSuccess) {
    StartRunning(kFullCamera);
    Show(kBase);
    const std::wstring before = Status();
    std::filesystem::create_directories(std::filesystem::path(PathOf(L"taken.csv")));
    const struct { const char* name; std::optional<std::wstring> path; bool failureBox; } cases[] = {
        {"cancelled", std::nullopt, false},
        {"missing folder", PathOf(L"no such folder\\saved.csv"), true},
        {"a folder of that name", PathOf(L"taken.csv"), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Prompts().Clear();
        Save(c.path);
        if (c.failureBox)
            ExpectOnlyBox(L"Failed to save configuration!", L"ERROR");
        else
            EXPECT_TRUE(Boxes().empty());
        EXPECT_EQ(Status(), before);
        EXPECT_TRUE(Enabled(IDC_BRIGHTNESS_SLIDER));
    }
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(PathOf(L"no such folder"))));
}

// ---------------------------------------------------------------------------
// Load Config: rows that apply.

TEST_F(ConfigFileTest, IntegerRowsMatchInAnyCaseAndTakeLenientNumbers) {
    StartRunning(kFullCamera);
    const struct {
        const char* row;
        int32_t D::*position;
        int32_t D::*edit;
        int value;
        const wchar_t* line;
        decltype(&vorn_uvc_getBrightness) get;  // nullptr: the camera's own gains hide it
    } cases[] = {
        {"brightness,40,Int", &D::m_brightnessPos, &D::m_brightness, 40, L"Set Brightness to 40 successfully", vorn_uvc_getBrightness},
        {"BRIGHTNESS,-3.9,int", &D::m_brightnessPos, &D::m_brightness, -3, L"Set Brightness to -3 successfully", vorn_uvc_getBrightness},
        {"Contrast,12.7,INT", &D::m_contrastPos, &D::m_contrast, 12, L"Set Contrast to 12 successfully", vorn_uvc_getContrast},
        {"sharpness,abc,int", &D::m_sharpnessPos, &D::m_sharpness, 0, L"Set Sharpness to 0 successfully", vorn_uvc_getSharpness},
        {"Saturation,  55.99e0x,int", &D::m_saturationPos, &D::m_saturation, 55, L"Set Saturation to 55 successfully", vorn_uvc_getSaturation},
        {"gamma,150,int", &D::m_gammaPos, &D::m_gamma, 150, L"Set Gamma to 150 successfully", vorn_uvc_getGamma},
        {"Aec_Target,77,int", &D::m_aecTargetPos, &D::m_aecTarget, 77, L"Set AEC Target to 77 successfully", vorn_uvc_getAEC_Target},
        {"AUTO_EXPOSURE,-6,int", &D::m_manualExposurePos, &D::m_manualExposure, -6, L"Set Manual Exposure to -6 successfully", vorn_uvc_getManualExposureValue},
        {"manual_exposure,-9,int", &D::m_manualExposurePos, &D::m_manualExposure, -9, L"Set Manual Exposure to -9 successfully", vorn_uvc_getManualExposureValue},
        {"color_gain_blue,300,int", &D::m_gainBluePos, &D::m_gainBlue, 300, L"Set Color Gain Blue to 300 successfully", nullptr},
        {"COLOR_GAIN_RED,200,int", &D::m_gainRedPos, &D::m_gainRed, 200, L"Set Color Gain Red to 200 successfully", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.row);
        Show(kBase);
        Prompts().Clear();
        const std::wstring path = LoadText(std::string(kHeader) + c.row + "\r\n");
        ExpectLoaded(path);
        EXPECT_TRUE(EndsWith(Status(), std::wstring(c.line) + L"\r\nFinish load properties and controls values from " +
                                           path + L"\r\n"));
        EXPECT_EQ(Dlg().*c.position, c.value);
        EXPECT_EQ(Dlg().*c.edit, c.value);
        int camera = 12345;
        if (c.get) {
            EXPECT_EQ(c.get(&camera), 0);
            EXPECT_EQ(camera, c.value);
        }
    }
}

TEST_F(ConfigFileTest, AValueAtTheSliderPositionIsSkippedWithoutACall) {
    StartRunning(kFullCamera);
    Show(kBase);
    ClearTrace();
    LoadText(std::string(kHeader) + "BRIGHTNESS,5.5,int\r\n");
    EXPECT_NE(Status().find(L"Skip setting Brighness\r\nFinish load"), std::wstring::npos);
    EXPECT_FALSE(TraceHas("SonixCam_PropertySet"));
}

TEST_F(ConfigFileTest, OnlyTrueInAnyCaseSwitchesAModeOn) {
    StartRunning(kFullCamera);
    const struct { const char* value; bool on; } cases[] = {
        {"TRUE", true}, {"true", true}, {"True", true},
        {"1", false}, {"yes", false}, {"", false}, {"FALSE", false}, {"TRUE ", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        Picture p = kBase;
        p.awb = !c.on;
        Show(p);
        Prompts().Clear();
        ClearTrace();
        LoadText(std::string(kHeader) + "auto_white_balance," + c.value + ",Bool\r\n");
        EXPECT_EQ(Dlg().m_awbOn, c.on ? 1 : 0);
        EXPECT_EQ(Enabled(IDC_GAIN_BLUE_EDIT), !c.on);
        EXPECT_EQ(Enabled(IDC_GAIN_RED_SLIDER), !c.on);
        const std::vector<std::string> trace = Trace();
        int last = -1;
        for (int i = 0; i < static_cast<int>(trace.size()); ++i)
            if (trace[i].rfind("SonixCam_PropertySet(7, ", 0) == 0) last = i;
        ASSERT_GE(last, 0);
        EXPECT_NE(trace[last].find(c.on ? ", 1) = 0" : ", 2) = 0"), std::string::npos) << trace[last];
    }
}

TEST_F(ConfigFileTest, ExposureSwitchActsOnlyOnAChangeAndFollowsFileOrder) {
    StartRunning(kFullCamera);
    Picture p = kBase;
    p.aec = false;
    Apply(p);
    // MANUAL_EXPOSURE shares its number with AUTO_EXPOSURE: a bool row switches.
    LoadText(std::string(kHeader) + "MANUAL_EXPOSURE,TRUE,bool\r\n");
    bool aec = false;
    EXPECT_EQ(Dlg().m_aecOn, 1);
    EXPECT_EQ(vorn_uvc_isAECModeOn(&aec), 0);
    EXPECT_TRUE(aec);
    EXPECT_TRUE(Enabled(IDC_AEC_TARGET_EDIT));
    EXPECT_FALSE(Enabled(IDC_MANUAL_EXPOSURE_SLIDER));

    // Already on: nothing reaches the camera.
    ClearTrace();
    LoadText(std::string(kHeader) + "AUTO_EXPOSURE,true,bool\r\n");
    EXPECT_EQ(TraceCount("SonixCam_ControlSet(4, "), 0);

    // The value goes while automatic exposure is still on, then it switches off.
    ClearTrace();
    LoadText(std::string(kHeader) + "MANUAL_EXPOSURE,-8,int\r\nAUTO_EXPOSURE,FALSE,bool\r\n");
    const int set = TraceIndex("SonixCam_ControlSet(4, -8, 2) = 0");
    ASSERT_GE(set, 0);
    EXPECT_GT(TraceIndex("SonixCam_ControlGet(4, ", set), set);
    EXPECT_EQ(Dlg().m_aecOn, 0);
    int exposure = 0;
    EXPECT_EQ(vorn_uvc_getManualExposureValue(&exposure), 0);
    EXPECT_EQ(exposure, -8);
    EXPECT_TRUE(Enabled(IDC_MANUAL_EXPOSURE_EDIT));
}

TEST_F(ConfigFileTest, RowsWithoutAnOperationAreAcceptedAndApplyNothing) {
    StartRunning(kOldCamera);
    const struct { const char* name; std::string content; } cases[] = {
        {"empty file", ""},
        {"empty first line", "\r\n"},
        {"empty first and second line", "\r\n\r\nBRIGHTNESS,40,int\r\n"},
        {"unknown type", std::string(kHeader) + "BRIGHTNESS,40,float\r\n"},
        {"no type column", "Name,Value\r\nbrightness,40\r\n"},
        {"bool for a number without a switch", std::string(kHeader) + "BRIGHTNESS,TRUE,bool\r\n"},
        {"int for a number without an integer", std::string(kHeader) + "AUTO_WHITE_BALANCE,3,int\r\n"},
        {"rotation unsupported", std::string(kHeader) + "ROTATE_180,TRUE,bool\r\n"},
        {"illumination box hidden", std::string(kHeader) + "ILLUMINATE,FALSE,bool\r\n"},
        {"columns after the third", "A,B,C,D\r\nbrightness,40,float,x\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Show(kBase);
        Prompts().Clear();
        ClearTrace();
        const std::wstring before = Status();
        const std::wstring path = LoadText(c.content);
        ExpectLoaded(path);
        EXPECT_EQ(Status(), before + L"Finish load properties and controls values from " + path + L"\r\n");
        EXPECT_EQ(TraceCount("Set("), 0);
        EXPECT_EQ(TraceCount("RegisterWrite("), 0);
        EXPECT_EQ(Dlg().m_brightnessPos, kBase.brightness);
        EXPECT_EQ(Dlg().m_rotate180, 0);
    }
}

// ---------------------------------------------------------------------------
// Load Config: rows and files that are refused.

TEST_F(ConfigFileTest, AFailingRowOrFileStopsTheLoadAndTheProgramGoesOn) {
    const std::string good = "BRIGHTNESS,10,int\r\n", after = "CONTRAST,20,int\r\n";
    const struct {
        const char* name;
        std::string scenario, settings;
        std::optional<std::string> content;  // nullopt: no file
        std::wstring line;                   // "{}" stands for the path
        bool firstRowApplied;
    } cases[] = {
        {"unknown name", kFullCamera, "", kHeader + good + "foo_bar,1,xyz\r\n" + after, L"Cannot find property FOO_BAR", true},
        {"library refuses a value", kFullCamera, "", kHeader + good + "SATURATION,500,int\r\n" + after, L"Failed to set Saturation to 500", true},
        {"exposure mode refused", std::string(kFullCamera) + "[faults]\nSonixCam_ControlSet.4 = always\n", "",
         kHeader + good + "AUTO_EXPOSURE,FALSE,bool\r\n" + after, L"Set AEC Mode failed!", true},
        {"white balance mode refused", std::string(kFullCamera) + "[faults]\nSonixCam_PropertySet.7 = always\n", "",
         kHeader + good + "AUTO_WHITE_BALANCE,TRUE,bool\r\n" + after, L"Set AWB Mode failed!", true},
        {"rotation refused", std::string(kFullCamera) + "[faults]\nSonixCam_ControlSet.2 = always\n", "",
         kHeader + good + "ROTATE_180,TRUE,bool\r\n" + after, L"Rotation failed!", true},
        {"illumination refused", std::string(kFullCamera) + "[faults]\nSonixCam_ControlSet.6 = always\n", "illuminate=TRUE\n",
         kHeader + good + "ILLUMINATE,TRUE,bool\r\n" + after, L"Illumination failed!", true},
        {"wrong field count", kFullCamera, "", kHeader + good + "CONTRAST,20\r\n",
         L"Saw 2 columns; expected 3 comma separated columns at line 2 of file {}: CONTRAST,20", false},
        {"data under an empty header", kFullCamera, "", "\r\n" + good,
         L"Saw 3 columns; expected 0 comma separated columns at line 1 of file {}: BRIGHTNESS,10,int", false},
        {"header without rows", kFullCamera, "", std::string(kHeader), L"No column named 'PropName'", false},
        {"repeated column name", kFullCamera, "", "PropName,Value,PropName\r\n" + good,
         L"Duplicate column name 'PropName' in file {}", false},
        {"missing file", kFullCamera, "", std::nullopt, L"Unable to open file {}", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        StartRunning(c.scenario, c.settings);
        Show(kBase);
        const std::wstring path = PathOf(L"in.csv");
        if (c.content) WriteBytes(path, *c.content);
        Load(path);
        ExpectLoadFailed();
        std::wstring line = c.line;
        if (size_t at = line.find(L"{}"); at != std::wstring::npos) line.replace(at, 2, path);
        EXPECT_TRUE(EndsWith(Status(), line + L"\r\n")) << "status: " << testing::PrintToString(Status());
        EXPECT_EQ(Dlg().m_brightnessPos, c.firstRowApplied ? 10 : kBase.brightness);
        EXPECT_EQ(Dlg().m_contrastPos, kBase.contrast);
        EXPECT_FALSE(TraceHas("SonixCam_PropertySet(1, 20,"));
        EXPECT_FALSE(Result().has_value());
        EXPECT_TRUE(Enabled(IDC_BRIGHTNESS_SLIDER));
        Restart();
    }
}

// Files that are no configuration at all: a clear reason, nothing of them
// applied, and the window goes on loading good files afterwards.

// A file of `size` bytes that starts with `head`; the rest is a hole, so
// the test never writes the bulk of it.
void WriteSparse(const std::wstring& path, const std::string& head, LONGLONG size) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD wrote = 0;
    EXPECT_TRUE(WriteFile(h, head.data(), static_cast<DWORD>(head.size()), &wrote, nullptr));
    LARGE_INTEGER end;
    end.QuadPart = size;
    EXPECT_TRUE(SetFilePointerEx(h, end, nullptr, FILE_BEGIN));
    EXPECT_TRUE(SetEndOfFile(h));
    CloseHandle(h);
}

// Another program's open without sharing, held until the end of the scope.
class LockedFile {
public:
    explicit LockedFile(const std::wstring& path)
        : h_(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                         nullptr)) {}
    ~LockedFile() { if (h_ != INVALID_HANDLE_VALUE) CloseHandle(h_); }
    LockedFile(const LockedFile&) = delete;
    LockedFile& operator=(const LockedFile&) = delete;
    bool held() const { return h_ != INVALID_HANDLE_VALUE; }
private:
    HANDLE h_;
};

std::string Garbage(size_t size, uint32_t seed) {
    std::string bytes(size, '\0');
    for (char& c : bytes) {
        seed = seed * 1664525u + 1013904223u;
        c = static_cast<char>(seed >> 24);
    }
    return bytes;
}

TEST_F(ConfigFileTest, HostileFilesAreRefusedWithAReasonAndNothingIsApplied) {
    const std::string good = std::string(kHeader) + "BRIGHTNESS,10,int\r\n";
    std::string oneLine;
    while (oneLine.size() < 1024 * 1024) oneLine += "BRIGHTNESS,10,int,";
    enum class Kind { Bytes, Sparse100MB, Folder, Locked };
    const struct {
        const char* name;
        Kind kind;
        std::string bytes;
        std::wstring line;  // "{}" stands for the path
    } cases[] = {
        {"100 MB", Kind::Sparse100MB, good,
         L"File {} is larger than 65536 bytes; it is not a configuration file"},
        {"binary garbage after a good row", Kind::Bytes, good + Garbage(4096, 7),
         L"Binary data: line 2 of file {} holds the byte 0x"},
        {"binary garbage alone", Kind::Bytes, Garbage(4096, 11), L"Binary data: the header line of file {} holds the byte 0x"},
        {"one line of 1 MB", Kind::Bytes, oneLine, L"File {} is larger than 65536 bytes; it is not a configuration file"},
        {"one line of 2000 bytes", Kind::Bytes, good + "CONTRAST," + std::string(2000, '9') + ",int\r\n",
         L"Line too long: line 2 of file {} has more than 1024 bytes"},
        {"a folder", Kind::Folder, "", L"Unable to open file {}: it is a folder"},
        {"locked by another program", Kind::Locked, good, L"Unable to open file {}"},
    };
    StartRunning(kFullCamera);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Show(kBase);
        Prompts().Clear();
        ClearTrace();
        const size_t before = Status().size();
        const std::wstring path = PathOf(std::wstring(L"hostile") + (c.kind == Kind::Folder ? L"" : L".csv"));
        std::error_code ec;
        std::filesystem::remove_all(std::filesystem::path(path), ec);
        std::optional<LockedFile> lock;
        switch (c.kind) {
            case Kind::Bytes: WriteBytes(path, c.bytes); break;
            case Kind::Sparse100MB: WriteSparse(path, c.bytes, 100LL * 1024 * 1024); break;
            case Kind::Folder: std::filesystem::create_directories(std::filesystem::path(path)); break;
            case Kind::Locked:
                WriteBytes(path, c.bytes);
                lock.emplace(path);
                ASSERT_TRUE(lock->held());
                break;
        }
        const auto start = std::chrono::steady_clock::now();
        Load(path);
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
        std::printf("[ hostile ] %s: refused in %lld ms\n", c.name, static_cast<long long>(ms.count()));
        ExpectLoadFailed();
        std::wstring line = c.line;
        if (size_t at = line.find(L"{}"); at != std::wstring::npos) line.replace(at, 2, path);
        const std::wstring status = Status().substr(before);
        EXPECT_NE(status.find(line), std::wstring::npos) << "status: " << testing::PrintToString(status);
        // One short reason, not the file's content poured into the box.
        EXPECT_LT(status.size(), 400u);
        EXPECT_EQ(Dlg().m_brightnessPos, kBase.brightness);
        EXPECT_FALSE(TraceHas("SonixCam_PropertySet("));
        EXPECT_TRUE(Enabled(IDC_BRIGHTNESS_SLIDER));
        lock.reset();

        // Still usable: the next good file loads.
        Prompts().Clear();
        const std::wstring next = LoadText(good, L"good.csv");
        ExpectLoaded(next);
        EXPECT_EQ(Dlg().m_brightnessPos, 10);
    }
}

// ---------------------------------------------------------------------------
// Save and load together.

TEST_F(ConfigFileTest, ASavedFileBringsEveryValueAndModeBack) {
    const Picture manual = {20, 40, 60, 6, 180, 90, -8, 300, 200, false, false, true, false};
    const Picture automatic = {-20, 10, 30, 2, 250, 150, -4, 400, 150, true, true, false, true};
    const struct { const char* name; Picture saved, changed; } cases[] = {
        {"manual modes", manual, automatic},
        {"automatic modes", automatic, manual},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        StartRunning(kFullCamera, "illuminate=TRUE\n");
        Apply(c.saved);
        const std::wstring path = PathOf(L"round.csv");
        Save(path);
        Apply(c.changed);
        Prompts().Clear();
        ClearTrace();
        Load(path);
        ExpectLoaded(path);

        const Picture& s = c.saved;
        D& d = Dlg();
        const struct { int32_t D::*position; int32_t D::*edit; int value; decltype(&vorn_uvc_getBrightness) get; bool saved; } values[] = {
            {&D::m_brightnessPos, &D::m_brightness, s.brightness, vorn_uvc_getBrightness, true},
            {&D::m_contrastPos, &D::m_contrast, s.contrast, vorn_uvc_getContrast, true},
            {&D::m_saturationPos, &D::m_saturation, s.saturation, vorn_uvc_getSaturation, true},
            {&D::m_sharpnessPos, &D::m_sharpness, s.sharpness, vorn_uvc_getSharpness, true},
            {&D::m_gammaPos, &D::m_gamma, s.gamma, vorn_uvc_getGamma, true},
            {&D::m_aecTargetPos, &D::m_aecTarget, s.aecTarget, vorn_uvc_getAEC_Target, s.aec},
            {&D::m_manualExposurePos, &D::m_manualExposure, s.exposure, vorn_uvc_getManualExposureValue, !s.aec},
            {&D::m_gainBluePos, &D::m_gainBlue, s.gainBlue, vorn_uvc_get_AWB_Gain_Blue, !s.awb},
            {&D::m_gainRedPos, &D::m_gainRed, s.gainRed, vorn_uvc_get_AWB_Gain_Red, !s.awb},
        };
        for (size_t i = 0; i < std::size(values); ++i) {
            if (!values[i].saved) continue;
            SCOPED_TRACE(i);
            EXPECT_EQ(d.*values[i].position, values[i].value);
            EXPECT_EQ(d.*values[i].edit, values[i].value);
            int camera = 12345;
            EXPECT_EQ(values[i].get(&camera), 0);
            EXPECT_EQ(camera, values[i].value);
        }
        EXPECT_EQ(d.m_aecOn, s.aec ? 1 : 0);
        EXPECT_EQ(d.m_awbOn, s.awb ? 1 : 0);
        EXPECT_EQ(d.m_rotate180, s.rotate ? 1 : 0);
        EXPECT_EQ(d.m_illuminationOn, s.illumination ? 1 : 0);
        bool on = !s.aec;
        EXPECT_EQ(vorn_uvc_isAECModeOn(&on), 0);
        EXPECT_EQ(on, s.aec);
        on = !s.illumination;
        EXPECT_EQ(vorn_uvc_isIlluminationOn(&on), 0);
        EXPECT_EQ(on, s.illumination);
        EXPECT_TRUE(TraceHas(s.rotate ? "SonixCam_ControlSet(2, 3, 2) = 0" : "SonixCam_ControlSet(2, 0, 2) = 0"));
        Restart();
    }
}

TEST_F(ConfigFileTest, ConfigurationInAFolderWithNonLatinNameSavesAndLoads) {
    StartRunning(kFullCamera);
    Show(kBase);
    const std::wstring folder = PathOf(L"\u0424\u043e\u0442\u043e \u76f8\u673a");
    std::filesystem::create_directories(std::filesystem::path(folder));
    const std::wstring path = folder + L"\\\u914d\u7f6e.csv";
    Save(path);
    ExpectOnlyBox(L"Finish save properties and controls values into " + path, L"Save Configuration");
    std::optional<std::string> bytes = ReadBytes(path);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(bytes->rfind(std::string(kHeader) + "BRIGHTNESS,5,int\r\n", 0), 0u);

    WriteBytes(path, std::string(kHeader) + "BRIGHTNESS,33,int\r\n");
    Prompts().Clear();
    Load(path);
    ExpectLoaded(path);
    auto records = Prompts().Records();
    EXPECT_EQ(records[0].kind, ui::PromptRecord::Kind::OpenFile);
    EXPECT_EQ(records[0].defaultExt, L"csv");
    EXPECT_EQ(records[0].filter, L"CSV (*.csv)|*.csv");
    EXPECT_EQ(records[0].flags, static_cast<DWORD>(OFN_FILEMUSTEXIST | OFN_HIDEREADONLY));
    EXPECT_EQ(Dlg().m_brightnessPos, 33);
    EXPECT_TRUE(EndsWith(Status(), L"Finish load properties and controls values from " + path + L"\r\n"));
}

}  // namespace
}  // namespace vorn::test
