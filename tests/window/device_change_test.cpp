// Cameras unplugged and plugged back while the main window runs: the picture
// stops as a stop would, the caption and status say so, nothing ends the
// program, and a camera that is not in use comes and goes unnoticed by the
// picture.
#include <atomic>
#include <thread>

#include "camera_test_support.h"
#include "config/file_open.h"
#include "firmware_test_support.h"

namespace vorn::test {
namespace {

const wchar_t kDisconnectedCaption[] = L"Vorn Camera Control Tool - camera disconnected";

bool EndsWith(const std::wstring& text, const std::wstring& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// The last trace line holding the fragment, empty when there is none.
std::string LastTraceLine(const std::vector<std::string>& trace, const std::string& fragment) {
    for (auto it = trace.rbegin(); it != trace.rend(); ++it)
        if (it->find(fragment) != std::string::npos) return *it;
    return {};
}

// The cable pulled or plugged from another thread, as the system's own
// notifications arrive: the window hears of it while the test pumps. The
// call returns once every window of the process has answered, so the test
// pumps until then.
class CableThread {
public:
    CableThread(int camera, bool plugged)
        : thread_([this, camera, plugged] {
              SonixSim_SetPlugged(camera, plugged ? 1 : 0);
              done_ = true;
          }) {}
    ~CableThread() { thread_.join(); }
    bool Done() const { return done_; }

private:
    std::atomic<bool> done_{false};
    std::thread thread_;
};

class DeviceChangeTest : public CameraWindowTest {
protected:
    std::wstring Caption() const { return ui::WindowText(Hwnd()); }
    const std::wstring& Status() { return Dlg().m_statusText; }
    // The state of a failed start: controls on over no picture.
    void ExpectStartFailed() { ExpectRunning(false, true); }
    bool WaitForNewFrame(const vorn::Frame& old) {
        return PumpUntil([&] { return Dlg().LatestFrame().bytes != old.bytes; }, std::chrono::seconds(30));
    }
};

TEST_F(DeviceChangeTest, UnplugDuringThePictureStopsItAndAReplugStartsAgain) {
    LoadScenario(kCameraScenario);
    ASSERT_TRUE(Start());
    const std::wstring caption = Caption();
    Click(IDC_START_CAMERA);
    ExpectRunning(true, true);
    ASSERT_TRUE(WaitForFrame());

    ASSERT_EQ(SonixSim_SetPlugged(0, 0), 0);
    // Idle after a stop, said in the caption and the status, no box.
    ExpectRunning(false, false);
    EXPECT_EQ(Caption(), kDisconnectedCaption);
    EXPECT_TRUE(EndsWith(Status(), L"The camera was disconnected.\r\n"));
    EXPECT_NE(ui::WindowText(Item(IDC_STATUS)).find(L"The camera was disconnected."), std::wstring::npos);
    EXPECT_TRUE(Prompts().Messages().empty());
    const vorn::Frame last = Dlg().LatestFrame();
    Pump(std::chrono::milliseconds(300));
    EXPECT_EQ(Dlg().LatestFrame().bytes, last.bytes) << "a frame came after the unplug";

    // Start and About with no camera: a line each and a failed start, never
    // the start-up's ERROR boxes.
    Click(IDC_START_CAMERA);
    ExpectStartFailed();
    EXPECT_TRUE(EndsWith(Status(), L"There is no camera to start.\r\n"));
    Click(IDC_START_CAMERA);
    ExpectStartFailed();
    Command(ID_HELP_ABOUT);
    ExpectStartFailed();
    EXPECT_TRUE(EndsWith(Status(), L"There is no camera to show information about.\r\n"));
    EXPECT_FALSE(IsWindowVisible(Dlg().m_aboutDlg.hwnd()));
    EXPECT_TRUE(Prompts().Messages().empty());
    EXPECT_FALSE(Result().has_value());

    ASSERT_EQ(SonixSim_SetPlugged(0, 1), 0);
    EXPECT_EQ(Caption(), caption);
    EXPECT_TRUE(EndsWith(Status(), L"A camera was connected.\r\n"));
    // Nothing starts by itself; the next press does.
    ExpectRunning(false, false);
    ClearTrace();
    Click(IDC_START_CAMERA);
    ExpectRunning(true, true);
    EXPECT_TRUE(TraceHas("SonixCam_SelectDevice(0) = 0"));
    EXPECT_TRUE(TraceHas("SonixCam_StartPreview() = 0"));
    EXPECT_TRUE(WaitForNewFrame(last));
    Click(IDC_START_CAMERA);
    ExpectRunning(false, false);
    EXPECT_TRUE(Prompts().Messages().empty());
}

TEST_F(DeviceChangeTest, UnplugWhileIdleFromAnotherThreadLeavesTheWindowIdle) {
    LoadScenario(kCameraScenario);
    ASSERT_TRUE(Start());
    const std::wstring caption = Caption();
    {
        CableThread pull(0, false);
        ASSERT_TRUE(PumpUntil([&] { return pull.Done(); }, std::chrono::seconds(30)));
    }
    EXPECT_EQ(Caption(), kDisconnectedCaption);
    ExpectRunning(false, false);
    EXPECT_TRUE(EndsWith(Status(), L"The camera was disconnected.\r\n"));

    // Burn Firmware with no camera: no dialog, a line, a failed start.
    Command(ID_TOOLS_BURN_FIRMWARE);
    EXPECT_FALSE(IsWindowVisible(Dlg().m_firmwareDlg.hwnd()));
    EXPECT_TRUE(EndsWith(Status(), L"There is no camera to update.\r\n"));
    ExpectStartFailed();

    {
        CableThread plug(0, true);
        ASSERT_TRUE(PumpUntil([&] { return plug.Done(); }, std::chrono::seconds(30)));
    }
    // Back from the failed start to idle, so the next press starts.
    EXPECT_EQ(Caption(), caption);
    ExpectRunning(false, false);
    Click(IDC_START_CAMERA);
    ExpectRunning(true, true);
    EXPECT_TRUE(WaitForFrame());
    EXPECT_TRUE(Prompts().Messages().empty());
}

TEST_F(DeviceChangeTest, ACameraNotInUseComesAndGoesWithoutDisturbingThePicture) {
    LoadScenario("[sim]\nfps = 30\n[camera]\nproduct = Front\n[camera]\nproduct = Back\n");
    ASSERT_TRUE(Start());
    const std::wstring caption = Caption();
    ASSERT_EQ(ComboItems(IDC_DEVICE).size(), 2u);
    ChooseDevice(1);
    Click(IDC_START_CAMERA);
    ExpectRunning(true, true);
    ASSERT_TRUE(WaitForFrame());
    ClearTrace();

    // The camera before the one in use goes: the running one moves up.
    ASSERT_EQ(SonixSim_SetPlugged(0, 0), 0);
    EXPECT_EQ(ComboItems(IDC_DEVICE).size(), 1u);
    EXPECT_FALSE(Visible(IDC_DEVICE));
    EXPECT_FALSE(Visible(IDC_DEVICE_LABEL));
    EXPECT_EQ(Dlg().m_selectedDevice, 0);
    ExpectRunning(true, true);
    EXPECT_EQ(Caption(), caption);
    EXPECT_EQ(Status().find(L"The camera was disconnected."), std::wstring::npos);
    vorn::Frame seen = Dlg().LatestFrame();
    EXPECT_TRUE(WaitForNewFrame(seen));

    ASSERT_EQ(SonixSim_SetPlugged(0, 1), 0);
    EXPECT_EQ(ComboItems(IDC_DEVICE).size(), 2u);
    EXPECT_TRUE(Visible(IDC_DEVICE));
    EXPECT_TRUE(Visible(IDC_DEVICE_LABEL));
    EXPECT_EQ(Dlg().m_selectedDevice, 1);
    EXPECT_TRUE(EndsWith(Status(), L"A camera was connected.\r\n"));
    ExpectRunning(true, true);
    seen = Dlg().LatestFrame();
    EXPECT_TRUE(WaitForNewFrame(seen));
    // Nothing was selected, stopped or closed under the picture.
    for (const char* call : {"SonixCam_SelectDevice", "SonixCam_StopPreview", "SonixCam_CloseCamera"})
        EXPECT_FALSE(TraceHas(call)) << call;

    // The next start takes the same camera at its new place.
    Click(IDC_START_CAMERA);
    ClearTrace();
    Click(IDC_START_CAMERA);
    ExpectRunning(true, true);
    EXPECT_EQ(LastTraceLine(Trace(), "SonixCam_SelectDevice("), "SonixCam_SelectDevice(1) = 0");
}

TEST_F(DeviceChangeTest, ACameraArrivingLateJoinsTheDeviceListAfterItsChecks) {
    // The second camera is plugged in after start-up, while the picture runs,
    // and refuses selection: it is listed until the checks run at the next
    // start, which drop it.
    LoadScenario("[camera]\nproduct = Front\n[camera]\nproduct = Back\nselectable = false\n"
                 "replug_after_ms = 3600000\n");
    ASSERT_TRUE(Start());
    EXPECT_FALSE(Visible(IDC_DEVICE));
    EXPECT_FALSE(Visible(IDC_DEVICE_LABEL));
    Click(IDC_START_CAMERA);
    ASSERT_TRUE(WaitForFrame());
    ASSERT_EQ(SonixSim_SetPlugged(1, 1), 0);
    EXPECT_EQ(ComboItems(IDC_DEVICE).size(), 2u);
    ExpectRunning(true, true);
    Click(IDC_START_CAMERA);
    Click(IDC_START_CAMERA);
    ExpectRunning(true, true);
    EXPECT_EQ(ComboItems(IDC_DEVICE).size(), 1u);
    EXPECT_TRUE(TraceHas("SonixCam_SelectDevice(1) = 3"));
}

class UnplugDuringBurnTest : public FirmwareDialogTest {
protected:
    void TearDown() override {
        SonixSim_ResetDefault();
        FirmwareDialogTest::TearDown();
    }
};

TEST_F(UnplugDuringBurnTest, TheBurnFailsIsReportedAndTheCameraTakesTheNextOne) {
    LoadScenario("[sim]\nburn_ms = 4000\n[camera]\nfirmware = Vorn-Corvanith-211015K-1.3\n");
    ASSERT_TRUE(StartClean());
    const std::wstring image = WriteFile(L"new.src", Image(65536, "SN9C", "Vorn-Corvanith-220301K-2.0"));
    Command(ID_TOOLS_BURN_FIRMWARE);
    Update(image);
    ASSERT_TRUE(Fw().IsBurning());
    ASSERT_TRUE(PumpUntil([&] { return Bar() > 0; }, std::chrono::seconds(30)));

    ASSERT_EQ(SonixSim_SetPlugged(0, 0), 0);
    ASSERT_TRUE(WaitForBurnEnd());
    const std::vector<std::wstring> boxes = BoxTexts();
    ASSERT_FALSE(boxes.empty());
    EXPECT_EQ(boxes.back(), L"Failed to Update Firmware!");
    const std::string burn = LastTraceLine(Trace(), "SonixCam_BurnerFW(");
    EXPECT_EQ(burn.substr(burn.size() - 4), " = 3") << burn;
    EXPECT_NE(Dlg().m_statusText.find(L"The camera was disconnected.\r\n"), std::wstring::npos);
    EXPECT_FALSE(Result().has_value());
    // The dialog stays for another try; the history has the failure.
    EXPECT_TRUE(FwShown());
    EXPECT_TRUE(FwEnabled(IDC_FW_UPDATE));
    std::string history;
    ASSERT_TRUE(files::ReadAll(std::filesystem::path(ProgramFolder()) / "firmware-history.log", history));
    EXPECT_NE(history.find("211015K-1.3"), std::string::npos);

    // Back on the bus, the same dialog burns and the restart comes round.
    ASSERT_EQ(SonixSim_SetPlugged(0, 1), 0);
    Prompts().Clear();
    Update(image);
    ASSERT_TRUE(WaitForBurnEnd());
    const std::vector<std::wstring> second = BoxTexts();
    EXPECT_NE(std::find(second.begin(), second.end(), L"Firmware Update Complete!"), second.end());
    for (const auto& box : Prompts().Messages()) EXPECT_NE(box.caption, L"ERROR") << box.text;
    EXPECT_FALSE(Result().has_value());
    EXPECT_TRUE(TraceHas("SonixCam_RestartDevice() = 0"));
}

}  // namespace
}  // namespace vorn::test
