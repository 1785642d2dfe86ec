// Time of a whole firmware update of a 128 KiB image over the simulated
// camera, as the firmware dialog's worker runs it: the burn with its
// progress, then restart, un-initialise and initialise. The dialog's two
// one-second pauses between those calls are not included (they are fixed).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "firmware/rom_image.h"
#include "sonix_sim.h"
#include "vorn_uvc.h"

namespace {

constexpr int kImageSize = 131072;

int VORN_CDECL Progress(void* context, float done) {
    // What the dialog computes for its bar, minus the window message.
    *static_cast<int*>(context) = vorn::firmware::ProgressPosition(done);
    return 0;
}

std::vector<uint8_t> Image() {
    std::vector<uint8_t> image(kImageSize, 0x00);
    const std::string head = "SN9C";
    std::copy(head.begin(), head.end(), image.begin());
    const std::string record = std::string("VVER") + "Vorn-Corvanith-220101K-2.0";
    std::copy(record.begin(), record.end(), image.begin() + 0x100);
    return image;
}

// Arguments: 0 = built-in default scenario, 1 = explicit burn_ms = 0;
// full verification off or on.
void BM_WholeUpdate128K(benchmark::State& state) {
    const bool defaultScenario = state.range(0) == 0;
    const int verify = static_cast<int>(state.range(1));
    if (defaultScenario) SonixSim_ResetDefault();
    else SonixSim_LoadScenarioText("[sim]\nburn_ms = 0\n[camera]\n");
    const std::vector<uint8_t> image = Image();
    if (vorn_uvc_init() != 0 || vorn_uvc_selectDevice(0) != 0) {
        state.SkipWithError("camera not ready");
        return;
    }
    int position = 0;
    for (auto _ : state) {
        if (vorn_uvc_BurnerFW(image.data(), kImageSize, &Progress, &position, verify) != 0 ||
            vorn_uvc_restartDevice() != 0 || vorn_uvc_unInit() != 0 || vorn_uvc_init() != 0 ||
            vorn_uvc_selectDevice(0) != 0) {
            state.SkipWithError("update failed");
            break;
        }
    }
    benchmark::DoNotOptimize(position);
    vorn_uvc_unInit();
    state.SetLabel(std::string(defaultScenario ? "default scenario" : "burn_ms=0") +
                   (verify ? ", full verification" : ""));
}
BENCHMARK(BM_WholeUpdate128K)->ArgsProduct({{0, 1}, {0, 1}})->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
