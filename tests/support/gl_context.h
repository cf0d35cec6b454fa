#pragma once

#include <gtest/gtest.h>

// Opens the test process's one OpenGL context: an 800x600 AllegroGL window on
// the X display named by DISPLAY (scripts/test.sh starts a private Xvfb).
// Later calls do nothing. Fails the calling test when no context can be made.
void EnsureGlContext();

// Base of every test that draws or makes textures.
class GlTest : public ::testing::Test {
protected:
    void SetUp() override;
};
