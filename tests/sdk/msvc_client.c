/* A caller of vorn_uvc built the way Visual Studio builds one: compiled for
 * Microsoft's ABI (clang --target=*-pc-windows-msvc) and linked by lld-link
 * against the SDK's vorn_uvc.lib. It includes the SDK's own vorn_uvc.h, so
 * the declarations, the calling convention and the records are checked as a
 * Microsoft compiler reads them.
 *
 * No C runtime: the Windows SDK and its libraries are not on the build
 * machines, so the program has its own entry point, writes with WriteFile
 * and links only kernel32. It prints one line per check and exits with the
 * number of failed checks. */
#include "vorn_uvc.h"

_Static_assert(sizeof(DeviceRecord) == 4104, "DeviceRecord is 4104 bytes");
_Static_assert(sizeof(ResolutionInfo) == 16, "ResolutionInfo is 16 bytes");
_Static_assert(sizeof(bool) == 1, "bool is one byte");

static HANDLE out;
static int failures;

static int length(const char* s) {
    int n = 0;
    while (s[n]) ++n;
    return n;
}

static void write(const char* s) {
    DWORD written = 0;
    WriteFile(out, s, (DWORD)length(s), &written, 0);
}

static void writeInt(int v) {
    char buf[16];
    int i = 15;
    unsigned u = v < 0 ? 0u - (unsigned)v : (unsigned)v;
    buf[i] = 0;
    do {
        buf[--i] = (char)('0' + u % 10);
        u /= 10;
    } while (u);
    if (v < 0) buf[--i] = '-';
    write(buf + i);
}

static void check(int ok, const char* what) {
    write(ok ? "ok   - " : "FAIL - ");
    write(what);
    write("\r\n");
    if (!ok) ++failures;
}

/* Static, so that the large records need no stack probe from a runtime. */
static DeviceRecord devices[VORN_UVC_MAX_DEVICES];
static char product[100];

/* A flag with guard bytes on both sides: the library writes one byte. */
static struct {
    unsigned char before;
    bool flag;
    unsigned char after[2];
} guarded = {0xA5, false, {0xA5, 0xA5}};

static int run(void) {
    int count = 0, value = -1, min = 0, max = 0, middle;

    check(vorn_uvc_init() == 0, "vorn_uvc_init returns 0");
    check(vorn_uvc_getEnumDevice(devices, &count) == 0, "vorn_uvc_getEnumDevice returns 0");
    check(count >= 1, "a camera is enumerated");
    check(devices[0].devicePath[0] != 0, "the first record holds a device path");
    check(vorn_uvc_selectDevice(0) == 0, "vorn_uvc_selectDevice(0) returns 0");
    check(vorn_uvc_get_product(product, (int)sizeof product) == 0 && product[0] != 0,
          "vorn_uvc_get_product fills the buffer");
    write("product: ");
    write(product);
    write("\r\n");
    check(vorn_uvc_openCamera(0, 0, 0) == 0, "vorn_uvc_openCamera returns 0");
    check(vorn_uvc_isOpenCamera(&guarded.flag) == 0 && guarded.flag == true && guarded.before == 0xA5 &&
              guarded.after[0] == 0xA5 && guarded.after[1] == 0xA5,
          "vorn_uvc_isOpenCamera writes one byte: true");

    check(vorn_uvc_getBrightnessRange(&min, &max) == 0 && min < max, "vorn_uvc_getBrightnessRange gives min < max");
    middle = min + (max - min) / 3; /* not the default */
    check(vorn_uvc_setBrightness(middle) == 0, "vorn_uvc_setBrightness returns 0");
    check(vorn_uvc_getBrightness(&value) == 0 && value == middle, "vorn_uvc_getBrightness reads the value set");
    write("brightness: ");
    writeInt(value);
    write("\r\n");
    check(vorn_uvc_setManualExposureValue(-14) == 5, "vorn_uvc_setManualExposureValue(-14) returns 5");

    check(vorn_uvc_closeCamera() == 0, "vorn_uvc_closeCamera returns 0");
    check(vorn_uvc_unInit() == 0, "vorn_uvc_unInit returns 0");
    write(failures ? "FAILED\r\n" : "passed\r\n");
    return failures;
}

void __cdecl entry(void) {
    out = GetStdHandle(STD_OUTPUT_HANDLE);
    ExitProcess((unsigned)run());
}
