// One application for the whole test run, on the offscreen platform unless
// the environment names another.

#include <gtest/gtest.h>

#include <cstdlib>

#include "toolkit/Application.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    Application->Initialize();
    const int result = RUN_ALL_TESTS();
    Application->Shutdown();
    return result;
}
