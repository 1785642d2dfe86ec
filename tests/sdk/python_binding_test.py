"""The Python binding (packaging/sdk/python/vorn_uvc.py) against the native
library and the simulated camera.

Every declaration of the binding is compared with the header, so a changed
header fails here until the binding follows it, and the run calls every
declared export at least once: each call through the shared Library is
counted, and the module's teardown fails on any export never called.

    python3 python_binding_test.py --library libvorn_uvc.so \
        --simulator libSonixCamera.so --header vorn_uvc.h \
        --module-dir packaging/sdk/python --scenario sdk_cameras.ini
"""

import argparse
import ctypes
import re
import sys
import unittest

parser = argparse.ArgumentParser()
for option in ("--library", "--simulator", "--header", "--module-dir", "--scenario"):
    parser.add_argument(option, required=True)
ARGS, unittest_args = parser.parse_known_args()
sys.path.insert(0, ARGS.module_dir)

import vorn_uvc  # noqa: E402  (found through --module-dir)

P = ctypes.POINTER

# --- the header ----------------------------------------------------------


def read_header(path):
    with open(path, encoding="utf-8") as f:
        text = re.sub(r"/\*.*?\*/", " ", f.read(), flags=re.S)
    exports = {}
    for name, params in re.findall(r"VORN_UVC_API\s+int\s+VORN_CDECL\s+(\w+)\s*\(([^)]*)\)\s*;", text):
        exports[name] = parameter_types(params)
    callbacks = {}
    for ret, conv, name, params in re.findall(
        r"typedef\s+(\w+)\s*\(\s*(\w+)\s*\*\s*(\w+)\s*\)\s*\(([^)]*)\)\s*;", text
    ):
        callbacks[name] = (ret, conv, parameter_types(params))
    structs = {}
    for body, name in re.findall(r"typedef\s+struct\s+\w+\s*\{([^}]*)\}\s*(\w+)\s*;", text):
        structs[name] = [
            (ftype, fname, int(count) if count else None)
            for ftype, fname, count in re.findall(r"(\w+)\s+(\w+)\s*(?:\[(\d+)\])?\s*;", body)
        ]
    constants = {name: int(value) for name, value in re.findall(r"#define\s+(\w+)\s+(\d+)\s*$", text, flags=re.M)}
    return exports, callbacks, structs, constants


def parameter_types(params):
    """'const uint8_t* image, int length' -> ['uint8_t*', 'int']."""
    types = []
    for param in params.split(","):
        param = param.replace("*", " * ").split()
        param = [word for word in param if word != "const"]
        if param == ["void"] or not param:
            continue
        if len(param) > 1 and param[-1] != "*":
            param = param[:-1]  # the parameter's name
        types.append("".join(param))
    return types


C_TYPES = {
    "int": ctypes.c_int,
    "int*": P(ctypes.c_int),
    "bool": ctypes.c_bool,
    "bool*": P(ctypes.c_bool),
    "char*": P(ctypes.c_char),
    "uint8_t*": P(ctypes.c_uint8),
    "float": ctypes.c_float,
    "void*": ctypes.c_void_p,
    "VORN_HWND": ctypes.c_void_p,
    "DeviceRecord*": P(vorn_uvc.DeviceRecord),
    "ResolutionInfo*": P(vorn_uvc.ResolutionInfo),
    "FrameCallbackProc": vorn_uvc.FrameCallbackProc,
    "BurnProgressProc": vorn_uvc.BurnProgressProc,
}
FIELD_TYPES = {"char": ctypes.c_char, "int32_t": ctypes.c_int32, "uint8_t": ctypes.c_uint8}

HEADER_EXPORTS, HEADER_CALLBACKS, HEADER_STRUCTS, HEADER_CONSTANTS = read_header(ARGS.header)

# --- the library and the simulator, shared by all tests ------------------

LIB = vorn_uvc.Library(ARGS.library)
SIM = ctypes.CDLL(ARGS.simulator)
CALLED = set()


def counting(name, errcheck):
    def check(result, func, args):
        CALLED.add(name)
        return errcheck(result, func, args)

    return check


for _name in vorn_uvc.DECLARATIONS:
    _function = getattr(LIB, _name)
    _function.errcheck = counting(_name, _function.errcheck)


def load_scenario():
    if SIM.SonixSim_LoadScenarioFile(ARGS.scenario.encode()) != 0:
        raise RuntimeError("the scenario %s does not load" % ARGS.scenario)


def set_faults(rules):
    if SIM.SonixSim_SetFaults(rules.encode()) != 0:
        raise RuntimeError("fault rules refused: %r" % rules)


def peek(address, count):
    buf = (ctypes.c_uint8 * count)()
    if SIM.SonixSim_PeekRegisters(0, address, buf, count) != 0:
        raise RuntimeError("peek at %d failed" % address)
    return bytes(buf)


def jpeg_size(data):
    """(width, height) from a baseline JPEG's frame header."""
    i = 2
    while i + 9 < len(data):
        if data[i] != 0xFF:
            raise ValueError("not a JPEG marker at %d" % i)
        marker, length = data[i + 1], int.from_bytes(data[i + 2 : i + 4], "big")
        if marker in (0xC0, 0xC1, 0xC2):
            return int.from_bytes(data[i + 7 : i + 9], "big"), int.from_bytes(data[i + 5 : i + 7], "big")
        i += 2 + length
    raise ValueError("no frame header")


def firmware_image(version, size=65536):
    image = bytearray(b"\xff" * size)
    record = b"VVER" + version.encode() + b"\0"
    image[0x100 : 0x100 + len(record)] = record
    return bytes(image)


# --- the declarations against the header ---------------------------------


class DeclarationsFollowTheHeader(unittest.TestCase):
    def test_every_export_is_declared_with_the_headers_types(self):
        self.assertEqual(sorted(HEADER_EXPORTS), sorted(vorn_uvc.DECLARATIONS))
        self.assertGreaterEqual(len(HEADER_EXPORTS), 69)
        for name, c_types in HEADER_EXPORTS.items():
            with self.subTest(export=name):
                self.assertEqual(vorn_uvc.DECLARATIONS[name], [C_TYPES[t] for t in c_types])
                function = getattr(LIB, name)
                self.assertIs(function.restype, ctypes.c_int)
                self.assertEqual(list(function.argtypes), vorn_uvc.DECLARATIONS[name])

    def test_callbacks_records_and_constants_follow_the_header(self):
        for name, (ret, conv, c_types) in HEADER_CALLBACKS.items():
            with self.subTest(callback=name):
                proc = getattr(vorn_uvc, name)
                self.assertIs(proc._restype_, C_TYPES[ret])
                self.assertEqual(proc._argtypes_, tuple(C_TYPES[t] for t in c_types))
                # Natively there is one convention; stdcall only on 32-bit Windows.
                stdcall = conv == "VORN_STDCALL" and sys.platform == "win32" and ctypes.sizeof(ctypes.c_void_p) == 4
                self.assertEqual(proc._flags_ & getattr(ctypes, "_FUNCFLAG_STDCALL", 0) != 0, stdcall)
                self.assertTrue(proc._flags_ & ctypes._FUNCFLAG_CDECL or stdcall)
        self.assertEqual(sorted(HEADER_CALLBACKS), ["BurnProgressProc", "FrameCallbackProc"])
        for name, fields in HEADER_STRUCTS.items():
            with self.subTest(record=name):
                record = getattr(vorn_uvc, name)
                self.assertEqual([f[0] for f in record._fields_], [f[1] for f in fields])
                for (ftype, _, count), (_, ctype) in zip(fields, record._fields_):
                    want = FIELD_TYPES[ftype] * count if count else FIELD_TYPES[ftype]
                    self.assertEqual(ctypes.sizeof(ctype), ctypes.sizeof(want))
                    self.assertIs(getattr(ctype, "_type_", ctype), getattr(want, "_type_", want))
        self.assertEqual(ctypes.sizeof(vorn_uvc.DeviceRecord), 4104)
        self.assertEqual(HEADER_CONSTANTS["VORN_UVC_MAX_DEVICES"], vorn_uvc.MAX_DEVICES)


# --- the binding at work --------------------------------------------------

# Simulated camera defaults: (min, max, default) of the six camera-ranged settings.
CAMERA_RANGES = {
    "brightness": (-64, 64, 0),
    "contrast": (0, 95, 32),
    "saturation": (0, 100, 64),
    "sharpness": (0, 7, 3),
    "gamma": (72, 500, 100),
    "aec_target": (0, 255, 128),
}


class CameraAtWork(unittest.TestCase):
    def setUp(self):
        load_scenario()

    def camera(self, device=0):
        return vorn_uvc.Camera(device=device, library=LIB)

    def test_session_identity_and_devices(self):
        with self.camera(device=1) as cam:
            self.assertEqual(len(cam.devices), 2)
            self.assertEqual(cam.product, "Vorn UC-21 Bench Camera")
            self.assertEqual(cam.firmware_version, "Vorn-Corvanith-220301B-1.4")
            self.assertEqual(cam.vid_pid, b"VORO")
            self.assertEqual(cam.interface, "USB 2.0 bench")
            self.assertEqual(cam.flash_type, 3)
            is_open = ctypes.c_bool(False)
            LIB.vorn_uvc_isOpenCamera(ctypes.byref(is_open))
            self.assertTrue(is_open.value)
        # Left: closed and uninitialised, so the next call fails.
        with self.assertRaises(vorn_uvc.VornError) as raised:
            LIB.vorn_uvc_isOpenCamera(ctypes.byref(is_open))
        self.assertEqual((raised.exception.code, raised.exception.function), (1, "vorn_uvc_isOpenCamera"))

    def test_a_missing_camera_leaves_the_library_uninitialised(self):
        with self.assertRaises(LookupError):
            self.camera(device=2).open()
        with self.assertRaises(vorn_uvc.VornError):
            LIB.vorn_uvc_isOpenCamera(ctypes.byref(ctypes.c_bool()))
        with self.camera(device=0) as cam:
            self.assertEqual(cam.product, "Vorn UC-20 Camera")

    def test_the_nine_picture_settings_with_their_ranges(self):
        with self.camera() as cam:
            cam.auto_white_balance = False  # the camera's own balance would rewrite the gains
            for name, (low, high, default) in CAMERA_RANGES.items():
                with self.subTest(setting=name):
                    self.assertEqual(cam.range(name), (low, high))
                    self.assertEqual(cam.default(name), default)
                    value = low + (high - low) // 3
                    setattr(cam, name, value)
                    self.assertEqual(getattr(cam, name), value)
                    with self.assertRaises(vorn_uvc.VornError) as raised:
                        setattr(cam, name, high + 1)  # the camera refuses it
                    self.assertEqual(raised.exception.code, vorn_uvc.FAILED)
                    self.assertEqual(getattr(cam, name), value)
            # The library's own ranges: 5 before anything reaches the camera.
            for name, value, too_far, function in (
                ("exposure", -7, 0, "vorn_uvc_setManualExposureValue"),
                ("red_gain", 300, 513, "vorn_uvc_set_AWB_Gain_Red"),
                ("blue_gain", 512, 127, "vorn_uvc_set_AWB_Gain_Blue"),
            ):
                with self.subTest(setting=name):
                    low, high = cam.range(name)
                    self.assertTrue(low <= value <= high and not low <= too_far <= high)
                    setattr(cam, name, value)
                    self.assertEqual(getattr(cam, name), value)
                    with self.assertRaises(vorn_uvc.VornError) as raised:
                        setattr(cam, name, too_far)
                    self.assertEqual((raised.exception.code, raised.exception.function), (5, function))
                    self.assertIn(function, str(raised.exception))
                    self.assertEqual(getattr(cam, name), value)

    def test_modes_switch_both_ways(self):
        with self.camera() as cam:
            for mode in ("auto_exposure", "auto_white_balance", "rotate180", "illumination"):
                for on in (True, False, True):
                    with self.subTest(mode=mode, on=on):
                        setattr(cam, mode, on)
                        self.assertIs(getattr(cam, mode), on)

    def test_a_failed_camera_call_raises_with_its_code_and_function(self):
        with self.camera() as cam:
            set_faults("SonixCam_PropertyGet.0 = once")
            with self.assertRaises(vorn_uvc.VornError) as raised:
                cam.brightness
            self.assertEqual((raised.exception.code, raised.exception.function), (1, "vorn_uvc_getBrightness"))
            self.assertEqual(cam.brightness, 0)

    def test_resolutions_preview_and_snapshots(self):
        with self.camera() as cam:
            self.assertEqual(cam.resolutions, [(1280, 800), (1280, 720), (800, 600), (640, 480), (320, 240)])
            cam.set_resolution(3)
            self.assertEqual(cam.current_resolution, (640, 480))
            # Not running: the snapshot starts the preview for itself and stops it.
            jpeg = cam.snapshot()
            self.assertEqual((jpeg[:2], jpeg[-2:]), (b"\xff\xd8", b"\xff\xd9"))
            self.assertEqual(jpeg_size(jpeg), (640, 480))
            self.assertFalse(cam.previewing)
            cam.start()
            self.assertTrue(cam.previewing)
            LIB.vorn_uvc_PausePreview()
            self.assertFalse(cam.previewing)
            cam.start()
            before = cam.frames_received
            self.assertEqual(jpeg_size(cam.snapshot()), (640, 480))
            self.assertGreater(cam.frames_received, before)
            with self.assertRaises(vorn_uvc.VornError):
                cam.set_resolution(4)  # refused while the picture runs
            cam.stop()
            self.assertFalse(cam.previewing)

    def test_burn_reports_progress_and_the_camera_boots_the_new_firmware(self):
        version = "Vorn-Corvanith-230101Z-2.0"
        with self.camera() as cam:
            cam.start()
            done = []
            cam.burn(firmware_image(version), progress=done.append, full_verify=True)
            self.assertEqual((done[0], done[-1]), (0.0, 1.0))
            self.assertEqual(done, sorted(done))
            cam.restart(settle=0)
            self.assertEqual(cam.firmware_version, version)
            self.assertEqual(cam.product, "Vorn UC-20 Camera")

            def refuse(fraction):
                raise ValueError("stop at %.2f" % fraction)

            # The exception of the progress callable comes back to the caller.
            with self.assertRaises(ValueError):
                cam.burn(firmware_image(version), progress=refuse)
            set_faults("SonixCam_BurnerFW = once")
            with self.assertRaises(vorn_uvc.VornError) as raised:
                cam.burn(firmware_image(version))
            self.assertEqual(raised.exception.function, "vorn_uvc_BurnerFW")

    def test_register_exports_through_the_flat_calls(self):
        with self.camera() as cam:
            on = ctypes.c_bool(True)
            for query, switch, mask in (
                (LIB.vorn_uvc_is_RegAWB_On, LIB.vorn_uvc_set_RegAWB_Mode, 0x01),
                (LIB.vorn_uvc_is_RegAEC_On, LIB.vorn_uvc_set_RegAEC_Mode, 0x02),
            ):
                switch(False)
                query(ctypes.byref(on))
                self.assertFalse(on.value)
                self.assertEqual(peek(0x0F7D, 1)[0] & mask, 0)
                switch(True)
                query(ctypes.byref(on))
                self.assertTrue(on.value)
            value = ctypes.c_int(0)
            for write, read, gain in (
                (LIB.vorn_uvc_set_AWB_Gain_Red_ThruReg, LIB.vorn_uvc_get_AWB_Gain_Red, 300),
                (LIB.vorn_uvc_set_AWB_Gain_Blue_ThruReg, LIB.vorn_uvc_get_AWB_Gain_Blue, 500),
            ):
                write(gain)
                read(ctypes.byref(value))
                self.assertEqual(value.value, gain)
            LIB.vorn_uvc_get_AWB_Gain_Green(ctypes.byref(value))
            self.assertEqual(value.value, (peek(0xC038, 2)[0] & 3) * 256 + peek(0xC038, 2)[1])
            LIB.vorn_uvc_setExposureValueThruReg(-1)
            self.assertEqual(peek(0x0F39, 2), b"\x30\x90")
            with self.assertRaises(vorn_uvc.VornError) as raised:
                LIB.vorn_uvc_setExposureValueThruReg(0)
            self.assertEqual(raised.exception.code, vorn_uvc.OUT_OF_RANGE)
            cam.exposure = -6
            LIB.vorn_uvc_getExposureValueThruReg(ctypes.byref(value))
            self.assertEqual(value.value, 387)


def tearDownModule():
    missing = [name for name in vorn_uvc.DECLARATIONS if name not in CALLED]
    if missing:
        raise AssertionError("exports never called through the binding: " + ", ".join(missing))


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0]] + unittest_args, verbosity=2)
