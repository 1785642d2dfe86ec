// One simulated camera: its settings, its image processor's register space
// and its serial flash, kept coherent with each other the way the camera's
// firmware keeps them. Not thread-safe; the simulator serialises access.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sim_scenario.h"
#include "video_stream.h"

namespace sonix_sim {

namespace reg {
constexpr int kMode = 0x0F7D;       // bit 0 AWB on, bit 1 AEC on
constexpr int kGainRed = 0xC036;    // 10-bit gains, two bytes each
constexpr int kGainGreen = 0xC038;
constexpr int kGainBlue = 0xC03A;
constexpr int kAwbTrigger = 0xC0B0;
constexpr int kExposureRead = 0x0DA1;
constexpr int kExposureWrite = 0x0F39;
}  // namespace reg

// Sensor exposure lines for the exposure steps -1 .. -13.
int ExposureLinesForStep(int step);

// Status codes of the vendor calls (0 is success).
enum Status : int {
    kOk = 0,
    kErrState = 1,     // not initialised, nothing selected, camera not open, ...
    kErrArgument = 2,  // null pointer, unknown id, value outside the range
    kErrDevice = 3,    // the camera refuses (not selectable, busy, query fails)
    kErrVerify = 4,    // flash read-back differs from the image
    kErrFault = 1,     // failure injected by the scenario (what a refusing camera returns)
};

// Where an image carries its version text: the tag, then the text up to a
// zero or 0xFF byte, printable ASCII, 1 to 63 characters. First valid tag wins.
constexpr char kVersionTag[] = "VVER";
constexpr size_t kMaxVersionText = 63;
bool FindVersionText(const std::vector<uint8_t>& image, std::string& version);
// A ROM image of the given size that carries the version text.
std::vector<uint8_t> MakeFirmwareImage(size_t size, const std::string& version);

class Camera {
public:
    explicit Camera(const CameraSetup& setup);

    const CameraSetup& Setup() const { return setup_; }

    // Back to the settings and registers of the scenario, as after power-up.
    // The flash and the firmware running from it are kept.
    void PowerUp();

    int PropertyGet(int id, int* value, int* flags) const;
    int PropertySet(int id, int value, int flags);
    int PropertyRange(int id, int* min, int* max, int* step, int* dflt, int* flags) const;
    int ControlGet(int id, int* value, int* flags) const;
    int ControlSet(int id, int value, int flags);
    int RegisterRead(int address, uint8_t* buf, int count) const;
    int RegisterWrite(int address, const uint8_t* buf, int count);

    // Raw access for tests: no coherence applied.
    int Peek(int address, uint8_t* buf, int count) const;
    int Poke(int address, const uint8_t* buf, int count);

    bool AwbActive() const;
    bool AecActive() const;
    int Gain(int address) const;
    PictureSettings Picture() const;

    const std::string& FirmwareVersion() const { return runningVersion_; }
    std::vector<uint8_t>& Flash() { return flash_; }
    // The firmware in flash starts running (after a restart).
    void BootFromFlash();

    const std::vector<Resolution>& Resolutions() const { return setup_.resolutions; }

private:
    void SetGain(int address, int gain);
    void Settle();
    void UpdateExposureRegisters();

    CameraSetup setup_;
    std::map<int, Setting> properties_;
    std::map<int, Setting> controls_;
    std::vector<uint8_t> regs_;
    std::vector<uint8_t> flash_;
    std::string runningVersion_;
};

}  // namespace sonix_sim
