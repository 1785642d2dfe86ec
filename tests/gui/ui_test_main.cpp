// Entry of the framework's GUI tests: the common controls must be registered
// before any template with a trackbar is created.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
