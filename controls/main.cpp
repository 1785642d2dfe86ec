// Entry point of Vorn_Controls.exe.
#include <windows.h>

#include "window/app.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    CVornControlsApp app;
    return app.Run();
}
