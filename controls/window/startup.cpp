// Start-up of the main window: finding and opening the camera, the window's
// own messages (system menu, painting, drag icon) and the Exit teardown.
#include <windows.h>

#include <dbt.h>
#include <objidl.h>  // before gdiplus.h, which needs PROPID
#include <gdiplus.h>

#include <cstdio>
#include <cstring>

#include "config/device_list.h"
#include "config/startup_settings.h"
#include "resources/resource.h"
#include "resources/template_items.h"
#include "ui/prompts.h"
#include "window/main_dialog.h"
#include "firmware/firmware_gate.h"

CVornControlsDlg* g_mainDlg = nullptr;
CVornControlsDlg* g_frameTarget = nullptr;
ULONG_PTR g_gdiplusToken = 0;

namespace {

constexpr int kFirmwareBufferSize = 60;
constexpr int kProductBufferSize = 100;
constexpr int kRotateBuild = 210810;
constexpr int kIlluminationBuild = 210824;

}  // namespace

CVornControlsDlg::CVornControlsDlg()
    : ui::Dialog(IDD_VORN_CONTROLS_DIALOG),
      m_hIcon(LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME))),
      m_devices{},
      m_deviceValid{},
      m_validDeviceCount(0),
      m_selectedDevice(0),
      m_hDeviceNotify(nullptr),
      m_deviceCount(0),
      m_cameraGone(false),
      m_devicesUnchecked(false),
      m_controlsEnabled(true),
      m_rotateSupported(false),
      m_bmpEncoderClsid{},
      m_pngEncoderClsid{},
      m_bmpEncoderFound(false),
      m_pngEncoderFound(false),
      m_aecTarget(0),
      m_manualExposure(-5),
      m_gainBlue(128),
      m_gainRed(128),
      m_brightness(0),
      m_contrast(0),
      m_saturation(0),
      m_sharpness(0),
      m_gamma(0),
      m_aecTargetRange{0, 100},
      m_brightnessRange{0, 100},
      m_contrastRange{0, 100},
      m_saturationRange{0, 100},
      m_sharpnessRange{0, 100},
      m_gammaRange{0, 100},
      m_exposureRange{-13, -1},
      m_gainBlueRange{128, 511},
      m_gainRedRange{128, 511},
      m_aecOn(1),
      m_awbOn(1),
      m_illuminationOn(1),
      m_rotate180(0),
      m_showStatus(0),
      m_illuminationSupported(0),
      m_aecTargetPos(0),
      m_manualExposurePos(0),
      m_gainBluePos(0),
      m_gainRedPos(0),
      m_brightnessPos(0),
      m_contrastPos(0),
      m_saturationPos(0),
      m_sharpnessPos(0),
      m_gammaPos(0),
      m_fileType(1),
      m_vidPidBytes{} {}

CVornControlsDlg::~CVornControlsDlg() {
    if (g_mainDlg == this) g_mainDlg = nullptr;
    if (g_frameTarget == this) g_frameTarget = nullptr;
}

std::wstring CVornControlsDlg::ModuleFileName() const {
    wchar_t path[MAX_PATH + 1] = {};
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    return std::wstring(path, n);
}

// The window's own messages. Button 2 is IDCANCEL, so Escape and the Close
// box come here too.
ui::MessageMap CVornControlsDlg::StartupMap() {
    static const ui::MapEntry entries[] = {
        ui::OnSysCommand<&CVornControlsDlg::OnSysCommand>(),
        ui::OnPaint<&CVornControlsDlg::OnPaint>(),
        ui::OnQueryDragIcon<&CVornControlsDlg::OnQueryDragIcon>(),
        ui::OnMessage<&CVornControlsDlg::OnDestroy>(WM_DESTROY),
        ui::OnCommand<&CVornControlsDlg::OnExit>(IDC_EXIT),
    };
    return entries;
}

std::vector<ui::MessageMap> CVornControlsDlg::MessageMaps() const {
    return {
        // First: it answers Start, About and Burn Firmware while no camera
        // is there, and passes them on otherwise.
        DeviceChangeMap(),
        // Before the property, mode and defaults maps: it notes the user's
        // changes and passes them on.
        RememberMap(),
        RecentFilesMap(),
        StartupMap(),
        AboutMap(),
        FirmwareMap(),
        ConfigMap(),
        CameraMap(),
        SnapshotMap(),
        PropertyMap(),
        ModeMap(),
        DefaultsMap(),
        FirmwareVersionsMap(),
        LayoutMap(),
        // The maps of the property controls, mode switches, camera start and
        // stop, snapshots, configuration and firmware join here.
    };
}

void CVornControlsDlg::OnOK() {}

bool CVornControlsDlg::OnInitDialog() {
    // Too large for its screen: made again with a smaller font before
    // anything of the start-up runs.
    if (!ChooseTemplateFont()) return false;
    // Application message boxes (the firmware dialog's) belong to this window.
    ui::SetMainWindow(hwnd());
    const bool focus = InitMainWindow();
    PlaceInWorkArea();
    return focus;
}

void CVornControlsDlg::FailStartup(const wchar_t* text) {
    ui::CurrentPrompts().MessageBox(hwnd(), text, L"ERROR", MB_OK);
    EndDialog(-1);
}

void CVornControlsDlg::AppendStatus(const std::wstring& text) { m_statusText += text; }

bool CVornControlsDlg::InitMainWindow() {
    // 1. Controls and their template items, then the initial fields.
    for (const wchar_t* item : vorn::resources::kResolutionItems)
        SendDlgItemMessageW(hwnd(), IDC_RESOLUTION, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    for (const wchar_t* item : vorn::resources::kDeviceItems)
        SendDlgItemMessageW(hwnd(), IDC_DEVICE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    UpdateData(false);

    // 2. Program path and folder.
    m_modulePath = ModuleFileName();
    size_t slash = m_modulePath.rfind(L'\\');
    m_exeDir = slash == std::wstring::npos ? std::wstring() : m_modulePath.substr(0, slash);

    // 3. Start-up settings can show the Illumination check box.
    ApplyStartupSettings(m_exeDir);

    // 4. Snapshot folder; a failure to create it shows up at the first save.
    m_snapshotFolder = m_exeDir + L"\\images";
    if (GetFileAttributesW(m_snapshotFolder.c_str()) == INVALID_FILE_ATTRIBUTES)
        CreateDirectoryW(m_snapshotFolder.c_str(), nullptr);

    // 5. Window menu.
    m_menu.Load(IDR_MAIN_MENU);
    m_menu.AttachTo(hwnd());

    // 6. The short About box on the system menu.
    if (HMENU sys = GetSystemMenu(hwnd(), FALSE)) {
        wchar_t text[128] = {};
        if (LoadStringW(GetModuleHandleW(nullptr), IDS_ABOUTBOX, text, 128) > 0) {
            AppendMenuW(sys, MF_SEPARATOR, 0, nullptr);
            AppendMenuW(sys, MF_STRING, IDM_ABOUTBOX, text);
        }
    }

    // 7. Icons.
    SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));

    // 8. The camera library.
    if (vorn_uvc_init() != 0) {
        FailStartup(L"Can't initialize camera device!");
        return false;
    }

    // 9-10. Enumerate and keep the slots that answer selection and the
    // product query.
    ProbeDevices();

    // 11-13.
    if (m_validDeviceCount <= 0) {
        FailStartup(L"Can't find a valid Vorn camera!");
        return false;
    }
    if (vorn_uvc_selectDevice(m_selectedDevice) != 0) {
        FailStartup(L"Can't select video device!");
        return false;
    }
    char firmware[kFirmwareBufferSize] = {};
    if (vorn_uvc_get_FW_version(firmware, kFirmwareBufferSize, 1) != 0) {
        FailStartup(L"Failed to get camera FW version info");
        return false;
    }

    // 14-16. Firmware gates and the boxes they decide.
    m_rotateSupported = IsFirmwareNewer(firmware, sizeof firmware, kRotateBuild);
    ::ShowWindow(GetDlgItem(hwnd(), IDC_ROTATE_180), m_rotateSupported ? SW_SHOW : SW_HIDE);
    ::ShowWindow(GetDlgItem(hwnd(), IDC_STATUS), m_showStatus ? SW_SHOW : SW_HIDE);
    m_illuminationSupported = IsFirmwareNewer(firmware, sizeof firmware, kIlluminationBuild) ? 1 : 0;
    if (IsIlluminationShown() && !m_illuminationSupported)
        ::ShowWindow(GetDlgItem(hwnd(), IDC_ILLUMINATION), SW_HIDE);

    // 17. Open without preview so the properties can be read and written.
    if (vorn_uvc_openCamera(nullptr, 0, nullptr) != 0) {
        AppendStatus(L"Failed to access UVC properties!\r\n");
        EndDialog(-1);
        return false;
    }

    // 18. Image library, for snapshots.
    Gdiplus::GdiplusStartupInput gdiplusInput;
    Gdiplus::GdiplusStartup(&g_gdiplusToken, &gdiplusInput, nullptr);

    // 19. Encoders for the BMP and PNG snapshots; without one, its radio
    // button stays disabled.
    m_bmpEncoderFound = GetEncoderClsid(L"image/bmp", &m_bmpEncoderClsid) >= 0;
    m_pngEncoderFound = GetEncoderClsid(L"image/png", &m_pngEncoderClsid) >= 0;

    // 20.
    m_fileType = 1;

    // 21-22. The camera's ranges, then its current values.
    ReadRanges();
    ReadCurrentValues();

    // 23-24. Resolution and device choice.
    m_resolutionCombo.SetCurSel(0);
    if (m_validDeviceCount > 1) {
        ShowDeviceChoice(true);
        while (m_deviceCombo.Count() > m_validDeviceCount)
            m_deviceCombo.DeleteString(m_deviceCombo.Count() - 1);
    } else {
        ShowDeviceChoice(false);
    }
    m_deviceCombo.SetCurSel(0);

    // 25-26.
    UpdateData(false);
    EnableControls(false);

    // 27-29. Identity for the About box and the firmware dialog.
    char product[kProductBufferSize] = {};
    if (vorn_uvc_get_product(product, kProductBufferSize) != 0) {
        FailStartup(L"Failed to get camera product info");
        return false;
    }
    std::memset(m_vidPidBytes, 0, sizeof m_vidPidBytes);
    if (vorn_uvc_getVidPid(m_vidPidBytes, sizeof m_vidPidBytes) != 0) {
        FailStartup(L"Can't get Vendor ID and Product ID!");
        return false;
    }
    wchar_t vidPid[9] = {};
    for (int i = 0; i < 4; ++i) swprintf(vidPid + 2 * i, 3, L"%02x", m_vidPidBytes[i]);

    // 30. The About box, hidden until Help > About.
    m_aboutDlg.Create(hwnd());
    m_aboutDlg.m_versionText = kToolVersion;
    m_aboutDlg.UpdateData(false);
    m_aboutDlg.m_productText = vorn::firmware::WidenBounded(product, sizeof product);
    m_aboutDlg.UpdateData(false);
    m_aboutDlg.m_vidPidText = vidPid;
    m_aboutDlg.UpdateData(false);
    m_aboutDlg.m_firmwareText = vorn::firmware::WidenBounded(firmware, sizeof firmware);
    m_aboutDlg.UpdateData(false);

    // 31. The firmware dialog, hidden until Tools > Burn Firmware.
    m_firmwareDlg.Create(hwnd());
    m_firmwareDlg.m_vidPid = vidPid;
    m_firmwareDlg.UpdateData(false);

    // 32-33.
    m_menu.EnableItem(ID_FILE_SAVE_CONFIG, MF_GRAYED | MF_DISABLED);
    m_menu.EnableItem(ID_FILE_LOAD_CONFIG, MF_GRAYED | MF_DISABLED);
    m_menu.EnableItem(ID_TOOLS_RESTORE_DEFAULTS, MF_GRAYED | MF_DISABLED);
    g_mainDlg = this;
    // The user's remember switch and recent files; nothing of the camera.
    LoadPreferences();

    // 34-35.
    RegisterDeviceNotifications();
    return m_hDeviceNotify != nullptr;
}

void CVornControlsDlg::ProbeDevices() {
    const vorn::devices::Slots slots = vorn::devices::ListAndCheck(m_devices);
    m_deviceCount = slots.count;
    m_validDeviceCount = slots.usable;
    for (int i = 0; i < kMaxDevices; ++i) m_deviceValid[i] = slots.valid[i];
    if (slots.first >= 0) m_selectedDevice = slots.first;
}

void CVornControlsDlg::ApplyStartupSettings(std::wstring folder) {
    std::optional<bool> illuminate = vorn::settings::IlluminateSetting(vorn::settings::ReadStartupSettings(folder));
    if (illuminate) ::ShowWindow(GetDlgItem(hwnd(), IDC_ILLUMINATION), *illuminate ? SW_SHOW : SW_HIDE);
}

void CVornControlsDlg::RegisterDeviceNotifications() {
    DEV_BROADCAST_DEVICEINTERFACE_W filter = {};
    filter.dbcc_size = sizeof filter;
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    filter.dbcc_reserved = 0;
    filter.dbcc_classguid = kCaptureDeviceClass;
    filter.dbcc_name[0] = 0;
    m_hDeviceNotify = RegisterDeviceNotificationW(hwnd(), &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
}

void CVornControlsDlg::UnregisterDeviceNotifications() {
    if (m_hDeviceNotify) {
        UnregisterDeviceNotification(m_hDeviceNotify);
        m_hDeviceNotify = nullptr;
    }
}

bool CVornControlsDlg::OnDestroy(WPARAM, LPARAM) {
    UnregisterDeviceNotifications();
    if (ui::MainWindow() == hwnd()) ui::SetMainWindow(nullptr);
    return false;
}

bool CVornControlsDlg::OnSysCommand(UINT id, LPARAM) {
    if ((id & 0xFFF0) != IDM_ABOUTBOX) return false;
    CAboutDlg about;
    about.DoModal(hwnd());
    return true;
}

bool CVornControlsDlg::OnPaint() {
    if (!IsIconic(hwnd())) return false;
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd(), &ps);
    SendMessageW(hwnd(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    int cxIcon = GetSystemMetrics(SM_CXICON);
    int cyIcon = GetSystemMetrics(SM_CYICON);
    RECT rect;
    GetClientRect(hwnd(), &rect);
    int x = (rect.right - rect.left - cxIcon + 1) / 2;
    int y = (rect.bottom - rect.top - cyIcon + 1) / 2;
    DrawIcon(dc, x, y, m_hIcon);
    EndPaint(hwnd(), &ps);
    return true;
}

HCURSOR CVornControlsDlg::OnQueryDragIcon() { return static_cast<HCURSOR>(m_hIcon); }

void CVornControlsDlg::OnExit() {
    RememberAtPictureEnd();
    EnableControls(false);
    CloseCamera();
    vorn_uvc_unInit();
    if (g_gdiplusToken) {
        Gdiplus::GdiplusShutdown(g_gdiplusToken);
        g_gdiplusToken = 0;
    }
    EndDialog(IDCANCEL);
}
