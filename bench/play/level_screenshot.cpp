// A picture of a level in play for the README: the computer against itself
// on one campaign level for some seconds of game time, then one frame of
// the in-game screen drawn as the program draws it and written as a binary
// PPM. scripts/level_screenshot.sh runs it under Xvfb and makes the PNG.
//
//   xvfb-run -a build/release/bench/play/level_screenshot level seconds out.ppm

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <vector>

#include <GL/gl.h>
#include <alleggl.h>

#include "bench/play/ai_match.h"
#include "engine/core/exception.h"
#include "game/play/mechanica_state.h"

namespace {

const int WIDTH = SCREEN_WIDTH;
const int HEIGHT = SCREEN_HEIGHT;
// Where the program's main loop moves the model-view matrix before a draw.
const float MODEL_VIEW_Z = -3.0f;

// The projection and fixed state that the program sets with its screen mode.
void SetProgramGlState() {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, WIDTH, 0, HEIGHT, 0.01, 1000.0);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_LINE_SMOOTH);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glShadeModel(GL_FLAT);
    glPolygonMode(GL_FRONT, GL_FILL);
}

bool WritePpm(const char* path) {
    std::vector<unsigned char> pixels(size_t(WIDTH) * HEIGHT * 3);
    glFinish();
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, WIDTH, HEIGHT, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << WIDTH << " " << HEIGHT << "\n255\n";
    // GL rows run bottom-up, picture rows top-down.
    for (int row = HEIGHT - 1; row >= 0; --row) {
        out.write(reinterpret_cast<const char*>(&pixels[size_t(row) * WIDTH * 3]), WIDTH * 3);
    }
    return bool(out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: level_screenshot level seconds out.ppm\n");
        return 2;
    }
    if (!OpenMatchDisplay()) {
        std::fprintf(stderr, "level_screenshot: no OpenGL display (run under xvfb-run)\n");
        return 1;
    }
    try {
        SetProgramGlState();
        PrepareMatchRegistry(std::string("resources/Level") + argv[1]);
        auto game = std::make_shared<MechanicaState>(PropertyKey("TARNMOORE_STATE_Mechanica"));
        orvel::Input input(MatchInput());
        const long frames = long(std::atof(argv[2]) / MATCH_FRAME);
        for (long frame = 0; frame < frames && game->GetOutcome() == 0; ++frame) {
            input.Poll();
            game->Update(input, MATCH_FRAME);
        }
        glClear(GL_COLOR_BUFFER_BIT);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glTranslatef(0.0f, 0.0f, MODEL_VIEW_Z);
        game->Draw();
        if (!WritePpm(argv[3])) {
            std::fprintf(stderr, "level_screenshot: cannot write %s\n", argv[3]);
            return 1;
        }
    } catch (const orvel::Exception& error) {
        std::fprintf(stderr, "level_screenshot: %s\n", error.What().c_str());
        return 1;
    }
    return 0;
}
