/* Control interface of the simulated SonixCamera library, for tests and the
 * demo. Not part of the vendor's library: a program that uses these only
 * runs against the simulator. */
#ifndef SONIX_SIM_H
#define SONIX_SIM_H

#include "sonix_camera.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Replace the scenario with the one in a file / in a text. On a parse error
 * nothing is applied, the message (file and line) goes to the error stream
 * and to SonixSim_LastError, and the call returns non-zero. Loading resets
 * the whole simulated state (devices, session, registers, flash, faults,
 * trace counters) as if the library had just been loaded. */
SONIX_EXPORT int SONIX_API SonixSim_LoadScenarioFile(const char* path);
SONIX_EXPORT int SONIX_API SonixSim_LoadScenarioText(const char* text);
/* Back to the built-in default scenario (one healthy camera). */
SONIX_EXPORT int SONIX_API SonixSim_ResetDefault(void);
/* The last scenario error text; returns its length. */
SONIX_EXPORT int SONIX_API SonixSim_LastError(char* buf, int size);

/* In-memory copy of the trace (one line per vendor call, '\n' separated),
 * kept whether or not [sim] trace names a file. Returns the full length;
 * copies at most size-1 bytes plus a terminating zero. */
SONIX_EXPORT int SONIX_API SonixSim_GetTrace(char* buf, int size);
SONIX_EXPORT int SONIX_API SonixSim_ClearTrace(void);

/* Raw access to a camera's state that bypasses the vendor calls (no trace,
 * no faults), so tests can arrange and inspect it. camera is its place in
 * the scenario (the enumeration index while every camera is plugged in).
 * Return 0 on success. */
SONIX_EXPORT int SONIX_API SonixSim_PeekRegisters(int camera, int address, uint8_t* buf, int count);
SONIX_EXPORT int SONIX_API SonixSim_PokeRegisters(int camera, int address, const uint8_t* buf, int count);
/* Copies the camera's serial flash; returns its size in bytes. */
SONIX_EXPORT int SONIX_API SonixSim_ReadFlash(int camera, uint8_t* buf, int size);
/* Frames handed to the frame callback since the scenario was loaded, over
 * every preview run. */
SONIX_EXPORT int SONIX_API SonixSim_FramesDelivered(uint64_t* count);

/* Replaces the fault rules while everything else runs on: lines as in the
 * [faults] section, the header optional; an empty text clears them all.
 * Each rule counts its matching calls from this call on. On an error
 * nothing changes, the message goes to SonixSim_LastError, and the call
 * returns non-zero. */
SONIX_EXPORT int SONIX_API SonixSim_SetFaults(const char* rules);

/* Pulls (plugged 0) or plugs back (plugged 1) the cable of camera, its place
 * in the scenario, at once: what the unplug_after_ms / replug_after_ms keys
 * do on a timer. The process's top-level windows get WM_DEVICECHANGE before
 * it returns; once it returns no frame of an unplugged camera follows.
 * Returns 0, or 2 for a camera the scenario does not have. */
SONIX_EXPORT int SONIX_API SonixSim_SetPlugged(int camera, int plugged);

#ifdef __cplusplus
}
#endif

#endif /* SONIX_SIM_H */
