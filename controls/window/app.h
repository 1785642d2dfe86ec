// The application object: registers the common controls and runs the main
// window modally; the window's modal loop is the program's main loop.
#pragma once

class CVornControlsApp {
public:
    // Returns the program's exit code.
    int Run();
};
