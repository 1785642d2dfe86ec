#include "sim_simulator.h"

#include "sim_notify.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

namespace sonix_sim {

void Faults::Load(const std::vector<FaultRule>& rules) {
    counters_.clear();
    for (const auto& r : rules) counters_.push_back({r, 0});
}

bool Faults::Hit(const std::string& function, std::optional<long> firstArg) {
    bool fail = false;
    for (auto& c : counters_) {
        if (c.rule.function != function) continue;
        if (c.rule.firstArg && (!firstArg || *firstArg != *c.rule.firstArg)) continue;
        ++c.calls;
        if (c.rule.always || std::find(c.rule.nth.begin(), c.rule.nth.end(), c.calls) != c.rule.nth.end())
            fail = true;
    }
    return fail;
}

Simulator& Simulator::Instance() {
    // Never destroyed: the video thread or a late caller may still reach it
    // while the process tears down static objects.
    static Simulator* sim = [] {
        auto* s = new Simulator();
        std::string path = ScenarioPathAtLoad();
        if (!path.empty()) s->LoadFile(path);  // on error the default stays
        return s;
    }();
    return *sim;
}

Simulator::Simulator() { Apply(DefaultScenario()); }

Simulator::~Simulator() {
    std::shared_ptr<VideoStream> old;
    {
        std::lock_guard<std::mutex> l(mu_);
        old = EndPreviewLocked();
        quit_ = true;
    }
    planChanged_.notify_all();
    if (plugTimer_.joinable()) plugTimer_.join();
    if (old) old->Stop();
}

bool ReadWholeFile(const std::string& path, std::string& text) {
    std::FILE* f = OpenUtf8(path, "rb");
    if (!f) return false;
    text.clear();
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) text.append(buf, n);
    bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

int Simulator::LoadFile(const std::string& path) {
    std::string text;
    if (!ReadWholeFile(path, text)) {
        std::string error = path + ":0: cannot read the scenario file";
        std::fprintf(stderr, "%s\n", error.c_str());
        std::lock_guard<std::mutex> l(mu_);
        lastError_ = error;
        return kErrArgument;
    }
    return LoadText(text, path);
}

int Simulator::LoadText(const std::string& text, const std::string& source) {
    Scenario s;
    std::string error;
    if (!ParseScenario(text, source, s, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        std::fflush(stderr);
        std::lock_guard<std::mutex> l(mu_);
        lastError_ = error;
        return kErrArgument;
    }
    Apply(s);
    return kOk;
}

int Simulator::LoadDefault() {
    Apply(DefaultScenario());
    return kOk;
}

void Simulator::Apply(const Scenario& scenario) {
    std::shared_ptr<VideoStream> old;
    bool traceOpened;
    {
        std::lock_guard<std::mutex> l(mu_);
        old = EndPreviewLocked();
        framesDelivered_ = 0;
        scenario_ = scenario;
        cameras_.clear();
        for (const auto& setup : scenario_.cameras) cameras_.push_back(std::make_unique<Camera>(setup));
        session_ = Session{};
        LoadFaultsLocked(scenario_.faults);
        plugged_.assign(cameras_.size(), true);
        plan_.clear();
        const auto loaded = std::chrono::steady_clock::now();
        for (size_t i = 0; i < scenario_.cameras.size(); ++i) {
            const CameraSetup& setup = scenario_.cameras[i];
            const int camera = static_cast<int>(i);
            if (setup.unplugAfterMs)
                plan_.push_back({loaded + std::chrono::milliseconds(*setup.unplugAfterMs), camera, false});
            if (setup.replugAfterMs) {
                plan_.push_back({loaded + std::chrono::milliseconds(*setup.replugAfterMs), camera, true});
                if (!setup.unplugAfterMs) plugged_[i] = false;
            }
        }
        if (!plan_.empty() && !plugTimer_.joinable()) plugTimer_ = std::thread(&Simulator::RunPlugTimer, this);
        burning_ = -1;
        trace_.Clear();
        traceOpened = trace_.Open(scenario_.tracePath);
        lastError_.clear();
        ++generation_;
    }
    if (!traceOpened) {
        std::fprintf(stderr, "cannot open the trace file %s\n", scenario.tracePath.c_str());
        std::fflush(stderr);
    }
    planChanged_.notify_all();
    if (old) old->Stop();
}

int Simulator::SetFaults(const std::string& text) {
    std::vector<FaultRule> rules;
    std::string error;
    if (!ParseFaultRules(text, "<fault rules>", rules, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        std::fflush(stderr);
        std::lock_guard<std::mutex> l(mu_);
        lastError_ = error;
        return kErrArgument;
    }
    std::lock_guard<std::mutex> l(mu_);
    LoadFaultsLocked(rules);
    lastError_.clear();
    return kOk;
}

void Simulator::LoadFaultsLocked(const std::vector<FaultRule>& rules) {
    std::vector<FaultRule> calls, frames, flash;
    for (const auto& r : rules) {
        if (r.function.compare(0, 6, "frame.") == 0)
            frames.push_back(r);
        else if (r.function == "flash.corrupt")
            flash.push_back(r);
        else
            calls.push_back(r);
    }
    faults_.Load(calls);
    frameFaults_.Load(frames);
    flashFaults_.Load(flash);
}

void Simulator::RunPlugTimer() {
    std::unique_lock<std::mutex> l(mu_);
    while (!quit_) {
        auto next = std::min_element(plan_.begin(), plan_.end(),
                                     [](const PlugEvent& a, const PlugEvent& b) { return a.at < b.at; });
        if (next == plan_.end()) {
            planChanged_.wait(l);
            continue;
        }
        if (std::chrono::steady_clock::now() < next->at) {
            // Woken early by a load or the end: look at the plan again.
            planChanged_.wait_until(l, next->at);
            continue;
        }
        const PlugEvent event = *next;
        plan_.erase(next);
        const uint64_t generation = generation_;
        l.unlock();
        SetPlugged(event.camera, event.plugged, generation);
        l.lock();
    }
}

std::string Simulator::LastError() {
    std::lock_guard<std::mutex> l(mu_);
    return lastError_;
}

int Simulator::Call(const char* function, const std::string& args, std::optional<long> firstArg,
                    const std::function<int()>& op) {
    bool fault;
    bool gone;
    {
        std::lock_guard<std::mutex> l(mu_);
        // Only these do without the selected camera; the rest fail while it
        // is unplugged, before any injected fault is counted.
        static const char* const kCameraFree[] = {"SonixCam_Init", "SonixCam_UnInit", "SonixCam_EnumDevice",
                                                  "SonixCam_SelectDevice"};
        gone = session_.lost && std::none_of(std::begin(kCameraFree), std::end(kCameraFree), [&](const char* f) {
                   return std::strcmp(f, function) == 0;
               });
        fault = !gone && faults_.Hit(function, firstArg);
    }
    int status = gone ? kErrDevice : fault ? kErrFault : op();
    std::lock_guard<std::mutex> l(mu_);
    trace_.Add(function, args, status);
    return status;
}

std::string Simulator::TraceText() {
    std::lock_guard<std::mutex> l(mu_);
    return trace_.Text();
}

void Simulator::ClearTrace() {
    std::lock_guard<std::mutex> l(mu_);
    trace_.Clear();
}

Camera* Simulator::SelectedLocked() {
    if (!session_.initialized || session_.lost || session_.selected < 0 ||
        session_.selected >= static_cast<int>(cameras_.size()))
        return nullptr;
    return cameras_[session_.selected].get();
}

int Simulator::PresentCameraLocked(int index) const {
    if (index < 0 || index >= kMaxCameras) return -1;
    for (size_t i = 0; i < cameras_.size(); ++i) {
        if (!plugged_[i]) continue;
        if (index-- == 0) return static_cast<int>(i);
    }
    return -1;
}

std::string Simulator::DevicePath(const CameraSetup& setup, int camera) {
    const auto& id = setup.vidPid;
    char path[200];
    std::snprintf(path, sizeof path,
                  "\\\\?\\usb#vid_%02x%02x&pid_%02x%02x&mi_00#7&%08x&0&000%d#"
                  "{65e8773d-8f56-11d0-a3b9-00a0c9223196}\\global",
                  id[0], id[1], id[2], id[3], 0x2a51c0d0u + static_cast<unsigned>(camera) * 0x1111u, camera + 1);
    return path;
}

int Simulator::CopyText(const std::string& text, char* buf, int size) {
    if (!buf || size <= 0) return kErrArgument;
    // Too small a buffer is refused rather than silently cut short.
    if (text.size() + 1 > static_cast<size_t>(size)) return kErrArgument;
    std::memcpy(buf, text.c_str(), text.size() + 1);
    return kOk;
}

std::shared_ptr<VideoStream> Simulator::EndPreviewLocked() {
    session_.preview = Preview::Stopped;
    return std::move(stream_);
}

int Simulator::StartStreamLocked() {
    Camera* cam = SelectedLocked();
    if (!cam || stream_) return kErrState;
    StreamConfig config;
    const auto& res = cam->Resolutions();
    if (session_.resolution < static_cast<int>(res.size())) {
        config.width = res[session_.resolution].width;
        config.height = res[session_.resolution].height;
    }
    config.fps = scenario_.fps;
    config.window = session_.window;
    config.callback = session_.callback;
    config.delivered = &framesDelivered_;
    // Starting under the lock is safe: the stream calls back from its own
    // thread only. Stopping is what must happen outside it.
    auto stream = std::make_shared<VideoStream>();
    if (!stream->Start(config, [this] { return CurrentPicture(); }, [this] { return NextFrameFault(); }))
        return kErrDevice;
    stream_ = std::move(stream);
    return kOk;
}

PictureSettings Simulator::CurrentPicture() {
    std::lock_guard<std::mutex> l(mu_);
    Camera* cam = SelectedLocked();
    return cam ? cam->Picture() : PictureSettings{};
}

FrameFault Simulator::NextFrameFault() {
    std::lock_guard<std::mutex> l(mu_);
    // Every frame number counts for every kind, so "frame.drop = 3" and
    // "frame.empty = 5" refer to the same numbering.
    bool drop = frameFaults_.Hit("frame.drop", std::nullopt);
    bool truncate = frameFaults_.Hit("frame.truncate", std::nullopt);
    bool empty = frameFaults_.Hit("frame.empty", std::nullopt);
    if (drop) return FrameFault::Drop;
    if (truncate) return FrameFault::Truncate;
    if (empty) return FrameFault::Empty;
    return FrameFault::None;
}

// --- session ---------------------------------------------------------------

int Simulator::Init(int) {
    std::lock_guard<std::mutex> l(mu_);
    if (!session_.initialized) {
        session_ = Session{};
        session_.initialized = true;
    }
    return kOk;
}

int Simulator::UnInit() {
    std::shared_ptr<VideoStream> old;
    {
        std::lock_guard<std::mutex> l(mu_);
        if (!session_.initialized) return kErrState;
        old = EndPreviewLocked();
        session_ = Session{};
    }
    if (old) old->Stop();
    return kOk;
}

int Simulator::EnumDevice(DeviceRecord* records, int* count, int maxCount) {
    std::lock_guard<std::mutex> l(mu_);
    if (!session_.initialized) return kErrState;
    if (!records || !count || maxCount < 1) return kErrArgument;
    // Unplugged cameras are not listed; the ones after them move up.
    int n = 0;
    for (int camera; n < std::min(maxCount, kMaxCameras) && (camera = PresentCameraLocked(n)) >= 0; ++n) {
        DeviceRecord& r = records[n];
        std::memset(&r, 0, sizeof r);
        std::snprintf(r.devicePath, sizeof r.devicePath, "%s",
                      DevicePath(cameras_[camera]->Setup(), camera).c_str());
        r.deviceIndex = n;
        r.present = 1;
    }
    *count = n;
    return kOk;
}

int Simulator::SelectDevice(int index) {
    std::shared_ptr<VideoStream> old;
    {
        std::lock_guard<std::mutex> l(mu_);
        if (!session_.initialized) return kErrState;
        const int camera = PresentCameraLocked(index);
        if (camera < 0) return kErrArgument;
        if (!cameras_[camera]->Setup().selectable) return kErrDevice;
        if (camera != session_.selected || session_.lost) {
            // The camera in use is let go before another is taken.
            old = EndPreviewLocked();
            Session fresh;
            fresh.initialized = true;
            fresh.selected = camera;
            session_ = fresh;
        }
    }
    if (old) old->Stop();
    return kOk;
}

int Simulator::RestartDevice() {
    std::shared_ptr<VideoStream> old;
    {
        std::lock_guard<std::mutex> l(mu_);
        Camera* cam = SelectedLocked();
        if (!cam) return kErrState;
        // A camera does not reboot in the middle of writing its flash.
        if (burning_ == session_.selected) return kErrDevice;
        old = EndPreviewLocked();
        cam->BootFromFlash();
        // The device drops off the bus and comes back: it has to be selected
        // (and opened) again.
        Session fresh;
        fresh.initialized = true;
        session_ = fresh;
    }
    if (old) old->Stop();
    return kOk;
}

int Simulator::OpenCamera(VORN_HWND window, int arg, FrameCallbackProc callback) {
    std::lock_guard<std::mutex> l(mu_);
    if (!SelectedLocked()) return kErrState;
    if (session_.open) return kErrState;
    session_.open = true;
    session_.preview = Preview::Stopped;
    session_.window = window;
    session_.openArg = arg;
    session_.callback = callback;
    return kOk;
}

int Simulator::IsOpenCamera(bool* open) {
    std::lock_guard<std::mutex> l(mu_);
    if (!session_.initialized) return kErrState;
    if (!open) return kErrArgument;
    *open = session_.open;
    return kOk;
}

int Simulator::CloseCamera() {
    std::shared_ptr<VideoStream> old;
    {
        std::lock_guard<std::mutex> l(mu_);
        if (!session_.initialized || !session_.open) return kErrState;
        old = EndPreviewLocked();
        session_.open = false;
        session_.window = nullptr;
        session_.callback = nullptr;
    }
    if (old) old->Stop();
    return kOk;
}

int Simulator::IsPreviewing(bool* previewing) {
    std::lock_guard<std::mutex> l(mu_);
    if (!session_.initialized) return kErrState;
    if (!previewing) return kErrArgument;
    *previewing = session_.preview == Preview::Running;
    return kOk;
}

int Simulator::StartPreview() {
    std::lock_guard<std::mutex> l(mu_);
    if (!session_.initialized || !session_.open) return kErrState;
    if (session_.preview == Preview::Running) return kOk;
    if (burning_ == session_.selected) return kErrDevice;
    int status = StartStreamLocked();
    if (status == kOk) session_.preview = Preview::Running;
    return status;
}

int Simulator::PausePreview() {
    std::shared_ptr<VideoStream> old;
    {
        std::lock_guard<std::mutex> l(mu_);
        if (!session_.initialized || !session_.open || session_.preview == Preview::Stopped) return kErrState;
        old = EndPreviewLocked();
        session_.preview = Preview::Paused;
    }
    if (old) old->Stop();
    return kOk;
}

int Simulator::StopPreview() {
    std::shared_ptr<VideoStream> old;
    {
        std::lock_guard<std::mutex> l(mu_);
        if (!session_.initialized || !session_.open) return kErrState;
        old = EndPreviewLocked();
    }
    if (old) old->Stop();
    return kOk;
}

// --- identity and formats ----------------------------------------------------

int Simulator::GetFwVersion(char* buf, int size, int) {
    std::lock_guard<std::mutex> l(mu_);
    Camera* cam = SelectedLocked();
    if (!cam) return kErrState;
    return CopyText(cam->FirmwareVersion(), buf, size);
}

int Simulator::GetProduct(char* buf, int size) {
    std::lock_guard<std::mutex> l(mu_);
    Camera* cam = SelectedLocked();
    if (!cam) return kErrState;
    if (!cam->Setup().productQuery) return kErrDevice;
    return CopyText(cam->Setup().product, buf, size);
}

int Simulator::GetInterface(char* buf, int size) {
    std::lock_guard<std::mutex> l(mu_);
    Camera* cam = SelectedLocked();
    if (!cam) return kErrState;
    return CopyText(cam->Setup().interfaceText, buf, size);
}

int Simulator::GetVidPid(uint8_t* buf, int size) {
    std::lock_guard<std::mutex> l(mu_);
    Camera* cam = SelectedLocked();
    if (!cam) return kErrState;
    if (!buf || size < 4) return kErrArgument;
    const auto& id = cam->Setup().vidPid;
    std::memcpy(buf, id.data(), std::min(id.size(), static_cast<size_t>(size)));
    return kOk;
}

int Simulator::GetPreviewResolutionCount(int* count) {
    std::lock_guard<std::mutex> l(mu_);
    Camera* cam = SelectedLocked();
    if (!cam) return kErrState;
    if (!count) return kErrArgument;
    const auto& setup = cam->Setup();
    *count = setup.resolutionCount ? *setup.resolutionCount : 2 * static_cast<int>(setup.resolutions.size());
    return kOk;
}

// Vendor list: every resolution in format 0, then all of them again in
// format 1, so index k below the distinct count is the k-th resolution.
int Simulator::GetPreviewResolutionInfo(int index, ResolutionInfo* info) {
    std::lock_guard<std::mutex> l(mu_);
    Camera* cam = SelectedLocked();
    if (!cam) return kErrState;
    const int n = static_cast<int>(cam->Resolutions().size());
    if (!info || index < 0 || index >= 2 * n) return kErrArgument;
    const Resolution& r = cam->Resolutions()[index % n];
    info->width = r.width;
    info->height = r.height;
    info->formatIndex = index / n;
    info->frameRate = static_cast<int32_t>(scenario_.fps);
    return kOk;
}

int Simulator::GetCurrentPreviewResolutionInfo(ResolutionInfo* info) {
    std::lock_guard<std::mutex> l(mu_);
    Camera* cam = SelectedLocked();
    if (!cam) return kErrState;
    if (!info) return kErrArgument;
    if (session_.resolution >= static_cast<int>(cam->Resolutions().size())) return kErrDevice;
    const Resolution& r = cam->Resolutions()[session_.resolution];
    info->width = r.width;
    info->height = r.height;
    info->formatIndex = session_.format;
    info->frameRate = static_cast<int32_t>(scenario_.fps);
    return kOk;
}

int Simulator::SetVideoFormat(int format, int resolutionIndex) {
    std::lock_guard<std::mutex> l(mu_);
    Camera* cam = SelectedLocked();
    if (!cam) return kErrState;
    if (format < 0 || format > 1 || resolutionIndex < 0 ||
        resolutionIndex >= static_cast<int>(cam->Resolutions().size()))
        return kErrArgument;
    // A running stream keeps its format; the camera refuses the change.
    if (session_.preview != Preview::Stopped) return kErrDevice;
    session_.format = format;
    session_.resolution = resolutionIndex;
    return kOk;
}

// --- settings and registers ------------------------------------------------

int Simulator::PropertyGet(int id, int* value, int* flags) {
    std::lock_guard<std::mutex> l(mu_);
    Camera* cam = SelectedLocked();
    return cam ? cam->PropertyGet(id, value, flags) : kErrState;
}

int Simulator::PropertySet(int id, int value, int flags) {
    std::lock_guard<std::mutex> l(mu_);
    Camera* cam = SelectedLocked();
    return cam ? cam->PropertySet(id, value, flags) : kErrState;
}

int Simulator::PropertyGetRange(int id, int* min, int* max, int* step, int* dflt, int* flags) {
    std::lock_guard<std::mutex> l(mu_);
    Camera* cam = SelectedLocked();
    return cam ? cam->PropertyRange(id, min, max, step, dflt, flags) : kErrState;
}

int Simulator::ControlGet(int id, int* value, int* flags) {
    std::lock_guard<std::mutex> l(mu_);
    Camera* cam = SelectedLocked();
    return cam ? cam->ControlGet(id, value, flags) : kErrState;
}

int Simulator::ControlSet(int id, int value, int flags) {
    std::lock_guard<std::mutex> l(mu_);
    Camera* cam = SelectedLocked();
    return cam ? cam->ControlSet(id, value, flags) : kErrState;
}

int Simulator::RegisterRead(int address, uint8_t* buf, int count) {
    std::lock_guard<std::mutex> l(mu_);
    Camera* cam = SelectedLocked();
    return cam ? cam->RegisterRead(address, buf, count) : kErrState;
}

int Simulator::RegisterWrite(int address, const uint8_t* buf, int count) {
    std::lock_guard<std::mutex> l(mu_);
    Camera* cam = SelectedLocked();
    return cam ? cam->RegisterWrite(address, buf, count) : kErrState;
}

int Simulator::GetSerialFlashType(int* type, int) {
    std::lock_guard<std::mutex> l(mu_);
    Camera* cam = SelectedLocked();
    if (!cam) return kErrState;
    if (!type) return kErrArgument;
    *type = cam->Setup().flashType;
    return kOk;
}

// --- firmware ----------------------------------------------------------------

int Simulator::BurnFirmware(const uint8_t* image, int length, BurnProgressProc progress, void* context,
                            int flashType, int fullVerify) {
    std::unique_lock<std::mutex> l(mu_);
    Camera* cam = SelectedLocked();
    if (!cam) return kErrState;
    if (!image || length <= 0 || flashType <= 0) return kErrArgument;
    if (session_.preview != Preview::Stopped || burning_ >= 0) return kErrDevice;
    const uint64_t generation = generation_;
    const int cameraIndex = session_.selected;
    const int burnMs = scenario_.burnMs;
    const bool corrupt = flashFaults_.Hit("flash.corrupt", std::nullopt);
    std::vector<uint8_t> flash(static_cast<size_t>(length), 0xFF);  // erased
    burning_ = cameraIndex;
    l.unlock();

    // The write and read-back run without the lock: progress goes back to
    // the caller, which may well call into the library from it.
    constexpr int kChunk = 1024;
    const size_t size = static_cast<size_t>(length);
    const int chunks = static_cast<int>((size + kChunk - 1) / kChunk);
    const int steps = chunks * (fullVerify ? 2 : 1);
    const auto start = std::chrono::steady_clock::now();
    int step = 0;
    // The cable may be pulled while the flash is written.
    auto unplugged = [&] {
        std::lock_guard<std::mutex> g(mu_);
        return generation == generation_ && !plugged_[cameraIndex];
    };
    auto advance = [&] {
        ++step;
        if (burnMs > 0)
            std::this_thread::sleep_until(start + std::chrono::microseconds(static_cast<int64_t>(burnMs) * 1000 *
                                                                            step / steps));
        if (progress) progress(context, static_cast<float>(static_cast<double>(step) / steps));
    };

    int status = kOk;
    if (progress) progress(context, 0.0f);
    for (int c = 0; c < chunks; ++c) {
        if (unplugged()) {
            status = kErrDevice;
            break;
        }
        const size_t from = static_cast<size_t>(c) * kChunk;
        const size_t n = std::min<size_t>(kChunk, size - from);
        std::memcpy(&flash[from], image + from, n);
        if (corrupt && from <= size / 2 && size / 2 < from + n) flash[size / 2] ^= 0x5A;
        advance();
    }
    if (fullVerify && status == kOk) {
        for (int c = 0; c < chunks && status == kOk; ++c) {
            if (unplugged()) {
                status = kErrDevice;
                break;
            }
            const size_t from = static_cast<size_t>(c) * kChunk;
            const size_t n = std::min<size_t>(kChunk, size - from);
            if (std::memcmp(&flash[from], image + from, n) != 0) {
                status = kErrVerify;
                break;
            }
            advance();
        }
    }

    l.lock();
    // A scenario loaded meanwhile replaced the camera this burn was for.
    if (generation != generation_) return kErrState;
    burning_ = -1;
    // A write cut short by the cable commits nothing; otherwise the flash
    // holds what was written, verified or not.
    if (status == kErrDevice) return status;
    cameras_[cameraIndex]->Flash() = std::move(flash);
    return status;
}

// --- test access -------------------------------------------------------------

int Simulator::Peek(int camera, int address, uint8_t* buf, int count) {
    std::lock_guard<std::mutex> l(mu_);
    if (camera < 0 || camera >= static_cast<int>(cameras_.size())) return kErrArgument;
    return cameras_[camera]->Peek(address, buf, count);
}

int Simulator::Poke(int camera, int address, const uint8_t* buf, int count) {
    std::lock_guard<std::mutex> l(mu_);
    if (camera < 0 || camera >= static_cast<int>(cameras_.size())) return kErrArgument;
    return cameras_[camera]->Poke(address, buf, count);
}

int Simulator::ReadFlash(int camera, uint8_t* buf, int size) {
    std::lock_guard<std::mutex> l(mu_);
    if (camera < 0 || camera >= static_cast<int>(cameras_.size())) return -1;
    const auto& flash = cameras_[camera]->Flash();
    if (buf && size > 0) std::memcpy(buf, flash.data(), std::min(flash.size(), static_cast<size_t>(size)));
    return static_cast<int>(flash.size());
}

}  // namespace sonix_sim

namespace sonix_sim {

int Simulator::SetPlugged(int camera, bool plugged, std::optional<uint64_t> generation) {
    std::shared_ptr<VideoStream> old;
    std::string path;
    {
        std::lock_guard<std::mutex> l(mu_);
        if (generation && *generation != generation_) return kErrState;
        if (camera < 0 || camera >= static_cast<int>(cameras_.size())) return kErrArgument;
        if (plugged_[camera] == plugged) return kOk;
        plugged_[camera] = plugged;
        if (!plugged && session_.initialized && session_.selected == camera && !session_.lost) {
            old = EndPreviewLocked();
            session_.open = false;
            session_.window = nullptr;
            session_.callback = nullptr;
            session_.lost = true;
        }
        // Back on the bus the camera starts from its power-up settings.
        if (plugged) cameras_[camera]->PowerUp();
        path = DevicePath(cameras_[camera]->Setup(), camera);
    }
    // No frame follows once this returns.
    if (old) old->Stop();
    NotifyDeviceChange(plugged, path);
    return kOk;
}

}  // namespace sonix_sim
