#include <memory>

#include <gtest/gtest.h>

#include "game/units/component_body.h"
#include "tests/engine/gl_draw_fixture.h"
#include "unit_test_world.h"

namespace {

// A marker whose outline is one level line from 5 to 25 pixels right of
// its centre.
const char* const OBJECTS = R"(
struct Marker
{
	list struct Geometry
	{
		{
			string type: "BOX"
			point extent: 30, 30
		}
	}
	list pointf Lines
	{
		(5, 0.5)
		(25, 0.5)
	}
	list struct Components
	{
	}
}
)";

const Rgb GOOD = {131, 142, 110};
const Rgb BAD = {160, 92, 162};
const Rgb BLACK = {0, 0, 0};

class UnitDrawingTest : public GlDrawTest {};

}  // namespace

TEST_F(UnitDrawingTest, TheOutlineIsDrawnInPixelsInItsSidesColourAndMirroredForTheBadSide) {
    struct Case {
        int team;
        Rgb colour;
        int litX;
        int darkX;
    };
    const Case cases[] = {{1, GOOD, 315, 285}, {-1, BAD, 285, 315}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.team);
        glClear(GL_COLOR_BUFFER_BIT);
        UnitTestWorld level(OBJECTS);
        std::shared_ptr<ComponentBody> marker = level.Make("Marker", c.team);
        marker->SetPosition(orvel::Vector4(10.0f, 5.0f, 0.0f));
        SetMarkerColour();
        marker->Draw();
        ExpectPixel(c.litX, 150, c.colour, "the outline");
        ExpectPixel(c.darkX, 150, BLACK, "the other side");
        ExpectColourAndModelViewKept();
    }
}

TEST_F(UnitDrawingTest, TheDeadHaveNoOutline) {
    UnitTestWorld level(OBJECTS);
    std::shared_ptr<ComponentBody> marker = level.Make("Marker", 1);
    marker->SetPosition(orvel::Vector4(10.0f, 5.0f, 0.0f));
    marker->SendMessage(10);
    marker->Draw();
    ExpectPixel(315, 150, BLACK, "where the outline was");
}
