// What the firmware dialog tests share: ROM images with or without a version
// record, files in the program folder, the dialog's controls, and a burn
// pressed through and waited for.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "firmware/update_firmware_dialog.h"
#include "window_fixture.h"

namespace vorn::test {

using namespace std::chrono_literals;

inline constexpr auto kBurnTimeout = 60s;

// A ROM image of `size` bytes starting with `head`, carrying `version` as
// its version record when given.
inline std::vector<uint8_t> Image(size_t size, const std::string& head = "SN9C", const std::string& version = "") {
    std::vector<uint8_t> bytes(size, 0x00);
    std::copy(head.begin(), head.end(), bytes.begin());
    if (!version.empty()) {
        const std::string record = "VVER" + version;
        std::copy(record.begin(), record.end(), bytes.begin() + 0x200);
        bytes[0x200 + record.size()] = 0;
    }
    return bytes;
}

class FirmwareDialogTest : public MainWindowTest {
protected:
    // Start-up's own prompts are not what these tests look at.
    bool StartClean() {
        const bool started = Start();
        Prompts().Clear();
        return started;
    }
    UpdateFirmwareDlg& Fw() { return Dlg().m_firmwareDlg; }
    HWND FwHwnd() { return Fw().hwnd(); }
    HWND FwItem(int id) { return GetDlgItem(FwHwnd(), id); }
    bool FwEnabled(int id) { return IsWindowEnabled(FwItem(id)) != FALSE; }
    bool FwShown() { return IsWindowVisible(FwHwnd()) != FALSE; }
    int Bar() { return static_cast<int>(SendMessageW(FwItem(IDC_FW_PROGRESS), PBM_GETPOS, 0, 0)); }

    std::wstring WriteFile(const std::wstring& name, const std::vector<uint8_t>& bytes) {
        const std::wstring path = ProgramFolder() + L"\\" + name;
        std::ofstream(std::filesystem::path(path), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return path;
    }

    void FwClick(int id) {
        SendMessageW(FwHwnd(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(FwItem(id)));
        Pump();
    }
    void TypePath(const std::wstring& path) { SetWindowTextW(FwItem(IDC_FW_SOURCE_PATH), path.c_str()); }
    void TickVerify(bool on) {
        SendMessageW(FwItem(IDC_FW_FULL_VERIFY), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
        FwClick(IDC_FW_FULL_VERIFY);
    }
    // Update Firmware on the file, answering the question with `answer`.
    void Update(const std::wstring& path, int answer = IDYES) {
        TypePath(path);
        Prompts().QueueAnswer(answer);
        FwClick(IDC_FW_UPDATE);
    }
    bool WaitForBurnEnd() {
        // The hide at the end is asynchronous: pump once more after the worker.
        bool ended = PumpUntil([&] { return !Fw().IsBurning(); }, kBurnTimeout);
        Pump(50ms);
        return ended;
    }
    std::vector<std::wstring> BoxTexts() {
        std::vector<std::wstring> texts;
        for (const auto& r : Prompts().Messages()) texts.push_back(r.text);
        return texts;
    }
};

}  // namespace vorn::test
