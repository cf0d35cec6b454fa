#include <cmath>
#include <iterator>

#include "engine/resources/bbq_image.h"
#include "engine/resources/resource.h"
#include "game/play/gas_tank.h"
#include "game/play/minimap.h"
#include "game/play/play_field.h"
#include "tests/game/play/play_fixture.h"
#include "tests/game/play/screen_capture.h"

// Last: the game library defines macros (None among them) that clash with
// names of the test framework.
#include <alleggl.h>
#include <allegro.h>

namespace {

struct Pixel {
    int r, g, b;
};

Pixel ReadPixel(int x, int y) {
    uint8_t rgb[3] = {};
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, rgb);
    return Pixel{rgb[0], rgb[1], rgb[2]};
}

bool Near(const Pixel& a, const Pixel& b, int tolerance) {
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
           std::abs(a.b - b.b) <= tolerance;
}

orvel::BbqImage Picture(const std::string& name) {
    const orvel::IStreamPtr stream = orvel::OpenResource(name);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(*stream)),
                                     std::istreambuf_iterator<char>());
    return orvel::ParseBbqImage(bytes, name);
}

// The heads-up display as Level0 draws it: the pictures of "gui.txt" where
// it puts them, the fuel gauge filled to the fuel left, the minimap of the
// world, the pointer and a tutorial box.
class HudTest : public PlayFixture {
protected:
    void SetUp() override {
        PlayFixture::SetUp();
        StartLevel();
        Run(2);
    }

    void DrawFrame() {
        glViewport(0, 0, 800, 600);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, 800, 0, 600, -100, 100);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glClear(GL_COLOR_BUFFER_BIT);
        game->Draw();
        glFinish();
    }

    // The share of the picture's opaque pixels (every third one, in the
    // columns from `u0` to `u1` of its width) that the screen shows, at
    // `grey` brightness, with the picture's top-left corner at (left, top),
    // GL pixels.
    static float Shown(const std::string& name, int left, int top, float u0 = 0.0f, float u1 = 1.0f,
                       float grey = 1.0f) {
        const orvel::BbqImage image = Picture(name);
        EXPECT_EQ(image.bpp, 32) << name;
        int opaque = 0;
        int shown = 0;
        const int first = int(std::ceil(u0 * float(image.width))) + 1;
        const int last = int(u1 * float(image.width)) - 1;
        for (int y = 1; y + 1 < int(image.height); y += 3) {
            for (int x = first; x < last; x += 3) {
                const uint8_t* p = &image.pixels[(size_t(y) * image.width + size_t(x)) * 4];
                if (p[3] != 255) {
                    continue;
                }
                ++opaque;
                const Pixel want{int(float(p[0]) * grey), int(float(p[1]) * grey),
                                 int(float(p[2]) * grey)};
                // Picture row y fills the screen row below the line top - y.
                shown += Near(ReadPixel(left + x, top - y - 1), want, 12) ? 1 : 0;
            }
        }
        EXPECT_GT(opaque, 20) << name;
        return opaque == 0 ? 0.0f : float(shown) / float(opaque);
    }

    void SetFuel(float fraction) {
        ComponentBody& airship = *game->GetGoodAirship();
        airship.SetHitPoints(int32_t(float(airship.GetMaxHitPoints()) * fraction));
    }
};

TEST_F(HudTest, TheLayoutFilePlacesThePictures) {
    DrawFrame();
    const std::string picture = WriteScreenPpm("gearhaven-hud.ppm");
    // gui.txt: the numbers at (143, 543), the tank's button at (216, 597),
    // the fuel gauge's lower-left corner at (500, 550).
    EXPECT_GT(Shown("resources/UI/numbers.bbq", 143, 543), 0.95f) << picture;
    const orvel::SpritePtr& tank = game->GetHud().GetButton(2);
    EXPECT_EQ(tank->GetX(), 216.0f);
    EXPECT_EQ(tank->GetY(), 597.0f);
    // Full fuel: the whole full tank shows.
    const orvel::BbqImage full = Picture("resources/UI/gastankfull.bbq");
    EXPECT_GT(Shown("resources/UI/gastankfull.bbq", 500, 550 + int(full.height)), 0.95f) << picture;
}

TEST_F(HudTest, TheFuelGaugeShowsTheFuelLeft) {
    const orvel::BbqImage full = Picture("resources/UI/gastankfull.bbq");
    const int top = 550 + int(full.height);
    const struct { float fuel; } cases[] = {{0.75f}, {0.5f}, {0.35f}};
    for (const auto& c : cases) {
        SetFuel(c.fuel);
        DrawFrame();
        const std::string picture = WriteScreenPpm("gearhaven-hud-fuel.ppm");
        EXPECT_GT(Shown("resources/UI/gastankfull.bbq", 500, top, 0.0f, c.fuel - 0.02f), 0.95f)
            << "fuel " << c.fuel << " in " << picture;
        EXPECT_GT(Shown("resources/UI/gastankempty.bbq", 500, top, c.fuel + 0.02f, 1.0f), 0.95f)
            << "fuel " << c.fuel << " in " << picture;
        EXPECT_EQ(game->GetHud().GetGasTank().GetPulse(), 1.0f) << "not low: no pulse";
    }
    // Low fuel: the empty tank darkens and brightens again over 40 frames.
    SetFuel(0.25f);
    DrawFrame();
    const float pulse = game->GetHud().GetGasTank().GetPulse();
    EXPECT_FLOAT_EQ(pulse, 0.95f);
    for (int i = 0; i < 19; ++i) {
        DrawFrame();
    }
    EXPECT_NEAR(game->GetHud().GetGasTank().GetPulse(), 0.0f, 1e-4f);
    EXPECT_LT(Shown("resources/UI/gastankempty.bbq", 500, top, 0.3f, 1.0f), 0.2f)
        << "dark at the pulse's middle";
    EXPECT_GT(Shown("resources/UI/gastankempty.bbq", 500, top, 0.3f, 1.0f, 0.0f), 0.9f);
}

TEST_F(HudTest, APulseStopsOnlyOnceItHasWrapped) {
    GasTank tank("resources/UI/gastankempty.bbq", "resources/UI/gastankfull.bbq", 500, 550);
    tank.Draw(0.5f);
    EXPECT_EQ(tank.GetPulse(), 1.0f);
    tank.Draw(0.2f);
    EXPECT_FLOAT_EQ(tank.GetPulse(), 0.95f);
    // Out of fuel, the running pulse goes on to its end, then stops.
    int frames = 1;
    while (tank.GetPulse() != 1.0f && frames < 100) {
        tank.Draw(0.0f);
        ++frames;
    }
    EXPECT_EQ(frames, 40);
    tank.Draw(0.0f);
    EXPECT_EQ(tank.GetPulse(), 1.0f);
}

TEST_F(HudTest, TheMinimapShowsTheAirshipWhereItIs) {
    const Pixel background = {63, 60, 44};
    const float left = (800.0f - MinimapWidth(game->GetLevelWidth())) / 2.0f;
    // The minimap's 15 by 7 pixels about a level point, high above the
    // ground, clear of everything else of the level.
    const auto patch = [&](float x) {
        std::vector<Pixel> pixels;
        for (int dy = -3; dy <= 3; ++dy) {
            for (int dx = -7; dx <= 7; ++dx) {
                pixels.push_back(ReadPixel(int(left + x * 0.2f) + dx, int(400.0f * 0.2f) + dy));
            }
        }
        return pixels;
    };
    const auto differing = [](const std::vector<Pixel>& a, const std::vector<Pixel>& b) {
        int count = 0;
        for (size_t i = 0; i < a.size(); ++i) {
            count += Near(a[i], b[i], 20) ? 0 : 1;
        }
        return count;
    };
    std::vector<Pixel> at900[2];
    std::vector<Pixel> at1200[2];
    for (int i = 0; i < 2; ++i) {
        const float x = i == 0 ? 900.0f : 1200.0f;
        game->GetGoodAirship()->SetPosition(
            orvel::Vector4(x / WORLD_SCALE, 400.0f / WORLD_SCALE, 0.0f));
        DrawFrame();
        at900[i] = patch(900.0f);
        at1200[i] = patch(1200.0f);
    }
    const std::string picture = WriteScreenPpm("gearhaven-hud-minimap.ppm");
    // The airship's outline left one place for the other.
    EXPECT_GT(differing(at900[0], at900[1]), 10) << picture;
    EXPECT_GT(differing(at1200[0], at1200[1]), 10) << picture;
    // The brass caps close the strip at both ends; beyond them, the clear colour.
    const int caps[] = {int(left) - 10, int(left + MinimapWidth(game->GetLevelWidth())) + 10};
    for (int x : caps) {
        EXPECT_FALSE(Near(ReadPixel(x, 50), background, 8)) << "cap at " << x;
    }
    EXPECT_TRUE(Near(ReadPixel(20, 50), background, 3));
    EXPECT_TRUE(Near(ReadPixel(780, 50), background, 3));
}

TEST_F(HudTest, ThePointerAndTheTutorialBoxDrawOnTop) {
    ScriptedFrame moved;
    moved.mouseX = 600;
    moved.mouseY = 250;
    Run(1, [&](int) { return moved; });
    ASSERT_TRUE(game->IsCursorVisible());
    DrawFrame();
    EXPECT_GT(Shown("resources/mousecursor.bbq", 600, 600 - 250), 0.95f);

    // The program makes the GL font at start-up; here the library's own.
    FONT* glFont =
        allegro_gl_convert_allegro_font_ex(font, AGL_FONT_TYPE_TEXTURED, 1.0f, GL_ALPHA8);
    ASSERT_NE(glFont, nullptr);
    orvel::GlobalProperties()[PropertyKey("glFont")] = glFont;
    game->GetTutorialDialog().Show(PropertyKey("TUTORIAL_DIALOG_Death"), 700.0f, 450.0f, true);
    Run(40, [&](int) { return moved; });
    DrawFrame();
    const std::string picture = WriteScreenPpm("gearhaven-hud-dialog.ppm");
    const int height = game->GetTutorialDialog().GetDialog()->GetHeight();
    // The box's frame covers the bottom of the screen up to its height.
    EXPECT_FALSE(Near(ReadPixel(780, height / 2), Pixel{63, 60, 44}, 8)) << picture;
    EXPECT_GT(Shown("resources/mousecursor.bbq", 600, 600 - 250), 0.95f) << "the pointer is last";
    orvel::GlobalProperties().Erase(PropertyKey("glFont"));
    allegro_gl_destroy_font(glFont);
}

// The end of a won campaign level: the banner at its "won" frame below the
// badge of the difficulty played, both above the rest of the display.
TEST_F(HudTest, AWonLevelShowsTheBannerUnderTheBadge) {
    EXPECT_EQ(game->GetHud().GetGameOver()->alpha, 0.0f);
    game->GetBadFactoryBody()->NotifyEvent();
    Run(1);
    ASSERT_TRUE(game->IsGameOver());
    const orvel::SpritePtr& banner = game->GetHud().GetGameOver();
    EXPECT_EQ(banner->alpha, 1.0f);
    EXPECT_EQ(banner->GetFrame(), 0);
    EXPECT_EQ(banner->GetY(), 230.0f);
    DrawFrame();
    const std::string picture = WriteScreenPpm("gearhaven-hud-won.ppm");
    // Difficulty 1: the veteran's badge, 128 pixels square, centred at x 400
    // with its top-left corner 64 pixels above y 380.
    EXPECT_GT(Shown("resources/UI/veteranbadge.bbq", 336, 444), 0.95f) << picture;
}

}  // namespace
