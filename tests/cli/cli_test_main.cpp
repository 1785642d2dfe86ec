#include <gtest/gtest.h>

#include "log_capture.h"

int main(int argc, char** argv) {
    vorn::test::prepareStreamsForCapture();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
