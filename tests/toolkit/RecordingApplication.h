#pragma once
// The application started on a fresh recording backend for each test, and
// ended after it.

#include <gtest/gtest.h>

#include "tests/toolkit/RecordingBackend.h"
#include "toolkit/Application.h"

class RecordingApplication : public ::testing::Test {
protected:
    void SetUp() override {
        Application->Initialize([this] {
            auto made = std::make_unique<toolkit::recording::Backend>();
            backend = made.get();
            return made;
        });
        Application->Title = "Toolkit";
    }
    void TearDown() override { Application->Shutdown(); }

    toolkit::recording::Backend* backend = nullptr;
};
