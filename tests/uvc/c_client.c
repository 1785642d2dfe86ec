/* A plain C caller of the library: checks that the public header compiles
 * as C and that arguments, one-byte flags and results cross the boundary as
 * a C program sees them. Runs against the simulator's built-in camera.
 * Its own messages are wide too: the library's lines make stdout a wide
 * stream, and narrow output after that would be dropped. */
#include <stdio.h>
#include <string.h>
#include <wchar.h>

#include "sonix_sim.h"
#include "vorn_uvc.h"

static int failures = 0;

#define CHECK(cond)                                                   \
    do {                                                              \
        if (!(cond)) {                                                \
            wprintf(L"FAILED line %d: %ls\n", __LINE__, L"" #cond);  \
            fflush(stdout);                                           \
            ++failures;                                               \
        }                                                             \
    } while (0)

/* A flag with guard bytes on both sides: the library writes one byte. */
struct GuardedFlag {
    uint8_t before;
    bool flag;
    uint8_t after[2];
};

static int flagOk(const struct GuardedFlag* g, bool expected) {
    return g->before == 0xA5 && g->after[0] == 0xA5 && g->after[1] == 0xA5 && g->flag == expected;
}

static void resetFlag(struct GuardedFlag* g) {
    memset(g, 0xA5, sizeof *g);
}

int main(void) {
    DeviceRecord records[VORN_UVC_MAX_DEVICES];
    int count = 0, value = 0, min = 0, max = 0;
    char text[100];
    struct GuardedFlag g;

    CHECK(SonixSim_ResetDefault() == 0);
    CHECK(vorn_uvc_init() == 0);
    memset(records, 0, sizeof records);
    CHECK(vorn_uvc_getEnumDevice(records, &count) == 0);
    CHECK(count >= 1);
    CHECK(vorn_uvc_selectDevice(0) == 0);

    memset(text, 0, sizeof text);
    CHECK(vorn_uvc_get_product(text, (int)sizeof text) == 0);
    CHECK(text[0] != '\0');
    memset(text, 0, sizeof text);
    CHECK(vorn_uvc_get_FW_version(text, 60, 1) == 0);
    CHECK(strstr(text, "Corvanith-") != NULL);

    resetFlag(&g);
    CHECK(vorn_uvc_isOpenCamera(&g.flag) == 0);
    CHECK(flagOk(&g, false));
    CHECK(vorn_uvc_openCamera(NULL, 0, NULL) == 0);
    resetFlag(&g);
    CHECK(vorn_uvc_isOpenCamera(&g.flag) == 0);
    CHECK(flagOk(&g, true));
    resetFlag(&g);
    CHECK(vorn_uvc_is_RegAEC_On(&g.flag) == 0);
    CHECK(flagOk(&g, true));

    CHECK(vorn_uvc_getBrightnessRange(&min, &max) == 0);
    CHECK(min < max);
    value = min + (max - min) / 3;
    CHECK(vorn_uvc_setBrightness(value) == 0);
    value = -99999;
    CHECK(vorn_uvc_getBrightness(&value) == 0);
    CHECK(value == min + (max - min) / 3);

    CHECK(vorn_uvc_setManualExposureValue(-14) == 5);
    CHECK(vorn_uvc_setManualExposureValue(-7) == 0);
    value = 0;
    CHECK(vorn_uvc_getManualExposureValue(&value) == 0);
    CHECK(value == -7);
    resetFlag(&g);
    CHECK(vorn_uvc_isAECModeOn(&g.flag) == 0);
    CHECK(flagOk(&g, false));

    CHECK(vorn_uvc_set_AWB_Gain_Red_ThruReg(300) == 0);
    value = 0;
    CHECK(vorn_uvc_get_AWB_Gain_Red(&value) == 0);
    CHECK(value == 300);

    CHECK(vorn_uvc_setIllumination(true) == 0);
    resetFlag(&g);
    CHECK(vorn_uvc_isIlluminationOn(&g.flag) == 0);
    CHECK(flagOk(&g, true));
    CHECK(vorn_uvc_setIllumination(false) == 0);
    resetFlag(&g);
    CHECK(vorn_uvc_isIlluminationOn(&g.flag) == 0);
    CHECK(flagOk(&g, false));

    CHECK(vorn_uvc_rotate180(true) == 0);
    CHECK(vorn_uvc_closeCamera() == 0);
    CHECK(vorn_uvc_closeCamera() == 0);
    CHECK(vorn_uvc_unInit() == 0);

    wprintf(L"%ls: %d failure(s)\n", failures ? L"FAILED" : L"passed", failures);
    return failures ? 1 : 0;
}
