"""Vorn camera control library (vorn_uvc) for Python, through ctypes.

One file, the standard library only. Copy it anywhere and load the library
of an installed Vorn Controls (the DLL and the camera's SonixCamera.dll sit
in the program folder):

    import vorn_uvc

    lib_path = r"C:\\Users\\me\\AppData\\Local\\Programs\\Vorn Controls\\vorn_uvc.dll"
    with vorn_uvc.Camera(path=lib_path) as cam:   # init, first camera, open
        print(cam.product, cam.firmware_version)
        cam.brightness = 10
        print(cam.brightness, cam.range("brightness"))
        jpeg = cam.snapshot()                     # one JPEG frame as bytes

vorn_uvc.dll is 32-bit: use a 32-bit Python. Every flat call of the
library is a method of Library with the C name (lib.vorn_uvc_init(), ...);
a return of 1 (a camera call failed) or 5 (an argument out of range) raises
VornError with the code and the function's name. The library's own log
lines go to the process's standard output and error streams.
The reference of every call is docs/sdk.md.
"""

import ctypes
import os
import sys
import threading
import time

__all__ = [
    "MAX_DEVICES",
    "OK",
    "FAILED",
    "OUT_OF_RANGE",
    "DeviceRecord",
    "ResolutionInfo",
    "FrameCallbackProc",
    "BurnProgressProc",
    "DECLARATIONS",
    "VornError",
    "Library",
    "Camera",
]

MAX_DEVICES = 5  # VORN_UVC_MAX_DEVICES: room the device table needs

OK = 0
FAILED = 1  # a camera call or register access failed
OUT_OF_RANGE = 5  # an argument outside its allowed range


class DeviceRecord(ctypes.Structure):
    """One entry of the device table (4104 bytes)."""

    _fields_ = [
        ("devicePath", ctypes.c_char * 4096),
        ("deviceIndex", ctypes.c_int32),
        ("present", ctypes.c_uint8),
        ("reserved", ctypes.c_uint8 * 3),
    ]


class ResolutionInfo(ctypes.Structure):
    """A preview resolution; only width and height are relied upon."""

    _fields_ = [
        ("width", ctypes.c_int32),
        ("height", ctypes.c_int32),
        ("formatIndex", ctypes.c_int32),
        ("frameRate", ctypes.c_int32),
    ]


# The frame callback is stdcall. Only 32-bit Windows tells the two
# conventions apart; everywhere else there is one and it is CFUNCTYPE.
if sys.platform == "win32" and ctypes.sizeof(ctypes.c_void_p) == 4:
    _stdcall_type = ctypes.WINFUNCTYPE
else:
    _stdcall_type = ctypes.CFUNCTYPE

# int (stdcall *)(const uint8_t* data, int length): one JPEG frame.
FrameCallbackProc = _stdcall_type(ctypes.c_int, ctypes.POINTER(ctypes.c_uint8), ctypes.c_int)
# int (cdecl *)(void* context, float done): burn progress, 0.0 to 1.0.
BurnProgressProc = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_float)

_int = ctypes.c_int
_pint = ctypes.POINTER(ctypes.c_int)
_bool = ctypes.c_bool
_pbool = ctypes.POINTER(ctypes.c_bool)
_pchar = ctypes.POINTER(ctypes.c_char)
_pbyte = ctypes.POINTER(ctypes.c_uint8)
_ptr = ctypes.c_void_p

# Every export, in the header's order, with its argument types; each
# returns int.
DECLARATIONS = {
    # Session
    "vorn_uvc_init": [],
    "vorn_uvc_unInit": [],
    "vorn_uvc_getEnumDevice": [ctypes.POINTER(DeviceRecord), _pint],
    "vorn_uvc_selectDevice": [_int],
    "vorn_uvc_restartDevice": [],
    "vorn_uvc_openCamera": [_ptr, _int, FrameCallbackProc],
    "vorn_uvc_closeCamera": [],
    "vorn_uvc_isOpenCamera": [_pbool],
    "vorn_uvc_IsPreviewing": [_pbool],
    "vorn_uvc_StartPreview": [],
    "vorn_uvc_PausePreview": [],
    "vorn_uvc_StopPreview": [],
    # Identity, formats, firmware
    "vorn_uvc_get_FW_version": [_pchar, _int, _int],
    "vorn_uvc_get_product": [_pchar, _int],
    "vorn_uvc_get_interface": [_pchar, _int],
    "vorn_uvc_getVidPid": [_pbyte, _int],
    "vorn_uvc_getPreviewResolutionCount": [_pint],
    "vorn_uvc_getPreviewResolutionInfo": [_int, ctypes.POINTER(ResolutionInfo)],
    "vorn_uvc_getCurrentPreviewResolutionInfo": [ctypes.POINTER(ResolutionInfo)],
    "vorn_uvc_setVideoFormat": [_int, _int],
    "vorn_uvc_BurnerFW": [_pbyte, _int, BurnProgressProc, _ptr, _int],
    # Picture properties and modes
    "vorn_uvc_getBrightness": [_pint],
    "vorn_uvc_getContrast": [_pint],
    "vorn_uvc_getSaturation": [_pint],
    "vorn_uvc_getSharpness": [_pint],
    "vorn_uvc_getGamma": [_pint],
    "vorn_uvc_getAEC_Target": [_pint],
    "vorn_uvc_setBrightness": [_int],
    "vorn_uvc_setContrast": [_int],
    "vorn_uvc_setSaturation": [_int],
    "vorn_uvc_setSharpness": [_int],
    "vorn_uvc_setGamma": [_int],
    "vorn_uvc_setAEC_Target": [_int],
    "vorn_uvc_getBrightnessRange": [_pint, _pint],
    "vorn_uvc_getContrastRange": [_pint, _pint],
    "vorn_uvc_getSaturationRange": [_pint, _pint],
    "vorn_uvc_getSharpnessRange": [_pint, _pint],
    "vorn_uvc_getGammaRange": [_pint, _pint],
    "vorn_uvc_getAEC_TargetRange": [_pint, _pint],
    "vorn_uvc_setAEC_Mode": [_bool],
    "vorn_uvc_setAWB_Mode": [_bool],
    "vorn_uvc_isAECModeOn": [_pbool],
    "vorn_uvc_getManualExposureValue": [_pint],
    "vorn_uvc_setManualExposureValue": [_int],
    "vorn_uvc_set_AWB_Gain_Red": [_int],
    "vorn_uvc_set_AWB_Gain_Blue": [_int],
    "vorn_uvc_rotate180": [_bool],
    "vorn_uvc_isIlluminationOn": [_pbool],
    "vorn_uvc_setIllumination": [_bool],
    # Image processor registers
    "vorn_uvc_set_RegAWB_Mode": [_bool],
    "vorn_uvc_set_RegAEC_Mode": [_bool],
    "vorn_uvc_is_RegAWB_On": [_pbool],
    "vorn_uvc_is_RegAEC_On": [_pbool],
    "vorn_uvc_get_AWB_Gain_Red": [_pint],
    "vorn_uvc_get_AWB_Gain_Green": [_pint],
    "vorn_uvc_get_AWB_Gain_Blue": [_pint],
    "vorn_uvc_set_AWB_Gain_Red_ThruReg": [_int],
    "vorn_uvc_set_AWB_Gain_Blue_ThruReg": [_int],
    "vorn_uvc_getExposureValueThruReg": [_pint],
    "vorn_uvc_setExposureValueThruReg": [_int],
    # Additions after the 60
    "vorn_uvc_getBrightnessDefault": [_pint],
    "vorn_uvc_getContrastDefault": [_pint],
    "vorn_uvc_getSaturationDefault": [_pint],
    "vorn_uvc_getSharpnessDefault": [_pint],
    "vorn_uvc_getGammaDefault": [_pint],
    "vorn_uvc_getAEC_TargetDefault": [_pint],
    "vorn_uvc_isAWBModeOn": [_pbool],
    "vorn_uvc_isRotate180On": [_pbool],
    "vorn_uvc_getSerialFlashType": [_pint],
}

_MEANING = {FAILED: "a camera call failed", OUT_OF_RANGE: "an argument is out of range"}


class VornError(Exception):
    """A library call returned non-zero: code 1 or 5, and which call."""

    def __init__(self, code, function):
        self.code = code
        self.function = function
        super().__init__(
            "%s returned %d (%s)" % (function, code, _MEANING.get(code, "unknown code"))
        )


def _check(result, func, args):
    if result != OK:
        raise VornError(result, func.__name__)
    return result


def _default_path():
    here = os.path.dirname(os.path.abspath(__file__))
    name = "vorn_uvc.dll" if sys.platform == "win32" else "libvorn_uvc.so"
    # Beside this file, else the SDK's bin folder (sdk\python -> sdk\bin).
    for folder in (here, os.path.join(here, os.pardir, "bin")):
        candidate = os.path.normpath(os.path.join(folder, name))
        if os.path.isfile(candidate):
            return candidate
    return os.path.join(here, name)


class Library:
    """The flat C interface. Each export is a method of the same name."""

    def __init__(self, path=None):
        self.path = os.path.abspath(path) if path else _default_path()
        self._dll = ctypes.CDLL(self.path)
        for name, argtypes in DECLARATIONS.items():
            function = getattr(self._dll, name)
            function.argtypes = argtypes
            function.restype = ctypes.c_int
            function.errcheck = _check
            setattr(self, name, function)


def _text(buffer):
    return buffer.value.decode("latin-1")


# The nine picture settings: the six the camera ranges itself, the manual
# exposure step and the two colour gains with the library's fixed ranges.
_CAMERA_RANGED = {
    "brightness": "Brightness",
    "contrast": "Contrast",
    "saturation": "Saturation",
    "sharpness": "Sharpness",
    "gamma": "Gamma",
    "aec_target": "AEC_Target",
}
_FIXED_RANGES = {"exposure": (-13, -1), "red_gain": (128, 512), "blue_gain": (128, 512)}
PICTURE_SETTINGS = tuple(_CAMERA_RANGED) + tuple(_FIXED_RANGES)


def _camera_property(c_name):
    def get(self):
        return self._get_int("vorn_uvc_get" + c_name)

    def set(self, value):
        getattr(self.lib, "vorn_uvc_set" + c_name)(int(value))

    return property(get, set, doc="%s (range: Camera.range)" % c_name)


def _flag_property(getter, setter, doc):
    def get(self):
        return self._get_bool(getter)

    def set(self, on):
        getattr(self.lib, setter)(bool(on))

    return property(get, set, doc=doc)


class Camera:
    """One camera, as a context manager.

    Entering initialises the library, enumerates the cameras, selects the
    one numbered `device` (0 for the first) and opens it with a frame
    callback of its own; leaving stops the preview, closes the camera and
    uninitialises the library. While it is open:

    - the nine picture settings are properties (brightness, contrast,
      saturation, sharpness, gamma, aec_target, exposure, red_gain,
      blue_gain); range(name) gives (min, max) and default(name) the
      camera's default of the first six;
    - the modes are boolean properties: auto_exposure, auto_white_balance,
      rotate180, illumination;
    - start(), stop(), snapshot() (the next whole JPEG frame as bytes);
    - resolutions, set_resolution(index), current_resolution;
    - burn(image, progress, full_verify) and restart().
    """

    def __init__(self, device=0, path=None, library=None):
        self.lib = library if library is not None else Library(path)
        self.device = device
        self.devices = []
        self._initialised = False
        self._open = False
        self._previewing = False
        self._frames = threading.Condition()
        self._frame = None
        self._frame_count = 0
        # Kept for as long as the camera may call it.
        self._frame_callback = FrameCallbackProc(self._on_frame)

    # --- session -----------------------------------------------------------

    def __enter__(self):
        self.open()
        return self

    def __exit__(self, *exc):
        self.close()
        return False

    def open(self):
        self._init()
        try:
            if not 0 <= self.device < len(self.devices):
                raise LookupError(
                    "no camera %d: %d camera(s) found" % (self.device, len(self.devices))
                )
            self._select_and_open()
        except BaseException:
            self.close()
            raise

    def close(self):
        """Stops, closes and uninitialises whatever open() or restart() got
        to; failures on the way are not raised."""
        if self._previewing:
            self._quiet("vorn_uvc_StopPreview")
            self._previewing = False
        if self._open:
            self._quiet("vorn_uvc_closeCamera")
            self._open = False
        if self._initialised:
            self._quiet("vorn_uvc_unInit")
            self._initialised = False

    def _init(self):
        self.lib.vorn_uvc_init()
        self._initialised = True
        self.devices = self._enumerate()

    def _enumerate(self):
        records = (DeviceRecord * MAX_DEVICES)()
        count = ctypes.c_int(0)
        self.lib.vorn_uvc_getEnumDevice(records, ctypes.byref(count))
        return [records[i].devicePath.decode("latin-1") for i in range(min(count.value, MAX_DEVICES))]

    def _select_and_open(self):
        self.lib.vorn_uvc_selectDevice(self.device)
        self.lib.vorn_uvc_openCamera(None, 0, self._frame_callback)
        self._open = True

    def _quiet(self, name, *args):
        try:
            getattr(self.lib, name)(*args)
        except VornError:
            pass

    def _get_int(self, name):
        value = ctypes.c_int(0)
        getattr(self.lib, name)(ctypes.byref(value))
        return value.value

    def _get_bool(self, name):
        value = ctypes.c_bool(False)
        getattr(self.lib, name)(ctypes.byref(value))
        return value.value

    def _get_text(self, name, size, *extra):
        buffer = ctypes.create_string_buffer(size)
        getattr(self.lib, name)(buffer, size, *extra)
        return _text(buffer)

    # --- identity ----------------------------------------------------------

    @property
    def product(self):
        return self._get_text("vorn_uvc_get_product", 100)

    @property
    def interface(self):
        return self._get_text("vorn_uvc_get_interface", 100)

    @property
    def firmware_version(self):
        return self._get_text("vorn_uvc_get_FW_version", 60, 1)

    @property
    def vid_pid(self):
        """The first four identity bytes (vendor and product ids)."""
        buffer = (ctypes.c_uint8 * 16)()
        self.lib.vorn_uvc_getVidPid(buffer, len(buffer))
        return bytes(buffer[:4])

    @property
    def flash_type(self):
        return self._get_int("vorn_uvc_getSerialFlashType")

    # --- picture settings --------------------------------------------------

    brightness = _camera_property("Brightness")
    contrast = _camera_property("Contrast")
    saturation = _camera_property("Saturation")
    sharpness = _camera_property("Sharpness")
    gamma = _camera_property("Gamma")
    aec_target = _camera_property("AEC_Target")

    @property
    def exposure(self):
        """The exposure step, -13 to -1 (read in either mode)."""
        return self._get_int("vorn_uvc_getManualExposureValue")

    @exposure.setter
    def exposure(self, step):
        self.lib.vorn_uvc_setManualExposureValue(int(step))

    @property
    def red_gain(self):
        return self._get_int("vorn_uvc_get_AWB_Gain_Red")

    @red_gain.setter
    def red_gain(self, value):
        self.lib.vorn_uvc_set_AWB_Gain_Red(int(value))

    @property
    def blue_gain(self):
        return self._get_int("vorn_uvc_get_AWB_Gain_Blue")

    @blue_gain.setter
    def blue_gain(self, value):
        self.lib.vorn_uvc_set_AWB_Gain_Blue(int(value))

    def range(self, name):
        """(min, max) of a picture setting: the camera's for the first six,
        the library's fixed one for exposure and the gains."""
        if name in _FIXED_RANGES:
            return _FIXED_RANGES[name]
        low, high = ctypes.c_int(0), ctypes.c_int(0)
        getattr(self.lib, "vorn_uvc_get%sRange" % _CAMERA_RANGED[name])(
            ctypes.byref(low), ctypes.byref(high)
        )
        return low.value, high.value

    def default(self, name):
        """The camera's default of one of the six camera-ranged settings."""
        return self._get_int("vorn_uvc_get%sDefault" % _CAMERA_RANGED[name])

    # --- modes -------------------------------------------------------------

    auto_exposure = _flag_property("vorn_uvc_isAECModeOn", "vorn_uvc_setAEC_Mode", "automatic exposure")
    auto_white_balance = _flag_property(
        "vorn_uvc_isAWBModeOn", "vorn_uvc_setAWB_Mode", "automatic white balance"
    )
    rotate180 = _flag_property("vorn_uvc_isRotate180On", "vorn_uvc_rotate180", "picture turned by 180 degrees")
    illumination = _flag_property("vorn_uvc_isIlluminationOn", "vorn_uvc_setIllumination", "the camera's lamp")

    # --- resolutions and the picture ---------------------------------------

    @property
    def resolutions(self):
        """The preview resolutions as (width, height), in the camera's order."""
        result = []
        for index in range(self._get_int("vorn_uvc_getPreviewResolutionCount")):
            info = ResolutionInfo()
            self.lib.vorn_uvc_getPreviewResolutionInfo(index, ctypes.byref(info))
            result.append((info.width, info.height))
        return result

    @property
    def current_resolution(self):
        info = ResolutionInfo()
        self.lib.vorn_uvc_getCurrentPreviewResolutionInfo(ctypes.byref(info))
        return info.width, info.height

    def set_resolution(self, index):
        """Chooses resolutions[index] for the next start; not while previewing."""
        self.lib.vorn_uvc_setVideoFormat(0, index)

    @property
    def previewing(self):
        return self._get_bool("vorn_uvc_IsPreviewing")

    def start(self):
        self.lib.vorn_uvc_StartPreview()
        self._previewing = True

    def stop(self):
        self.lib.vorn_uvc_StopPreview()
        self._previewing = False

    def _on_frame(self, data, length):
        # Runs on the camera's thread; the bytes are valid only during the
        # call, so they are copied before it returns.
        frame = ctypes.string_at(data, length) if data and length > 0 else b""
        with self._frames:
            self._frame = frame
            self._frame_count += 1
            self._frames.notify_all()
        return 0

    @property
    def frames_received(self):
        with self._frames:
            return self._frame_count

    def snapshot(self, timeout=30.0):
        """The next whole frame (a JPEG image) after this call, as bytes.
        Starts the preview for it when it is not running."""
        started_here = not self._previewing
        if started_here:
            self.start()
        try:
            deadline = time.monotonic() + timeout
            with self._frames:
                seen = self._frame_count
                while self._frame_count == seen:
                    left = deadline - time.monotonic()
                    if left <= 0:
                        raise TimeoutError("no frame within %.1f s" % timeout)
                    self._frames.wait(left)
                return self._frame
        finally:
            if started_here:
                self.stop()

    # --- firmware ----------------------------------------------------------

    def burn(self, image, progress=None, full_verify=False):
        """Writes a firmware image (bytes) into the camera's flash. progress,
        if given, is called with the fraction done (0.0 to 1.0) on this
        thread. The preview is stopped first. Afterwards call restart()."""
        if self._previewing:
            self.stop()
        data = (ctypes.c_uint8 * len(image)).from_buffer_copy(image)
        raised = []

        def report(context, done):
            if progress is not None and not raised:
                try:
                    progress(float(done))
                except BaseException as e:  # re-raised once the burn returns
                    raised.append(e)
            return 0

        callback = BurnProgressProc(report)
        self.lib.vorn_uvc_BurnerFW(data, len(image), callback, None, 1 if full_verify else 0)
        if raised:
            raise raised[0]

    def restart(self, settle=1.0):
        """Boots the camera from its flash (after a burn) and opens it again:
        restart, pause, uninitialise, pause, initialise, select, open."""
        self._previewing = False
        self._open = False
        self.lib.vorn_uvc_restartDevice()
        time.sleep(settle)
        self._initialised = False
        self.lib.vorn_uvc_unInit()
        time.sleep(settle)
        self._init()
        self._select_and_open()
