// What the camera and snapshot tests of the main window share: a healthy
// camera, waiting for frames, the preview's place, choosing a device, and a
// teardown that stops the camera's stream before the window goes.
#pragma once

#include "ui/controls.h"
#include "window_fixture.h"

namespace vorn::test {

inline constexpr char kCameraScenario[] =
    "[sim]\n"
    "fps = 30\n"
    "[camera]\n"
    "product = Vorn UC-20 Camera\n"
    "firmware = Vorn-Corvanith-211015K-1.3\n";

class CameraWindowTest : public MainWindowTest {
protected:
    void TearDown() override {
        // No frame may reach the window while it is destroyed.
        SonixSim_ResetDefault();
        MainWindowTest::TearDown();
    }

    std::wstring CaptionOfStart() const { return Text(IDC_START_CAMERA); }

    // What a press leaves: caption, flags, controls and menu.
    void ExpectRunning(bool running, bool controls) {
        EXPECT_EQ(CaptionOfStart(), running ? L"Stop Camera" : L"Start Camera");
        EXPECT_EQ(Dlg().m_controlsEnabled, controls);
        for (int id : {IDC_SNAPSHOT_SAVE, IDC_FILETYPE_JPG, IDC_FILETYPE_BMP, IDC_FILETYPE_PNG,
                       IDC_BRIGHTNESS_SLIDER, IDC_SNAPSHOT_FOLDER, IDC_BROWSE_FOLDER}) {
            SCOPED_TRACE(id);
            EXPECT_EQ(Enabled(id), controls);
        }
        EXPECT_EQ(Enabled(IDC_RESOLUTION), !controls);
        EXPECT_EQ(Enabled(IDC_DEVICE), !controls);
        EXPECT_EQ(MenuGrayed(ID_FILE_SAVE_CONFIG), !running);
        EXPECT_EQ(MenuGrayed(ID_FILE_LOAD_CONFIG), !running);
        EXPECT_EQ(MenuGrayed(ID_TOOLS_BURN_FIRMWARE), running);
    }

    // Preview rectangle in the main window's client coordinates.
    RECT PreviewRect() const {
        RECT r;
        GetWindowRect(Item(IDC_PREVIEW), &r);
        MapWindowPoints(nullptr, Hwnd(), reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
    POINT PreviewCorner() const {
        RECT r = PreviewRect();
        return {r.left, r.top};
    }

    bool WaitForFrame() {
        return PumpUntil([this] { return static_cast<bool>(Dlg().LatestFrame()); });
    }

    // The user picks item `item` of the device combo box (-1: none).
    void ChooseDevice(int item) {
        SendMessageW(Item(IDC_DEVICE), CB_SETCURSEL, static_cast<WPARAM>(item), 0);
        SendMessageW(Hwnd(), WM_COMMAND, MAKEWPARAM(IDC_DEVICE, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(Item(IDC_DEVICE)));
        Pump();
    }
};

}  // namespace vorn::test
