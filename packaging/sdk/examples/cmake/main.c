/* Example of the vorn_uvc library: lists the cameras, then reads the
 * brightness of the first one, moves it to the middle of its range and puts
 * it back.
 *
 * Build it with CMake (CMakeLists.txt beside this file), or by hand from
 * this folder; the library is 32-bit:
 *   MinGW-w64:      i686-w64-mingw32-gcc -o example.exe main.c -I../../include -L../../lib -lvorn_uvc
 *   Visual Studio:  cl /I..\..\include main.c ..\..\lib\vorn_uvc.lib
 * and run it where vorn_uvc.dll and SonixCamera.dll are found (the Vorn
 * Controls program folder, or both copied beside it).
 *
 * Every function returns 0 on success. The library writes its own log lines
 * on the standard streams as wide text, so this program prints wide text too
 * (narrow output after a wide line would be lost). */
#include <stdio.h>
#include <string.h>
#include <wchar.h>

#include "vorn_uvc.h"

int main(void) {
    DeviceRecord devices[VORN_UVC_MAX_DEVICES];
    char product[100], firmware[60];
    int count = 0, i, value = 0, min = 0, max = 0, original = 0, moved = 0;

    if (vorn_uvc_init() != 0) {
        fwprintf(stderr, L"The camera library could not start.\n");
        return 1;
    }
    memset(devices, 0, sizeof devices);
    vorn_uvc_getEnumDevice(devices, &count);
    wprintf(L"Cameras found: %d\n", count);
    for (i = 0; i < count; ++i) {
        memset(product, 0, sizeof product);
        memset(firmware, 0, sizeof firmware);
        if (vorn_uvc_selectDevice(i) != 0 || vorn_uvc_get_product(product, sizeof product) != 0) continue;
        vorn_uvc_get_FW_version(firmware, sizeof firmware, 1);
        wprintf(L"Camera %d: %hs, firmware %hs\n", i + 1, product, firmware);
    }
    if (count == 0) {
        vorn_uvc_unInit();
        return 1;
    }

    /* Properties are read and written on an open camera; no preview needed. */
    if (vorn_uvc_selectDevice(0) != 0 || vorn_uvc_openCamera(NULL, 0, NULL) != 0) {
        fwprintf(stderr, L"The first camera could not be opened.\n");
        vorn_uvc_unInit();
        return 1;
    }
    if (vorn_uvc_getBrightnessRange(&min, &max) == 0 && vorn_uvc_getBrightness(&original) == 0) {
        wprintf(L"Brightness %d, range %d to %d\n", original, min, max);
        if (vorn_uvc_setBrightness(min + (max - min) / 2) == 0 && vorn_uvc_getBrightness(&value) == 0) {
            wprintf(L"Brightness now %d\n", value);
            moved = value == min + (max - min) / 2;
        }
        vorn_uvc_setBrightness(original);
    }
    vorn_uvc_closeCamera();
    vorn_uvc_unInit();
    return moved ? 0 : 1;
}
