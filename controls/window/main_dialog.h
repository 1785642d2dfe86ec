// The main window of the tool. One class; its methods live in several files
// by concern (start-up and teardown, enabling, About, and the files that the
// property, mode, camera, snapshot, configuration and firmware work adds).
#pragma once

#include <windows.h>
#include <shellapi.h>  // HDROP

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "config/camera_defaults.h"
#include "config/config_apply.h"
#include "config/csv_reader.h"
#include "config/preferences.h"
#include "config/remembered_settings.h"
#include "firmware/update_firmware_dialog.h"
#include "ui/controls.h"
#include "ui/dialog.h"
#include "vorn_uvc.h"
#include "window/about_dialogs.h"
#include "imaging/frame_store.h"
#include "window/status_box.h"
#include "window/window_layout_state.h"

// Minimum and maximum of one picture property, both inclusive.
struct PropertyRange {
    int32_t min;
    int32_t max;
};

inline constexpr int kMaxDevices = VORN_UVC_MAX_DEVICES;
// The capture-device interface class: what the window registers for and
// the device changes it acts on.
inline constexpr GUID kCaptureDeviceClass = {0x65E8773D, 0x8F56, 0x11D0, {0xA3, 0xB9, 0x00, 0xA0, 0xC9, 0x22, 0x31, 0x96}};

class CVornControlsDlg : public ui::Dialog {
public:
    CVornControlsDlg();
    ~CVornControlsDlg() override;

    CVornControlsDlg(const CVornControlsDlg&) = delete;
    CVornControlsDlg& operator=(const CVornControlsDlg&) = delete;

    // --- Operations other concerns of the window call -------------------
    void EnableControls(bool on);
    void CloseCamera();
    // Firmware build gate; reads at most bufferSize bytes of the text.
    bool IsFirmwareNewer(const char* firmware, size_t bufferSize, int threshold) const;
    void AppendStatus(const std::wstring& text);

    // Frame hand-over (frame.cpp, over vorn::FrameStore). The camera's
    // thread stores each frame as a new buffer; a reader gets one whole
    // frame and its size together, and the buffer lives as long as the
    // reader holds it. StoreFrame is false for a dropped frame.
    bool StoreFrame(const uint8_t* data, int length);
    vorn::Frame LatestFrame() const;

    // Message handlers are public so that each concern's message map (a
    // table at file scope) can name them.

    // --- Start-up and teardown (startup.cpp) ----------------------------
    bool InitMainWindow();
    void ApplyStartupSettings(std::wstring folder);
    void RegisterDeviceNotifications();
    void UnregisterDeviceNotifications();
    // Shows an "ERROR" box with the text and ends the window with -1.
    void FailStartup(const wchar_t* text);
    // Lists the cameras and checks their slots as start-up does; the first
    // usable slot becomes the selected one.
    void ProbeDevices();

    // --- Handlers of the window's own messages (startup.cpp) -------------
    bool OnSysCommand(UINT id, LPARAM param);
    bool OnPaint();
    HCURSOR OnQueryDragIcon();
    bool OnDestroy(WPARAM, LPARAM);
    void OnExit();

    // --- About (about.cpp) ------------------------------------------------
    void OnAbout();

    // --- Firmware (firmware_menu.cpp) --------------------------------------
    // Tools > Burn Firmware: shows the firmware dialog; nothing while a burn runs.
    void OnBurnFirmware();
    // Escape and Close while a burn runs: the window stays, the user is told.
    bool OnCloseDuringBurn(WPARAM, LPARAM);
    void OnCommandRefused(int id) override;

    // --- Configuration files (config_file.cpp) ----------------------------
    // File > Save Config and File > Load Config.
    void OnSaveConfig();
    void OnLoadConfig();
    // The fields, read back from the controls, as the table a save writes.
    CSV_reader BuildConfigTable();
    // Applies the file's rows in order; false at the first row that fails
    // (its status line says why), and for a file that is missing or malformed.
    bool LoadConfigFile(const std::string& fileName);
    // True when set or skipped, or when the number has no integer operation.
    bool ApplyIntProperty(int32_t number, int32_t value);
    // Load Config of the chosen file, or of `path` without the file dialog
    // (a recent file). True when every row was applied.
    bool LoadConfigFrom(const std::optional<std::wstring>& path);
    // The fields as Save Config writes them, without reading the controls.
    vorn::config::SavedSettings SettingsFromFields() const;
    // Rows applied as a load applies them, with its status lines, but every
    // row tried.
    vorn::config::RowsSummary ApplyRememberedRows(const std::vector<vorn::config::ConfigRow>& rows);

    // --- Camera start and stop (camera_start.cpp) ------------------------
    void OnStartStopCamera();
    void OnDeviceSelChange();
    // The frame function given to the library: stores each frame into
    // g_frameTarget, on the camera's thread. Always 0.
    static int VORN_STDCALL FrameCallback(const uint8_t* bytes, int count);
    // An "ERROR" box with the text, then the window ends with -1.
    void FailCamera(const wchar_t* text);
    // The preview for the picture of resolution item `resolution`, as the
    // layout says (layout.cpp).
    void SizePreview(int resolution);

    // --- Snapshots (snapshots.cpp) ----------------------------------------
    // Index of the encoder with exactly this MIME type, its class id out;
    // -1 when there is none.
    static int GetEncoderClsid(const wchar_t* mimeType, CLSID* clsid);
    void SaveSnapshot();
    void OnFileTypeBmp();
    void OnFileTypeJpg();
    void OnFileTypePng();
    void SetFileType(int type);
    void OnBrowseFolder();
    void OnDropFiles(HDROP drop);
    // A status line about a snapshot, shown at once.
    void ReportSnapshot(const std::wstring& line);

    // --- Property controls (property_controls.cpp) ------------------------
    // Start-up step: preview resolutions, the slider ranges and their lines.
    void ReadRanges();
    // True when the edit's text must not be applied yet (empty, a lone "-"
    // where negatives are allowed, a gamma or gain still being typed).
    bool IsEditTextPending(int id, bool allowNegative) const;
    // The range warning; a warning only, the value stays and is still sent.
    void ValidatePropertyRange(ui::DataExchange& dx, int value, int min, int max, const wchar_t* caption);
    // The nine warnings in their exchange order.
    void ValidatePropertyRanges(ui::DataExchange& dx);
    void ScrollStatusToEnd();
    bool OnHScroll(int code, int position, HWND sender);
    void OnChangeAecTarget();
    void OnChangeManualExposure();
    void OnChangeGainBlue();
    void OnChangeGainRed();
    void OnChangeBrightness();
    void OnChangeContrast();
    void OnChangeSaturation();
    void OnChangeSharpness();
    void OnChangeGamma();
    // What the nine edit handlers share.
    void ChangeFromEdit(int editId);

    // --- Mode switches (mode_switches.cpp) --------------------------------
    // The camera's current values into the fields and sliders, with their
    // lines; the caller refreshes the window.
    void ReadCurrentValues();
    void OnAutoExposure();
    void OnAutoWhiteBalance();
    void OnIllumination();
    void OnRotate180();
    void OnShowStatus();
    bool IsIlluminationShown() const;
    // Which pairs the automatic modes leave to the user, after a successful
    // switch.
    void EnableExposurePairs(bool aecOn);
    void EnableGainPairs(bool awbOn);

    // --- Camera defaults (restore_defaults.cpp) ----------------------------
    // Tools > Restore Camera Defaults: runs the restore steps, a status line
    // each and one at the end; the fields and sliders show the result.
    void OnRestoreDefaults();
    void ShowDefaultStep(const vorn::config::DefaultStepResult& result);

    // --- Firmware versions (firmware_versions.cpp) -------------------------
    // The camera's firmware version text, selecting the camera first as a
    // burn's restart leaves none selected; nullopt when it can't be read.
    std::optional<std::string> ReadFirmwareVersion();
    // Reads the version into the firmware dialog's version line.
    void ShowFirmwareVersion();
    // Sent by the burn's worker when a burn is over: the version lines, the
    // history file, on the window thread.
    bool OnBurnFinished(WPARAM, LPARAM report);
    std::filesystem::path FirmwareHistoryPath() const;

    // --- Cameras coming and going (device_change.cpp) --------------------
    // WM_DEVICECHANGE of a capture device: the camera in use gone, a camera
    // arrived, another one came or went.
    bool OnDeviceChange(WPARAM event, LPARAM data);
    // Start Camera, About and Burn Firmware with no camera: a status line
    // and the state of a failed start instead of the start-up's ERROR boxes.
    bool OnStartWithoutCamera();
    bool OnAboutWithoutCamera();
    bool OnBurnWithoutCamera();
    // The device list again: the start-up slot checks when nothing runs,
    // only the listing while the picture or a burn does.
    void RefreshDevices();
    void FillDeviceCombo();
    void ShowDeviceChoice(bool show);
    // The stop branch of Start/Stop, for a camera that is already gone.
    void EnterIdleAfterStop();
    void EnterStartFailed(const wchar_t* line);
    void ShowDisconnected(bool disconnected);
    bool IsRunning() const;

    // --- Per-user preferences (preferences.cpp) ---------------------------
    // At start-up: the folder, the remember switch and the recent files.
    void LoadPreferences();
    // Changes preferences.ini as it is on disk now; a status line when it
    // could not be written.
    bool ChangePreferences(const std::function<void(vorn::config::Preferences&)>& change);

    // --- Settings that follow the camera (remembered_settings.cpp) --------
    // Tools > Remember Settings per Camera and Tools > Forget Settings for
    // This Camera.
    void OnRememberSettings();
    void OnForgetSettings();
    // After a start reached the picture: the camera's file applied.
    void ApplyRememberedSettings();
    // Stop, Exit and the camera in use unplugged: while the picture ran,
    // its settings are remembered.
    void RememberAtPictureEnd();
    // Windows ending the session while the picture runs counts as its end.
    bool OnEndSession(WPARAM ending, LPARAM);
    // The fields written as the camera's file, unless it is held.
    void RememberCameraSettings();
    std::string ReadCameraIdentity();
    // A slider, edit, mode box or Restore Camera Defaults touched by the
    // user (the handlers of the setting still run); Load Config notes it
    // itself.
    bool OnSliderTouched(int code, int position, HWND sender);
    bool OnSettingTouched(int id);
    void NoteUserSettingChange();

    // --- Recent configuration files (recent_files.cpp) --------------------
    void OnRecentFile(int id);
    // The File menu opens: the recent files are live exactly when Load Config is.
    bool OnInitMenuPopup(WPARAM menu, LPARAM);
    void NoteRecentFile(const std::wstring& path);
    void ForgetRecentFile(const std::wstring& path);
    // The File menu's items under Load Config, from m_preferences.
    void ShowRecentFiles();

    // --- The window on every screen (layout.cpp) -------------------------
    // Before start-up: false when the window does not fit its work area and
    // is made again with a smaller font.
    bool ChooseTemplateFont();
    // After start-up: whole and centred in the work area.
    void PlaceInWorkArea();
    void CaptureLayoutTemplate();
    void ApplyLayout();
    bool OnSize(WPARAM type, LPARAM);
    bool OnGetMinMaxInfo(WPARAM, LPARAM info);
    bool OnDpiChanged(WPARAM dpis, LPARAM suggested);

    // --- Joined by the other concerns of the window ----------------------
    // Property controls: ReadRanges, IsEditTextPending, ValidatePropertyRange,
    //   ScrollStatusToEnd, OnHScroll, OnChange<Property> (nine).
    // Mode switches: ReadCurrentValues and the check-box handlers.
    // Camera start and stop: OnStartStopCamera, OnDeviceSelChange, FrameCallback.
    // Snapshots: GetEncoderClsid, SaveSnapshot, file-type handlers,
    //   OnBrowseFolder, OnDropFiles.
    // Configuration: OnSaveConfig, OnLoadConfig.
    // Firmware: OnBurnFirmware.
    // Each concern declares a static map accessor here (as StartupMap and
    // AboutMap below), defines its ui::MapEntry table in its own file and
    // adds one line to MessageMaps() in startup.cpp.

    // --- Message maps -------------------------------------------------------
    static ui::MessageMap StartupMap();
    static ui::MessageMap AboutMap();
    static ui::MessageMap PropertyMap();
    static ui::MessageMap ModeMap();
    static ui::MessageMap CameraMap();
    static ui::MessageMap SnapshotMap();
    static ui::MessageMap FirmwareMap();
    static ui::MessageMap ConfigMap();
    static ui::MessageMap DefaultsMap();
    static ui::MessageMap FirmwareVersionsMap();
    static ui::MessageMap DeviceChangeMap();
    static ui::MessageMap RememberMap();
    static ui::MessageMap RecentFilesMap();
    static ui::MessageMap LayoutMap();

protected:
    // --- Dialog framework ------------------------------------------------
    bool OnInitDialog() override;
    void DoDataExchange(ui::DataExchange& dx) override;
    std::vector<ui::MessageMap> MessageMaps() const override;
    // Enter is button 1's (camera start and stop); it never ends the window.
    void OnOK() override;

    // Full path of the running program file. Tests put the program folder
    // elsewhere by overriding this.
    virtual std::wstring ModuleFileName() const;

public:
    // --- State ------------------------------------------------------------
    HICON m_hIcon;
    DeviceRecord m_devices[kMaxDevices];
    bool m_deviceValid[kMaxDevices];
    int32_t m_validDeviceCount;
    int32_t m_selectedDevice;
    HDEVNOTIFY m_hDeviceNotify;
    // Slots the last listing filled in m_devices.
    int32_t m_deviceCount;
    // The camera the window worked with was unplugged and none usable is left.
    bool m_cameraGone;
    // Slots listed while the picture or a burn ran, not yet checked.
    bool m_devicesUnchecked;
    // The window's own caption, put back when a camera returns.
    std::wstring m_normalCaption;
    bool m_showsDisconnected = false;
    bool m_controlsEnabled;
    // The last frame: FrameCallback swaps in a new buffer under the store's
    // mutex, snapshots copy the pointer under it. The frame's size lives in
    // the store beside the buffer, so the two never disagree.
    vorn::FrameStore m_frameBuffer;
    bool m_rotateSupported;
    CLSID m_bmpEncoderClsid;
    CLSID m_pngEncoderClsid;
    bool m_bmpEncoderFound;
    bool m_pngEncoderFound;
    // Grows through AppendStatus or is taken from the box by the exchange;
    // any other change must be followed by m_statusBox.Forget().
    std::wstring m_statusText;
    vorn::window::StatusBox m_statusBox;
    ui::Edit m_statusEdit;
    ui::ComboBox m_resolutionCombo;
    ui::ComboBox m_deviceCombo;
    int32_t m_aecTarget;
    int32_t m_manualExposure;
    int32_t m_gainBlue;
    int32_t m_gainRed;
    int32_t m_brightness;
    int32_t m_contrast;
    int32_t m_saturation;
    int32_t m_sharpness;
    int32_t m_gamma;
    PropertyRange m_aecTargetRange;
    PropertyRange m_brightnessRange;
    PropertyRange m_contrastRange;
    PropertyRange m_saturationRange;
    PropertyRange m_sharpnessRange;
    PropertyRange m_gammaRange;
    PropertyRange m_exposureRange;
    PropertyRange m_gainBlueRange;
    PropertyRange m_gainRedRange;
    int32_t m_aecOn;
    int32_t m_awbOn;
    int32_t m_illuminationOn;
    int32_t m_rotate180;
    int32_t m_showStatus;
    int32_t m_illuminationSupported;
    int32_t m_aecTargetPos;
    int32_t m_manualExposurePos;
    int32_t m_gainBluePos;
    int32_t m_gainRedPos;
    int32_t m_brightnessPos;
    int32_t m_contrastPos;
    int32_t m_saturationPos;
    int32_t m_sharpnessPos;
    int32_t m_gammaPos;
    int32_t m_fileType;
    std::wstring m_snapshotFolder;
    std::wstring m_modulePath;
    std::wstring m_exeDir;
    ui::Trackbar m_aecTargetSlider;
    ui::Trackbar m_brightnessSlider;
    ui::Trackbar m_gainBlueSlider;
    ui::Trackbar m_gainRedSlider;
    ui::Trackbar m_contrastSlider;
    ui::Trackbar m_gammaSlider;
    ui::Trackbar m_manualExposureSlider;
    ui::Trackbar m_saturationSlider;
    ui::Trackbar m_sharpnessSlider;
    ui::Menu m_menu;
    UpdateFirmwareDlg m_firmwareDlg;
    HelpAboutDlg m_aboutDlg;

    // The identifier text built at start-up: the first four bytes of the
    // vendor and product ids as eight lower-case hex digits.
    uint8_t m_vidPidBytes[10];

    // Per-user state: the folder, the preferences as last read or written,
    // the camera files that must not be written for now, and the identifier
    // text of the camera whose picture runs (read when remembering needs it).
    vorn::config::UserStore m_userStore;
    vorn::config::Preferences m_preferences;
    vorn::config::RememberGuard m_rememberGuard;
    std::string m_runningCameraId;
    // The user changed a setting since the picture started.
    bool m_settingsChangedThisRun = false;

    // The template's rectangles, the scale and the picture's aspect the
    // layout works from.
    vorn::window::WindowLayoutState m_layout;
};

// Process-wide values beside the window.
extern CVornControlsDlg* g_mainDlg;
extern CVornControlsDlg* g_frameTarget;
extern ULONG_PTR g_gdiplusToken;
