// The fault sweep: every vendor call failing once and always, through every
// user flow of the real main window. A cell is (function, once|always, flow).
// Each flow first runs without faults; the vendor functions its trace shows
// are the ones a fault can reach, the others are counted as unreachable.
// Every reachable cell runs on a fresh window and must end within kCellBound,
// report the failure with the window's own text, never claim the step's
// success, and leave the window ended or in a state of the camera's start and
// stop table; a step that failed once must work when the user tries again.
// Each flow prints its row of the matrix.
#include <windows.h>

#include <commctrl.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "firmware_test_support.h"
#include "property_test_support.h"

namespace vorn::test {
namespace {

using namespace std::chrono_literals;

// A cell that takes longer than this has hung.
constexpr auto kCellBound = 30s;

const char* const kVendorFunctions[] = {
    "SonixCam_Init", "SonixCam_UnInit", "SonixCam_EnumDevice", "SonixCam_SelectDevice",
    "SonixCam_RestartDevice", "SonixCam_OpenCamera", "SonixCam_IsOpenCamera", "SonixCam_CloseCamera",
    "SonixCam_IsPreviewing", "SonixCam_StartPreview", "SonixCam_PausePreview", "SonixCam_StopPreview",
    "SonixCam_GetFwVersion", "SonixCam_GetProduct", "SonixCam_GetInterface", "SonixCam_GetVidPid",
    "SonixCam_GetPreviewResolutionCount", "SonixCam_GetPreviewResolutionInfo",
    "SonixCam_GetCurrentPreviewResolutionInfo", "SonixCam_SetVideoFormat", "SonixCam_PropertyGet",
    "SonixCam_PropertySet", "SonixCam_PropertyGetRange", "SonixCam_ControlGet", "SonixCam_ControlSet",
    "SonixCam_AsicRegisterRead", "SonixCam_AsicRegisterWrite", "SonixCam_GetSerialFlashType",
    "SonixCam_BurnerFW",
};
static_assert(std::size(kVendorFunctions) == 29);
const char* const kModes[] = {"once", "always"};

const char kScenario[] =
    "[sim]\n"
    "fps = 10\n"
    "[camera]\n"
    "product = Vorn UC-20 Camera\n"
    "firmware = Vorn-Corvanith-211015K-1.3\n";

// What a faulted call must lead to.
enum class Expect {
    Silent,      // the window lets it pass without a word; only the state is checked
    Report,      // a failure text, and none of the step's success texts
    ReportGoOn,  // a failure text; the step goes on and may still succeed
    Fatal,       // an "ERROR" box with the text, the window ends with -1
    FatalLater,  // the same, after the step itself succeeded (its success stays)
};

struct Rule {
    Expect expect = Expect::Report;
    std::vector<std::wstring> texts;  // any one of them; empty: any failure text
};

class FaultSweepTest;

struct Flow {
    Flow(std::string name_, std::function<void(FaultSweepTest&)> prep_, std::function<void(FaultSweepTest&)> act_,
         std::vector<std::wstring> success_ = {}, std::vector<std::string> mustReach_ = {}, Rule otherwise_ = {})
        : name(std::move(name_)), prep(std::move(prep_)), act(std::move(act_)), success(std::move(success_)),
          mustReach(std::move(mustReach_)), otherwise(std::move(otherwise_)) {}

    std::string name;
    std::function<void(FaultSweepTest&)> prep;  // fault-free, before the faults are set
    std::function<void(FaultSweepTest&)> act;   // the user's step
    std::vector<std::wstring> success;           // what the step shows when it works
    std::vector<std::string> mustReach;          // calls the step is for
    Rule otherwise;                              // functions without a rule of their own
    std::map<std::string, Rule> rules;
    bool atStartup = false;
    // Checks of the window after the step, told whether the step failed.
    std::function<void(FaultSweepTest&, bool stepFailed)> after;
    // The user's second try after a step that failed once; it must work.
    std::function<void(FaultSweepTest&)> retry;

    const Rule& RuleFor(const std::string& function) const {
        auto it = rules.find(function);
        return it != rules.end() ? it->second : otherwise;
    }
};

void PrintTo(const Flow& flow, std::ostream* os) { *os << flow.name; }

enum class WindowState { Ended, Idle, Running, StartFailed, None };

const char* StateName(WindowState s) {
    switch (s) {
    case WindowState::Ended: return "ended";
    case WindowState::Idle: return "idle";
    case WindowState::Running: return "running";
    case WindowState::StartFailed: return "start failed";
    default: return "in no state of the table";
    }
}

bool Contains(const std::wstring& text, const std::wstring& part) { return text.find(part) != std::wstring::npos; }

bool IsFailureText(const std::wstring& t) {
    for (const wchar_t* word : {L"ail", L"Can't", L"can't", L"Cannot", L"cannot", L"Invalid"})
        if (Contains(t, word)) return true;
    return false;
}

// Kills the process when a cell does not end within its bound, naming it.
class Watchdog {
public:
    explicit Watchdog(std::string cell) : cell_(std::move(cell)), thread_([this] { Watch(); }) {}
    ~Watchdog() {
        {
            std::lock_guard<std::mutex> l(mu_);
            done_ = true;
        }
        cv_.notify_all();
        thread_.join();
    }

private:
    void Watch() {
        std::unique_lock<std::mutex> l(mu_);
        if (cv_.wait_for(l, kCellBound, [this] { return done_; })) return;
        std::fprintf(stderr, "HANG: cell %s did not end within %d s\n", cell_.c_str(),
                     static_cast<int>(kCellBound.count()));
        std::fflush(stderr);
        TerminateProcess(GetCurrentProcess(), 3);
    }
    std::string cell_;
    std::mutex mu_;
    std::condition_variable cv_;
    bool done_ = false;
    std::thread thread_;
};

struct Outcome {
    std::vector<std::string> trace;
    std::wstring status;                 // status text added by the step
    std::vector<ui::PromptRecord> boxes;  // message boxes of the step
    WindowState state = WindowState::None;
    std::optional<INT_PTR> result;
    // After a fault that fired once: the same step again, fault-free.
    bool retried = false;
    std::wstring retryStatus;
    std::vector<ui::PromptRecord> retryBoxes;
    WindowState retryState = WindowState::None;
};

struct Row {
    int cells = 0, passed = 0, unreachable = 0;
};

class FaultSweepTest : public PropertyWindowTest, public ::testing::WithParamInterface<Flow> {
public:
    using MainWindowTest::Command;
    using MainWindowTest::Dlg;
    using MainWindowTest::Enabled;
    using MainWindowTest::Text;
    using PropertyWindowTest::SliderPos;
    using MainWindowTest::Prompts;
    using PropertyWindowTest::Checked;
    using PropertyWindowTest::ClickBox;
    using PropertyWindowTest::Replace;

    // --- what the flows do -------------------------------------------------
    int before = 0;  // a slider's position or a check box's state before the step
    WindowState cleanState = WindowState::None;  // where the fault-free run ends

    void StartCamera() { Click(IDC_START_CAMERA); }
    bool WaitForFrame() {
        return PumpUntil([this] { return static_cast<bool>(Dlg().LatestFrame()); }, 20s);
    }
    void Slide(int sliderId) {
        const int to = SliderPos(sliderId) < SliderMax(sliderId) ? SliderPos(sliderId) + 1 : SliderPos(sliderId) - 1;
        SendMessageW(Item(sliderId), TBM_SETPOS, TRUE, to);
        Scroll(sliderId, TB_THUMBTRACK, to);
    }
    void Snapshot(int typeId) {
        ClickBox(typeId);
        Click(IDC_SNAPSHOT_SAVE);
    }
    size_t Snapshots() const {
        std::error_code ec;
        size_t n = 0;
        for (auto it = std::filesystem::directory_iterator(ProgramFolder() + L"\\images", ec);
             !ec && it != std::filesystem::directory_iterator(); ++it)
            ++n;
        return n;
    }
    std::wstring FilePath(const std::wstring& name) const { return ProgramFolder() + L"\\" + name; }
    void WriteBytes(const std::wstring& name, const std::string& bytes) {
        std::ofstream(std::filesystem::path(FilePath(name)), std::ios::binary) << bytes;
    }
    void Burn(bool verify) {
        HWND fw = Dlg().m_firmwareDlg.hwnd();
        const std::vector<uint8_t> image = Image(65536, "SN9C", "Vorn-Corvanith-220101K-2.0");
        WriteBytes(L"fw.src", std::string(image.begin(), image.end()));
        SetWindowTextW(GetDlgItem(fw, IDC_FW_SOURCE_PATH), FilePath(L"fw.src").c_str());
        SendMessageW(GetDlgItem(fw, IDC_FW_FULL_VERIFY), BM_SETCHECK, verify ? BST_CHECKED : BST_UNCHECKED, 0);
        Prompts().QueueAnswer(IDYES);
        SendMessageW(fw, WM_COMMAND, MAKEWPARAM(IDC_FW_UPDATE, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(fw, IDC_FW_UPDATE)));
        PumpUntil([&] { return !Dlg().m_firmwareDlg.IsBurning(); }, kBurnTimeout);
        // A finished burn hides the dialog asynchronously; a failed one keeps it.
        PumpUntil([&] {
            for (const auto& box : Prompts().Messages())
                if (box.text == L"Failed to Update Firmware!") return true;
            return IsWindowVisible(fw) == FALSE;
        });
    }

    // --- one cell ------------------------------------------------------------
    Outcome RunCell(const Flow& flow, const std::string& rule) {
        Outcome out;
        Watchdog watchdog(flow.name + " / " + (rule.empty() ? "no fault" : rule));
        LoadScenario(std::string(kScenario) + (flow.atStartup && !rule.empty() ? "[faults]\n" + rule + "\n" : ""));
        WriteSettings("illuminate=TRUE\n");
        if (flow.atStartup) {
            ClearTrace();
            Start();
            if (Hwnd()) ShowWindow(Hwnd(), SW_SHOW);
        } else {
            EXPECT_TRUE(Start()) << "start-up without faults";
            ShowWindow(Hwnd(), SW_SHOW);
            Pump();
            if (flow.prep) flow.prep(*this);
            EXPECT_FALSE(Result().has_value()) << "the preparation ended the window";
            Prompts().Clear();
            ClearTrace();
            Mark();
            EXPECT_EQ(SonixSim_SetFaults(rule.c_str()), 0) << rule;
            flow.act(*this);
        }
        Pump(20ms);
        const std::string function = rule.substr(0, rule.find(' '));
        const bool stepFailed =
            !rule.empty() && Failed(Trace(), function) && flow.RuleFor(function).expect == Expect::Report;
        if (flow.after && !Result()) flow.after(*this, stepFailed);
        out.trace = Trace();
        out.status = flow.atStartup ? Dlg().m_statusText : Since();
        out.boxes = Prompts().Messages();
        out.result = Result();
        out.state = State();
        if (flow.retry && stepFailed && !Result() && rule.ends_with(" = once")) {
            Mark();
            Prompts().Clear();
            flow.retry(*this);
            Pump(20ms);
            out.retried = true;
            out.retryStatus = Since();
            out.retryBoxes = Prompts().Messages();
            out.retryState = State();
        }
        // The next cell starts from a fresh window and camera.
        SonixSim_SetFaults("");
        SonixSim_ResetDefault();
        TearDown();
        SetUp();
        return out;
    }

    WindowState State() {
        if (Result()) return WindowState::Ended;
        const bool stop = Text(IDC_START_CAMERA) == L"Stop Camera";
        const bool start = Text(IDC_START_CAMERA) == L"Start Camera";
        const bool flag = Dlg().m_controlsEnabled;
        const bool live = Enabled(IDC_AUTO_EXPOSURE) && Enabled(IDC_AUTO_WB) && Enabled(IDC_BRIGHTNESS_EDIT) &&
                          Enabled(IDC_SNAPSHOT_SAVE) && Enabled(IDC_FILETYPE_JPG) && Enabled(IDC_SNAPSHOT_FOLDER);
        const bool dead = !Enabled(IDC_AUTO_EXPOSURE) && !Enabled(IDC_AUTO_WB) && !Enabled(IDC_BRIGHTNESS_EDIT) &&
                          !Enabled(IDC_SNAPSHOT_SAVE) && !Enabled(IDC_FILETYPE_JPG) &&
                          !Enabled(IDC_SNAPSHOT_FOLDER) && !Enabled(IDC_AEC_TARGET_EDIT) &&
                          !Enabled(IDC_GAIN_BLUE_EDIT);
        const bool resolution = Enabled(IDC_RESOLUTION);
        const bool configGrayed = MenuGrayed(ID_FILE_SAVE_CONFIG) && MenuGrayed(ID_FILE_LOAD_CONFIG);
        const bool configLive = !MenuGrayed(ID_FILE_SAVE_CONFIG) && !MenuGrayed(ID_FILE_LOAD_CONFIG);
        const bool burn = !MenuGrayed(ID_TOOLS_BURN_FIRMWARE);
        if (start && !flag && dead && resolution && configGrayed && burn) return WindowState::Idle;
        if (stop && flag && live && !resolution && configLive && !burn) return WindowState::Running;
        if (start && flag && live && !resolution && configGrayed && burn) return WindowState::StartFailed;
        return WindowState::None;
    }

    static std::set<std::string> Called(const std::vector<std::string>& trace) {
        std::set<std::string> names;
        for (const std::string& line : trace) names.insert(line.substr(0, line.find('(')));
        return names;
    }
    static bool Failed(const std::vector<std::string>& trace, const std::string& function) {
        for (const std::string& line : trace)
            if (line.rfind(function + "(", 0) == 0 && line.size() > 4 && line.substr(line.size() - 4) == " = 1")
                return true;
        return false;
    }
    static bool Shown(const Outcome& o, const std::wstring& text) {
        if (Contains(o.status, text)) return true;
        for (const auto& b : o.boxes)
            if (Contains(b.text, text)) return true;
        return false;
    }
    static bool AnyFailureShown(const Outcome& o) {
        if (IsFailureText(o.status)) return true;
        for (const auto& b : o.boxes)
            if (b.caption == L"ERROR" || IsFailureText(b.text)) return true;
        return false;
    }
    // The first failure the user was told about, for the cell's line.
    static std::string FirstReport(const Outcome& o) {
        auto narrow = [](const std::wstring& w) { return std::string(w.begin(), w.end()); };
        for (const auto& b : o.boxes)
            if (b.caption == L"ERROR" || IsFailureText(b.text)) return "box \"" + narrow(b.text) + "\"";
        size_t at = 0;
        while (at < o.status.size()) {
            size_t end = o.status.find(L"\r\n", at);
            if (end == std::wstring::npos) end = o.status.size();
            const std::wstring line = o.status.substr(at, end - at);
            if (IsFailureText(line)) return "line \"" + narrow(line) + "\"";
            at = end + 2;
        }
        return "nothing";
    }
    static std::string Describe(const Outcome& o) {
        std::string s = "window " + std::string(StateName(o.state)) + "; status added:\n" +
                        std::string(o.status.begin(), o.status.end()) + "boxes:";
        for (const auto& b : o.boxes) s += " [" + std::string(b.caption.begin(), b.caption.end()) + ": " +
                                           std::string(b.text.begin(), b.text.end()) + "]";
        return s;
    }

    // Checks one faulted cell; true when it passed.
    bool Check(const Flow& flow, const std::string& function, const Outcome& o) {
        const int failuresBefore = ::testing::UnitTest::GetInstance()->current_test_info()->result()->total_part_count();
        const Rule& rule = flow.RuleFor(function);
        EXPECT_TRUE(Failed(o.trace, function)) << "the fault did not fire";
        EXPECT_NE(o.state, WindowState::None) << Describe(o);
        if (o.state == WindowState::Ended) {
            EXPECT_EQ(o.result, INT_PTR(-1)) << Describe(o);
        }
        switch (rule.expect) {
        case Expect::Silent: break;
        case Expect::Fatal:
        case Expect::FatalLater:
            EXPECT_EQ(o.state, WindowState::Ended) << Describe(o);
            break;
        case Expect::Report:
        case Expect::ReportGoOn:
            EXPECT_NE(o.state, WindowState::Ended) << Describe(o);
            break;
        }
        if (rule.expect != Expect::Silent) {
            if (rule.texts.empty()) {
                EXPECT_TRUE(AnyFailureShown(o)) << "no failure shown; " << Describe(o);
            } else {
                bool any = false;
                for (const auto& t : rule.texts) any = any || Shown(o, t);
                EXPECT_TRUE(any) << "expected \"" << std::string(rule.texts[0].begin(), rule.texts[0].end())
                                 << "\"; " << Describe(o);
            }
        }
        if (rule.expect == Expect::Report || rule.expect == Expect::Fatal) {
            for (const auto& t : flow.success)
                EXPECT_FALSE(Shown(o, t)) << "success shown for a failed step; " << Describe(o);
        }
        if (o.retried) {
            Outcome again;
            again.status = o.retryStatus;
            again.boxes = o.retryBoxes;
            again.state = o.retryState;
            for (const auto& t : flow.success) EXPECT_TRUE(Shown(again, t)) << "second try: " << Describe(again);
            EXPECT_EQ(again.state, cleanState) << "second try: " << Describe(again);
        }
        return ::testing::UnitTest::GetInstance()->current_test_info()->result()->total_part_count() ==
               failuresBefore;
    }
};

TEST_P(FaultSweepTest, EveryReachableFaultIsReportedAndLeavesAStateOfTheTable) {
    const Flow& flow = GetParam();
    const auto began = std::chrono::steady_clock::now();

    // Without faults the flow works, and its trace tells what it calls.
    const Outcome clean = RunCell(flow, "");
    cleanState = clean.state;
    for (const auto& t : flow.success) EXPECT_TRUE(Shown(clean, t)) << "fault-free run: " << Describe(clean);
    EXPECT_NE(clean.state, WindowState::Ended);
    EXPECT_NE(clean.state, WindowState::None) << Describe(clean);
    const std::set<std::string> reached = Called(clean.trace);
    for (const auto& f : flow.mustReach) EXPECT_TRUE(reached.count(f)) << f << " is what the flow is for";

    Row row;
    for (const char* function : kVendorFunctions) {
        for (const char* mode : kModes) {
            ++row.cells;
            if (!reached.count(function)) {
                ++row.unreachable;
                continue;
            }
            const std::string rule = std::string(function) + " = " + mode;
            SCOPED_TRACE(flow.name + ": " + rule);
            const auto cellBegan = std::chrono::steady_clock::now();
            const Outcome o = RunCell(flow, rule);
            const double cellSeconds =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - cellBegan).count();
            const bool passed = Check(flow, function, o);
            if (passed) ++row.passed;
            std::printf("CELL | %s | %s | %s | %s | %s | %s| %.2f s\n", flow.name.c_str(), rule.c_str(),
                        passed ? "pass" : "FAIL", StateName(o.state), FirstReport(o).c_str(),
                        o.retried ? "tried again | " : "", cellSeconds);
        }
    }
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
    std::printf("SWEEP | %-24s | cells %3d | passed %3d | unreachable %3d | failed %3d | %.1f s\n", flow.name.c_str(),
                row.cells, row.passed, row.unreachable, row.cells - row.passed - row.unreachable, seconds);
    std::fflush(stdout);
}

// --- the flows ---------------------------------------------------------------

struct PropertyCase {
    const char* name;       // as in the flow's name
    const wchar_t* label;   // as in the window's messages
    int edit, slider;
    const wchar_t* typed;   // a new, valid value
    int prepBox;            // check box that makes the pair live, 0 for none
    const wchar_t* editFailure;
};

const PropertyCase kProperties[] = {
    {"AecTarget", L"AEC Target", IDC_AEC_TARGET_EDIT, IDC_AEC_TARGET_SLIDER, L"100", 0, nullptr},
    {"ManualExposure", L"Manual Exposure", IDC_MANUAL_EXPOSURE_EDIT, IDC_MANUAL_EXPOSURE_SLIDER, L"-4",
     IDC_AUTO_EXPOSURE, nullptr},
    {"GainBlue", L"Color Gain Blue", IDC_GAIN_BLUE_EDIT, IDC_GAIN_BLUE_SLIDER, L"300", IDC_AUTO_WB, nullptr},
    {"GainRed", L"Color Gain Red", IDC_GAIN_RED_EDIT, IDC_GAIN_RED_SLIDER, L"300", IDC_AUTO_WB, nullptr},
    {"Brightness", L"Brightness", IDC_BRIGHTNESS_EDIT, IDC_BRIGHTNESS_SLIDER, L"10", 0, L"Failed to setBrightness to "},
    {"Contrast", L"Contrast", IDC_CONTRAST_EDIT, IDC_CONTRAST_SLIDER, L"40", 0, nullptr},
    {"Saturation", L"Saturation", IDC_SATURATION_EDIT, IDC_SATURATION_SLIDER, L"70", 0, nullptr},
    {"Sharpness", L"Sharpness", IDC_SHARPNESS_EDIT, IDC_SHARPNESS_SLIDER, L"5", 0, nullptr},
    {"Gamma", L"Gamma", IDC_GAMMA_EDIT, IDC_GAMMA_SLIDER, L"150", 0, nullptr},
};

Rule Says(std::vector<std::wstring> texts, Expect e = Expect::Report) { return Rule{e, std::move(texts)}; }
Rule Silent() { return Rule{Expect::Silent, {}}; }
Rule Fatal(const wchar_t* text, Expect e = Expect::Fatal) { return Rule{e, {text}}; }

void Running(FaultSweepTest& t) { t.StartCamera(); }

// Reads that a read-out skips without a word, and switches whose result the
// read-out does not look at.
std::map<std::string, Rule> ReadOutSilent() {
    std::map<std::string, Rule> r;
    for (const char* f : {"SonixCam_PropertyGet", "SonixCam_PropertySet", "SonixCam_PropertyGetRange",
                          "SonixCam_ControlGet", "SonixCam_ControlSet", "SonixCam_AsicRegisterRead",
                          "SonixCam_AsicRegisterWrite", "SonixCam_GetPreviewResolutionCount",
                          "SonixCam_GetPreviewResolutionInfo"})
        r[f] = Silent();
    return r;
}

// Closing before every start and stop does not look at its results.
void CloseIsSilent(std::map<std::string, Rule>& r) {
    for (const char* f : {"SonixCam_IsPreviewing", "SonixCam_StopPreview", "SonixCam_IsOpenCamera",
                          "SonixCam_CloseCamera"})
        r[f] = Silent();
}

std::vector<Flow> Flows() {
    std::vector<Flow> flows;

    {
        Flow f{"StartUp", nullptr, [](FaultSweepTest&) {}, {}, {"SonixCam_Init", "SonixCam_OpenCamera"}};
        f.atStartup = true;
        f.rules = ReadOutSilent();
        f.rules["SonixCam_Init"] = Fatal(L"Can't initialize camera device!");
        f.rules["SonixCam_EnumDevice"] = Fatal(L"Can't find a valid Vorn camera!");
        f.rules["SonixCam_SelectDevice"] = Fatal(L"Can't find a valid Vorn camera!");
        f.rules["SonixCam_GetProduct"] = Fatal(L"Can't find a valid Vorn camera!");
        f.rules["SonixCam_GetFwVersion"] = Fatal(L"Failed to get camera FW version info");
        f.rules["SonixCam_GetVidPid"] = Fatal(L"Can't get Vendor ID and Product ID!");
        // Opening fails without a box: the status text says it, and the window ends.
        f.rules["SonixCam_OpenCamera"] = Fatal(L"Failed to access UVC properties!");
        flows.push_back(f);
    }
    {
        Flow f{"StartCamera", nullptr, [](FaultSweepTest& t) { t.StartCamera(); },
               {L"Start capturing images!"}, {"SonixCam_OpenCamera", "SonixCam_StartPreview"}};
        f.rules = ReadOutSilent();
        CloseIsSilent(f.rules);
        f.rules["SonixCam_SelectDevice"] = Fatal(L"Can't select video device!");
        f.rules["SonixCam_GetFwVersion"] = Fatal(L"Failed to get camera FW version info");
        f.rules["SonixCam_OpenCamera"] = Says({L"Open camera failed!"});
        // The camera left open by start-up won't close, so it won't open again.
        f.rules["SonixCam_CloseCamera"] = Says({L"Failed to close the camera."});
        f.rules["SonixCam_SetVideoFormat"] = Says({L"Failed to set resolution."}, Expect::ReportGoOn);
        f.rules["SonixCam_StartPreview"] = Says({L"Fail to capture the image!"});
        f.retry = [](FaultSweepTest& t) {
            if (t.State() == WindowState::StartFailed) t.StartCamera();  // back to idle first
            t.StartCamera();
        };
        flows.push_back(f);
    }
    {
        Flow f{"StopCamera", Running, [](FaultSweepTest& t) { t.StartCamera(); }, {}, {"SonixCam_CloseCamera"}};
        CloseIsSilent(f.rules);
        f.rules["SonixCam_StopPreview"] = Says({L"Failed to stop the preview."}, Expect::ReportGoOn);
        f.rules["SonixCam_CloseCamera"] = Says({L"Failed to close the camera."}, Expect::ReportGoOn);
        f.rules["SonixCam_SelectDevice"] = Fatal(L"Can't select video device!");
        f.rules["SonixCam_GetFwVersion"] = Fatal(L"Failed to get camera FW version info");
        flows.push_back(f);
    }
    for (const PropertyCase& p : kProperties) {
        const std::wstring label = p.label;
        const std::wstring success = L"Set " + label + L" to ";
        auto prep = [p](FaultSweepTest& t) {
            t.StartCamera();
            if (p.prepBox) t.ClickBox(p.prepBox);
        };
        const std::wstring sliderFailure = L"Failed to set " + label + L" to ";
        const std::wstring editFailure = p.editFailure ? p.editFailure : sliderFailure.c_str();
        Flow edit{std::string("Edit") + p.name, prep,
                  [p](FaultSweepTest& t) { t.Replace(p.edit, p.typed); },
                  {success + p.typed + L" successfully"}, {}, Says({editFailure + p.typed})};
        edit.act = [p](FaultSweepTest& t) {
            t.before = t.SliderPos(p.slider);
            t.Replace(p.edit, p.typed);
        };
        edit.after = [p](FaultSweepTest& t, bool failed) {
            // A failed set leaves the typed text and the slider where it was.
            EXPECT_EQ(t.Text(p.edit), p.typed);
            EXPECT_EQ(t.SliderPos(p.slider), failed ? t.before : std::stoi(p.typed));
        };
        edit.retry = [p](FaultSweepTest& t) { t.Replace(p.edit, p.typed); };
        flows.push_back(edit);
        Flow slide{std::string("Slider") + p.name, prep, [p](FaultSweepTest& t) { t.Slide(p.slider); },
                   {L" successfully"}, {}, Says({sliderFailure})};
        slide.act = [p](FaultSweepTest& t) {
            t.before = t.SliderPos(p.slider);
            t.Slide(p.slider);
        };
        slide.after = [p](FaultSweepTest& t, bool failed) {
            // A failed set puts the slider back; the edit shows where it stands.
            const int pos = t.SliderPos(p.slider);
            EXPECT_EQ(pos == t.before, failed);
            EXPECT_EQ(t.Text(p.edit), std::to_wstring(pos));
        };
        slide.retry = [p](FaultSweepTest& t) { t.Slide(p.slider); };
        flows.push_back(slide);
    }
    {
        struct Box {
            const char* name;
            int id;
            const wchar_t* failure;
        };
        const Box boxes[] = {{"BoxAutoExposure", IDC_AUTO_EXPOSURE, L"Set AEC Mode failed!"},
                             {"BoxAutoWhiteBalance", IDC_AUTO_WB, L"Set AWB Mode failed!"},
                             {"BoxIllumination", IDC_ILLUMINATION, L"Set Ilumination failed!"},
                             {"BoxRotate180", IDC_ROTATE_180, L"Rotation failed!"}};
        for (const Box& b : boxes) {
            const int id = b.id;
            Flow f{b.name, Running,
                   [id](FaultSweepTest& t) {
                       t.before = t.Checked(id);
                       t.ClickBox(id);
                   },
                   {}, {}, Says({b.failure})};
            // A failed switch puts the box back; a working one keeps the click.
            f.after = [id](FaultSweepTest& t, bool failed) { EXPECT_EQ(t.Checked(id) == (t.before != 0), failed); };
            f.retry = [id](FaultSweepTest& t) {
                t.ClickBox(id);
                EXPECT_NE(t.Checked(id), t.before != 0) << "the second click switches";
            };
            if (id == IDC_AUTO_WB)
                f.rules["SonixCam_ControlGet"] = Says(
                    {L"Failed to get Color Gain Blue value", L"Failed to get Color Gain Red value"}, Expect::ReportGoOn);
            else if (id != IDC_AUTO_EXPOSURE)
                f.mustReach = {"SonixCam_ControlSet"};
            flows.push_back(f);
        }
        Flow f{"BoxShowStatus", Running, [](FaultSweepTest& t) { t.ClickBox(IDC_SHOW_STATUS); }};
        flows.push_back(f);
    }
    for (const auto& [name, id] : {std::pair{"SaveBmp", IDC_FILETYPE_BMP}, std::pair{"SaveJpg", IDC_FILETYPE_JPG},
                                   std::pair{"SavePng", IDC_FILETYPE_PNG}}) {
        const int type = id;
        Flow f{name,
               [](FaultSweepTest& t) {
                   t.StartCamera();
                   EXPECT_TRUE(t.WaitForFrame());
               },
               [type](FaultSweepTest& t) {
                   const size_t before = t.Snapshots();
                   t.Snapshot(type);
                   EXPECT_EQ(t.Snapshots(), before + 1) << "one snapshot file";
               },
               {}, {}};
        flows.push_back(f);
    }
    {
        Flow f{"SaveConfig", Running,
               [](FaultSweepTest& t) {
                   t.Prompts().QueuePath(t.FilePath(L"saved.csv"));
                   t.Command(ID_FILE_SAVE_CONFIG);
               },
               {L"Finish save properties and controls values into "}, {}};
        flows.push_back(f);
        f = Flow{"LoadConfig",
                 [](FaultSweepTest& t) {
                     t.StartCamera();
                     t.WriteBytes(L"load.csv",
                                  "PropName,Value,DataType\r\nBRIGHTNESS,12,int\r\nCONTRAST,41,int\r\n"
                                  "SATURATION,71,int\r\nSHARPNESS,6,int\r\nGAMMA,160,int\r\n"
                                  "AUTO_EXPOSURE,FALSE,bool\r\nMANUAL_EXPOSURE,-7,int\r\n"
                                  "AUTO_WHITE_BALANCE,FALSE,bool\r\nCOLOR_GAIN_BLUE,301,int\r\n"
                                  "COLOR_GAIN_RED,302,int\r\nROTATE_180,TRUE,bool\r\nILLUMINATE,FALSE,bool\r\n");
                 },
                 [](FaultSweepTest& t) {
                     t.Prompts().QueuePath(t.FilePath(L"load.csv"));
                     t.Command(ID_FILE_LOAD_CONFIG);
                 },
                 {L"Finish load properties and controls values from "},
                 {"SonixCam_PropertySet", "SonixCam_ControlSet"},
                 Says({L"Failed to load configuration!"})};
        f.retry = f.act;
        flows.push_back(f);
    }
    {
        Flow f{"HelpAbout", nullptr, [](FaultSweepTest& t) { t.Command(ID_HELP_ABOUT); }, {}, {"SonixCam_GetFwVersion"}};
        f.rules["SonixCam_SelectDevice"] = Fatal(L"Can't select video device!");
        f.rules["SonixCam_GetFwVersion"] = Fatal(L"Failed to get camera FW version info");
        flows.push_back(f);
    }
    for (bool verify : {false, true}) {
        Flow f{verify ? "BurnVerify" : "BurnNoVerify",
               [](FaultSweepTest& t) { t.Command(ID_TOOLS_BURN_FIRMWARE); },
               [verify](FaultSweepTest& t) { t.Burn(verify); },
               {L"Firmware Update Complete!"},
               {"SonixCam_BurnerFW", "SonixCam_RestartDevice"}};
        f.rules["SonixCam_BurnerFW"] = Says({L"Failed to Update Firmware!"});
        f.rules["SonixCam_GetSerialFlashType"] = Silent();
        // The burn itself worked: its box stays, the restart that follows fails.
        f.rules["SonixCam_RestartDevice"] = Fatal(L"Can't restart camera device!", Expect::FatalLater);
        f.rules["SonixCam_UnInit"] = Fatal(L"Can't uninitialize camera device!", Expect::FatalLater);
        f.rules["SonixCam_Init"] = Fatal(L"Can't initialize camera device!", Expect::FatalLater);
        f.otherwise = Rule{Expect::ReportGoOn, {}};
        f.retry = f.act;
        f.after = [](FaultSweepTest& t, bool failed) {
            // Nobody is left stuck: a failed burn keeps the dialog with its
            // buttons, a finished one gives the window its buttons back.
            HWND fw = t.Dlg().m_firmwareDlg.hwnd();
            const bool shown = IsWindowVisible(fw) != FALSE;
            EXPECT_EQ(shown, failed);
            if (shown) {
                EXPECT_TRUE(IsWindowEnabled(GetDlgItem(fw, IDC_FW_UPDATE)));
                EXPECT_TRUE(IsWindowEnabled(GetDlgItem(fw, IDC_FW_CANCEL)));
            } else {
                EXPECT_TRUE(t.Enabled(IDC_START_CAMERA));
                EXPECT_TRUE(t.Enabled(IDC_EXIT));
            }
        };
        flows.push_back(f);
    }
    {
        Flow f{"RestoreDefaults", Running, [](FaultSweepTest& t) { t.Command(ID_TOOLS_RESTORE_DEFAULTS); },
               {L"Camera defaults restored."}, {"SonixCam_PropertySet"}, Says({L" steps failed."})};
        f.retry = f.act;
        flows.push_back(f);
    }
    return flows;
}

INSTANTIATE_TEST_SUITE_P(Flows, FaultSweepTest, ::testing::ValuesIn(Flows()),
                         [](const ::testing::TestParamInfo<Flow>& info) { return info.param.name; });

}  // namespace
}  // namespace vorn::test
