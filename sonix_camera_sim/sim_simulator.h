// The simulated vendor library's one global state: the cameras of the
// scenario, the session (initialised, selected, open, previewing), the fault
// counters and the trace, all behind one mutex. The exports are thin
// wrappers over the methods here; each method takes the mutex itself and
// never holds it while calling back into the caller or stopping the video.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "sim_camera.h"
#include "sim_scenario.h"
#include "sim_trace.h"
#include "video_stream.h"

namespace sonix_sim {

// Counts matching calls per rule and tells whether the current one fails.
class Faults {
public:
    void Load(const std::vector<FaultRule>& rules);
    bool Hit(const std::string& function, std::optional<long> firstArg);

private:
    struct Counter {
        FaultRule rule;
        long calls = 0;
    };
    std::vector<Counter> counters_;
};

class Simulator {
public:
    // The process-wide simulator; the first use loads the scenario named by
    // SONIXCAM_SIM, else SonixCamera.ini beside the library, else the default.
    static Simulator& Instance();

    Simulator();
    ~Simulator();

    int LoadFile(const std::string& path);
    int LoadText(const std::string& text, const std::string& source = "<scenario text>");
    int LoadDefault();
    // Replaces the fault rules only; their counters start again from 0.
    int SetFaults(const std::string& text);
    void Apply(const Scenario& scenario);
    std::string LastError();

    // Runs one vendor call: checks the faults, runs op unless one fires,
    // writes the trace line, returns the status.
    int Call(const char* function, const std::string& args, std::optional<long> firstArg,
             const std::function<int()>& op);

    std::string TraceText();
    void ClearTrace();

    int Init(int reserved);
    int UnInit();
    int EnumDevice(DeviceRecord* records, int* count, int maxCount);
    int SelectDevice(int index);
    int RestartDevice();
    int OpenCamera(VORN_HWND window, int arg, FrameCallbackProc callback);
    int IsOpenCamera(bool* open);
    int CloseCamera();
    int IsPreviewing(bool* previewing);
    int StartPreview();
    int PausePreview();
    int StopPreview();
    int GetFwVersion(char* buf, int size, int mode);
    int GetProduct(char* buf, int size);
    int GetInterface(char* buf, int size);
    int GetVidPid(uint8_t* buf, int size);
    int GetPreviewResolutionCount(int* count);
    int GetPreviewResolutionInfo(int index, ResolutionInfo* info);
    int GetCurrentPreviewResolutionInfo(ResolutionInfo* info);
    int SetVideoFormat(int format, int resolutionIndex);
    int PropertyGet(int id, int* value, int* flags);
    int PropertySet(int id, int value, int flags);
    int PropertyGetRange(int id, int* min, int* max, int* step, int* dflt, int* flags);
    int ControlGet(int id, int* value, int* flags);
    int ControlSet(int id, int value, int flags);
    int RegisterRead(int address, uint8_t* buf, int count);
    int RegisterWrite(int address, const uint8_t* buf, int count);
    int GetSerialFlashType(int* type, int reserved);
    int BurnFirmware(const uint8_t* image, int length, BurnProgressProc progress, void* context, int flashType,
                     int fullVerify);

    // Test access, bypassing session rules, faults and trace.
    int Peek(int camera, int address, uint8_t* buf, int count);
    int Poke(int camera, int address, const uint8_t* buf, int count);
    int ReadFlash(int camera, uint8_t* buf, int size);
    // The cable of camera (its place in the scenario) is pulled or plugged
    // back in, and the process's windows hear of it. With a generation, only
    // while that scenario is still the one loaded. Unchanged: nothing happens.
    int SetPlugged(int camera, bool plugged, std::optional<uint64_t> generation = std::nullopt);
    // The path enumeration reports for camera; it stays the camera's own
    // whichever others come and go.
    static std::string DevicePath(const CameraSetup& setup, int camera);
    uint64_t FramesDelivered() const { return framesDelivered_.load(); }
    // What the live picture of the selected camera looks like now.
    PictureSettings CurrentPicture();
    FrameFault NextFrameFault();

private:
    enum class Preview { Stopped, Running, Paused };

    struct Session {
        bool initialized = false;
        int selected = -1;
        bool open = false;
        Preview preview = Preview::Stopped;
        VORN_HWND window = nullptr;
        int openArg = 0;
        FrameCallbackProc callback = nullptr;
        int format = 0;
        int resolution = 0;
        // The selected camera was unplugged: its calls fail until a camera
        // is selected again.
        bool lost = false;
    };

    // A cable change the scenario asked for.
    struct PlugEvent {
        std::chrono::steady_clock::time_point at;
        int camera = 0;
        bool plugged = false;
    };

    // Helpers below expect mu_ held.
    Camera* SelectedLocked();
    int CopyText(const std::string& text, char* buf, int size);
    // Ends the preview and hands back the stream to stop once mu_ is released.
    std::shared_ptr<VideoStream> EndPreviewLocked();
    void LoadFaultsLocked(const std::vector<FaultRule>& rules);
    int StartStreamLocked();
    // Enumeration index -> place in the scenario; -1 when there is none.
    int PresentCameraLocked(int index) const;
    void RunPlugTimer();

    std::mutex mu_;
    Scenario scenario_;
    std::vector<std::unique_ptr<Camera>> cameras_;
    Session session_;
    Faults faults_;
    Faults frameFaults_;
    Faults flashFaults_;
    Trace trace_;
    std::string lastError_;
    uint64_t generation_ = 0;
    // Frames handed to the callback since the scenario was applied; also
    // counted by a stream still stopping after Apply.
    std::atomic<uint64_t> framesDelivered_{0};
    int burning_ = -1;  // camera whose flash is being written, -1 for none
    std::shared_ptr<VideoStream> stream_;
    std::vector<bool> plugged_;
    // The plug timer waits on plan_ under mu_; it is only joined when the
    // simulator goes, since it may be inside a window's message handler.
    std::vector<PlugEvent> plan_;
    std::condition_variable planChanged_;
    std::thread plugTimer_;
    bool quit_ = false;
};

// Where the scenario comes from when the library loads: the environment
// variable, else SonixCamera.ini beside the library, else nothing.
std::string ScenarioPathAtLoad();
// Reads a whole file (UTF-8 path); false when it cannot be read.
bool ReadWholeFile(const std::string& path, std::string& text);

}  // namespace sonix_sim
