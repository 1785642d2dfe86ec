#include "sim_camera.h"

#include <algorithm>
#include <cstring>

namespace sonix_sim {

namespace {

constexpr int kExposureLines[13] = {12432, 6216, 3108, 1554, 775, 387, 193, 96, 49, 24, 12, 4, 4};

bool InRange(const Setting& s, int value) {
    return value >= s.min && value <= s.max && (value - s.min) % s.step == 0;
}

bool ValidFlags(int flags) { return flags >= 0 && flags <= 3; }

bool ValidSpan(int address, int count) {
    return address >= 0 && count > 0 && address < kRegisterSpace && count <= kRegisterSpace - address;
}

Knob KnobOf(const Setting& s) { return Knob{s.value, s.min, s.max, s.def}; }

}  // namespace

int ExposureLinesForStep(int step) {
    step = std::clamp(step, -13, -1);
    return kExposureLines[-step - 1];
}

bool FindVersionText(const std::vector<uint8_t>& image, std::string& version) {
    const size_t tag = std::strlen(kVersionTag);
    if (image.size() <= tag) return false;
    for (size_t i = 0; i + tag < image.size(); ++i) {
        if (std::memcmp(&image[i], kVersionTag, tag) != 0) continue;
        std::string text;
        size_t j = i + tag;
        bool ok = true;
        for (; j < image.size() && image[j] != 0 && image[j] != 0xFF; ++j) {
            if (image[j] < 0x20 || image[j] > 0x7E || text.size() == kMaxVersionText) {
                ok = false;
                break;
            }
            text.push_back(static_cast<char>(image[j]));
        }
        if (ok && !text.empty()) {
            version = text;
            return true;
        }
    }
    return false;
}

std::vector<uint8_t> MakeFirmwareImage(size_t size, const std::string& version) {
    std::vector<uint8_t> image(size, 0xFF);
    const uint8_t signature[4] = {'S', 'N', '9', 'C'};
    for (size_t i = 0; i < 4 && i < size; ++i) image[i] = signature[i];
    // Some code-like filler so that a copy is distinguishable from erased flash.
    for (size_t i = 0x200; i < size; ++i) image[i] = static_cast<uint8_t>((i * 37u) ^ (i >> 8));
    const size_t at = 0x40;
    std::string text = version.substr(0, kMaxVersionText);
    const size_t tag = std::strlen(kVersionTag);
    if (at + tag + text.size() + 1 <= size) {
        std::memcpy(&image[at], kVersionTag, tag);
        std::memcpy(&image[at + tag], text.data(), text.size());
        image[at + tag + text.size()] = 0;
    }
    return image;
}

Camera::Camera(const CameraSetup& setup) : setup_(setup) {
    flash_ = MakeFirmwareImage(0x10000, setup_.firmware);
    runningVersion_ = setup_.firmware;
    PowerUp();
}

void Camera::PowerUp() {
    properties_ = setup_.properties;
    controls_ = setup_.controls;
    regs_.assign(kRegisterSpace, 0);
    regs_[reg::kMode] = 0x03;
    regs_[reg::kAwbTrigger] = 0x30;
    const int lines = ExposureLinesForStep(-6);
    regs_[reg::kExposureWrite] = static_cast<uint8_t>(lines >> 8);
    regs_[reg::kExposureWrite + 1] = static_cast<uint8_t>(lines & 0xFF);
    SetGain(reg::kGainRed, controls_[1].value);
    SetGain(reg::kGainGreen, 256);
    SetGain(reg::kGainBlue, controls_[0].value);
    // The mode register of the scenario decides whether the camera's own
    // white balance replaces the gains just written.
    for (const auto& [address, bytes] : setup_.registers)
        if (address <= reg::kMode && reg::kMode < address + static_cast<int>(bytes.size()))
            regs_[reg::kMode] = bytes[reg::kMode - address];
    Settle();
    UpdateExposureRegisters();
    for (const auto& [address, bytes] : setup_.registers)
        std::copy(bytes.begin(), bytes.end(), regs_.begin() + address);
}

bool Camera::AwbActive() const { return properties_.at(7).flags == 1 && (regs_[reg::kMode] & 0x01); }

bool Camera::AecActive() const { return controls_.at(4).flags == 1 && (regs_[reg::kMode] & 0x02); }

int Camera::Gain(int address) const { return (regs_[address] & 0x03) * 256 + regs_[address + 1]; }

void Camera::SetGain(int address, int gain) {
    regs_[address] = static_cast<uint8_t>((regs_[address] & 0xFC) | ((gain >> 8) & 0x03));
    regs_[address + 1] = static_cast<uint8_t>(gain & 0xFF);
}

// While automatic white balance runs the camera owns the gain registers.
void Camera::Settle() {
    if (!AwbActive()) return;
    SetGain(reg::kGainRed, setup_.awbGains[0]);
    SetGain(reg::kGainGreen, setup_.awbGains[1]);
    SetGain(reg::kGainBlue, setup_.awbGains[2]);
}

void Camera::UpdateExposureRegisters() {
    const int lines = ExposureLinesForStep(controls_.at(4).value);
    regs_[reg::kExposureRead] = static_cast<uint8_t>(lines >> 8);
    regs_[reg::kExposureRead + 1] = static_cast<uint8_t>(lines & 0xFF);
}

int Camera::PropertyGet(int id, int* value, int* flags) const {
    auto it = properties_.find(id);
    if (it == properties_.end() || !value || !flags) return kErrArgument;
    *value = it->second.value;
    *flags = it->second.flags;
    return kOk;
}

int Camera::PropertySet(int id, int value, int flags) {
    auto it = properties_.find(id);
    if (it == properties_.end() || !ValidFlags(flags)) return kErrArgument;
    Setting& s = it->second;
    // Switching white balance to automatic carries no meaningful value: the
    // camera picks the colour temperature itself.
    if (id == 7 && flags == 1 && !InRange(s, value)) {
        s.flags = flags;
    } else {
        if (!InRange(s, value)) return kErrArgument;
        s.value = value;
        s.flags = flags;
    }
    Settle();
    return kOk;
}

int Camera::PropertyRange(int id, int* min, int* max, int* step, int* dflt, int* flags) const {
    auto it = setup_.properties.find(id);
    if (it == setup_.properties.end() || !min || !max || !step || !dflt || !flags) return kErrArgument;
    *min = it->second.min;
    *max = it->second.max;
    *step = it->second.step;
    *dflt = it->second.def;
    *flags = it->second.flags;
    return kOk;
}

int Camera::ControlGet(int id, int* value, int* flags) const {
    auto it = controls_.find(id);
    if (it == controls_.end() || !value || !flags) return kErrArgument;
    if (id == 0)
        *value = Gain(reg::kGainBlue);
    else if (id == 1)
        *value = Gain(reg::kGainRed);
    else
        *value = it->second.value;
    *flags = it->second.flags;
    return kOk;
}

int Camera::ControlSet(int id, int value, int flags) {
    auto it = controls_.find(id);
    if (it == controls_.end() || !ValidFlags(flags) || !InRange(it->second, value)) return kErrArgument;
    it->second.value = value;
    it->second.flags = flags;
    if (id == 0) SetGain(reg::kGainBlue, value);
    if (id == 1) SetGain(reg::kGainRed, value);
    if (id == 4) UpdateExposureRegisters();
    Settle();
    return kOk;
}

int Camera::RegisterRead(int address, uint8_t* buf, int count) const { return Peek(address, buf, count); }

int Camera::RegisterWrite(int address, const uint8_t* buf, int count) {
    int status = Poke(address, buf, count);
    if (status == kOk) Settle();
    return status;
}

int Camera::Peek(int address, uint8_t* buf, int count) const {
    if (!buf || !ValidSpan(address, count)) return kErrArgument;
    std::memcpy(buf, &regs_[address], count);
    return kOk;
}

int Camera::Poke(int address, const uint8_t* buf, int count) {
    if (!buf || !ValidSpan(address, count)) return kErrArgument;
    std::memcpy(&regs_[address], buf, count);
    return kOk;
}

PictureSettings Camera::Picture() const {
    PictureSettings p;
    p.brightness = KnobOf(properties_.at(0));
    p.contrast = KnobOf(properties_.at(1));
    p.saturation = KnobOf(properties_.at(3));
    p.sharpness = KnobOf(properties_.at(4));
    p.gamma = KnobOf(properties_.at(5));
    p.gainRed = Gain(reg::kGainRed);
    p.gainGreen = Gain(reg::kGainGreen);
    p.gainBlue = Gain(reg::kGainBlue);
    // The camera's own white-balance estimate is what makes the scene grey.
    p.balancedRed = setup_.awbGains[0];
    p.balancedGreen = setup_.awbGains[1];
    p.balancedBlue = setup_.awbGains[2];
    p.exposureStep = controls_.at(4).value;
    p.autoExposure = AecActive();
    p.rotate180 = controls_.at(2).value == 3;
    p.illumination = controls_.at(6).value == 0;
    return p;
}

void Camera::BootFromFlash() {
    std::string version;
    // An image without a version record leaves the old text: the camera's
    // descriptor is not rewritten by such an image.
    if (FindVersionText(flash_, version)) runningVersion_ = version;
    PowerUp();
}

}  // namespace sonix_sim
