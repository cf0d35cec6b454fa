#include "app/display_loop_host.h"

#include <alleggl.h>
#include <allegro.h>

#include "app/graphics_mode.h"
#include "app/program_constants.h"
#include "app/window_events.h"
#include "engine/core/attributes.h"
#include "engine/core/input.h"
#include "platform/cursor.h"
#include "platform/sleep_pumping_messages.h"
#include "platform/window_title.h"

namespace {
const int SWITCHED_OUT_SLEEP_MS = 10;
// States draw with the camera three units in front of the plane z = 0.
const float MODEL_VIEW_Z = -3.0f;
}  // namespace

bool DisplayLoopHost::IsQuitRequested() { return ::IsQuitRequested(); }

int DisplayLoopHost::GetSwitchCounter() { return ::GetSwitchCounter(); }

void DisplayLoopHost::SwitchOut(orvel::State& current) {
    current.UnloadTextures();
    soundManager->UnloadSamples();
    music->StopStream();
    // Text looks the font up at each draw; none is there until SwitchIn
    // stores the new one.
    orvel::GlobalProperties().Erase(KEY_GL_FONT);
    glFont.reset();
    if (fullscreen) {
        ClipCursorToScreen(0, 0);
    }
    SetWindowTitle(WINDOW_TITLE);
}

void DisplayLoopHost::SwitchIn(orvel::State& current) {
    SetFixedGlState();
    glFont = ConvertGameFont();
    orvel::GlobalProperties()[KEY_GL_FONT] = glFont.get();
    current.ReloadTextures();
    soundManager->ReloadSamples();
    music->StartStream();
    if (fullscreen) {
        ClipCursorToScreen(SCREEN_WIDTH, SCREEN_HEIGHT);
    }
    SetWindowTitle(WINDOW_TITLE);
}

void DisplayLoopHost::SleepSwitchedOut() { SleepPumpingMessages(SWITCHED_OUT_SLEEP_MS); }

void DisplayLoopHost::BeginFrame() { glClear(GL_COLOR_BUFFER_BIT); }

const orvel::Input& DisplayLoopHost::PollInput() {
    input.Poll();
    return input;
}

void DisplayLoopHost::BeginDraw() {
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, MODEL_VIEW_Z);
}

void DisplayLoopHost::EndFrame() {
    glFlush();
    allegro_gl_flip();
}
