#include "app/gl_check.h"

#include <ostream>

#include <gtest/gtest.h>

namespace {

struct GlCase {
    const char* version;
    const char* renderer;
    bool usable;
};

// Names the case in test listings.
void PrintTo(const GlCase& c, std::ostream* os) {
    *os << "version \"" << c.version << "\", renderer \"" << c.renderer << "\"";
}

const GlCase GL_CASES[] = {
    {"1.1.0", "Some Renderer", false},
    {"1.1", "Some Renderer", false},
    {"1.2", "Some Renderer", true},
    {"1.2.0 Build 42", "Some Renderer", true},
    {"2.1 Mesa 7.0", "Some Renderer", true},
    {"4.5 (Compatibility Profile) Mesa 22.3.6", "llvmpipe (LLVM 15.0.6, 256 bits)", true},
    {"1.1.0", "GDI Generic", false},
    {"2.0", "GDI Generic", false},
    // The renderer must match exactly, case and all.
    {"2.0", "gdi generic", true},
    {"2.0", "GDI Generic ", true},
    {"2.0", "GDI Generic Plus", true},
    // No number at all reads as 0.
    {"", "Some Renderer", false},
    {"OpenGL ES 3.2", "Some Renderer", false},
};

class GlCheckTest : public ::testing::TestWithParam<GlCase> {};

TEST_P(GlCheckTest, VersionAndRenderer) {
    const GlCase& c = GetParam();
    EXPECT_EQ(IsOpenGlUsable(c.version, c.renderer), c.usable)
        << "version \"" << c.version << "\", renderer \"" << c.renderer << "\"";
}

INSTANTIATE_TEST_SUITE_P(Strings, GlCheckTest, ::testing::ValuesIn(GL_CASES));

}  // namespace
