#pragma once

#include "app/gl_font.h"
#include "app/main_loop.h"
#include "engine/sound/ogg_player.h"
#include "engine/sound/sound_manager.h"

// The main loop's host in the game: the OpenGL display, the window's events,
// the input snapshot and the services that hold data on the display or the
// sound card.
//
// When the window loses the display (focus, on X11) everything that lives on
// it is let go and the loop idles; the graphics mode itself is kept, in
// fullscreen too: dropping to a text mode would leave X no window that could
// ever be switched back in.
class DisplayLoopHost : public LoopHost {
public:
    DisplayLoopHost(orvel::Input& input, bool fullscreen, GlFontPtr& glFont,
                    const orvel::SoundManagerPtr& soundManager, const orvel::OggPlayerPtr& music)
        : input(input),
          fullscreen(fullscreen),
          glFont(glFont),
          soundManager(soundManager),
          music(music) {}

    bool IsQuitRequested() override;
    int GetSwitchCounter() override;
    void SwitchOut(orvel::State& current) override;
    void SwitchIn(orvel::State& current) override;
    void SleepSwitchedOut() override;
    void BeginFrame() override;
    const orvel::Input& PollInput() override;
    void BeginDraw() override;
    void EndFrame() override;

private:
    orvel::Input& input;
    bool fullscreen;
    GlFontPtr& glFont;
    orvel::SoundManagerPtr soundManager;
    orvel::OggPlayerPtr music;
};
