#include "engine/ui/morph.h"

#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/core/colour.h"
#include "engine/core/exception.h"
#include "engine/core/input.h"
#include "engine/ui/lambda_event_handler.h"
#include "engine/ui/morph_keys.h"
#include "engine/ui/screen_morph.h"

using namespace orvel;

namespace {

const int LEFT = 1;
const int RIGHT = 2;
const int MIDDLE = 4;

// Mouse only: the test sets position and buttons before each poll.
class FakeMouse : public InputSource {
public:
    void ReadKeys(std::vector<uint8_t>& keys) override { keys.assign(INPUT_KEY_COUNT, 0); }
    void ReadMouse(int& mouseX, int& mouseY, int& mouseButtons) override {
        mouseX = x;
        mouseY = y;
        mouseButtons = buttons;
    }
    void ReadMickeys(int& mickeysX, int& mickeysY) override {
        mickeysX = 0;
        mickeysY = 0;
    }
    std::vector<JoystickReading> ReadJoysticks() override { return {}; }

    int x = -1;
    int y = -1;
    int buttons = 0;
};

// Every event that reaches a handler, as "morph:event".
typedef std::vector<std::string> EventLog;

class RecordingHandler : public EventHandler {
public:
    RecordingHandler(EventLog& log, bool result) : log(log), result(result) {}

    bool Handle(Morph* morph, PropertyKey event, const boost::any& argument) override {
        EXPECT_NO_THROW(boost::any_cast<const Input*>(argument));
        log.push_back(morph->GetMorphName().GetName() + ":" + event.GetName());
        return result;
    }

private:
    EventLog& log;
    bool result;
};

// A handler that runs the test's own code.
class CallbackHandler : public EventHandler {
public:
    explicit CallbackHandler(std::function<bool(Morph*)> call) : call(call) {}
    bool Handle(Morph* morph, PropertyKey, const boost::any&) override { return call(morph); }

private:
    std::function<bool(Morph*)> call;
};

MorphPtr MakeMorph(const char* name, const MorphRect& rect) {
    const MorphPtr morph = std::make_shared<Morph>(PropertyKey(name));
    morph->SetRect(rect);
    return morph;
}

class MorphFixture : public ::testing::Test {
protected:
    // Moves the mouse and sets the buttons for the next frame.
    void Frame(int x, int y, int buttons = 0) {
        mouse->x = x;
        mouse->y = y;
        mouse->buttons = buttons;
        input.Poll();
    }

    EventHandlerPtr Recorder(bool result) {
        return std::make_shared<RecordingHandler>(log, result);
    }

    std::shared_ptr<FakeMouse> mouse = std::make_shared<FakeMouse>();
    Input input{mouse};
    EventLog log;
};

TEST_F(MorphFixture, NewMorphIsEmpty) {
    const Morph morph("Plain");
    EXPECT_EQ(morph.GetMorphName(), PropertyKey("Plain"));
    EXPECT_EQ(morph.GetParent(), nullptr);
    EXPECT_TRUE(morph.GetChildren().empty());
    EXPECT_EQ(morph.GetRect(), MorphRect());
    EXPECT_EQ(morph.GetFullBounds(), MorphRect());
    EXPECT_EQ(morph.GetColour(), 0);
    EXPECT_EQ(morph.GetFlags(), 0u);
    EXPECT_EQ(morph.GetTypeName(), PropertyKey("Morph"));
}

TEST_F(MorphFixture, InitializeMakesABlueSquare) {
    Morph morph("Square");
    morph.Initialize(PointI(5, 7));
    EXPECT_EQ(morph.GetRect(), MorphRect(5, 7, 45, 47));
    EXPECT_EQ(morph.GetColour(), MakeColour(0, 64, 128, 255));
}

TEST_F(MorphFixture, HoverSendsEnterMoveAndLeave) {
    const MorphPtr button = MakeMorph("Button", MorphRect(10, 10, 50, 30));
    for (const PropertyKey& event :
         {MORPH_EVENT_MOUSE_ENTER, MORPH_EVENT_MOUSE_MOVE, MORPH_EVENT_MOUSE_LEAVE}) {
        button->SetAttribute(event, Recorder(true));
    }
    // Mouse position of each frame and the event it must send.
    const struct {
        int x, y;
        const char* event;
    } frames[] = {
        {0, 0, nullptr},        {10, 10, "MouseEnter"}, {20, 20, "MouseMove"},
        {20, 20, nullptr},      {49, 29, "MouseMove"},  {50, 20, "MouseLeave"},
        {60, 20, nullptr},      {20, 20, "MouseEnter"}, {20, 30, "MouseLeave"},
        {30, 29, "MouseEnter"}, {9, 29, "MouseLeave"},  {30, 9, nullptr},
    };
    for (const auto& frame : frames) {
        log.clear();
        Frame(frame.x, frame.y);
        Morph::TrackHover(*button, input);
        const EventLog expected =
            frame.event ? EventLog{std::string("Button:") + frame.event} : EventLog();
        EXPECT_EQ(log, expected) << "mouse at " << frame.x << "," << frame.y;
        EXPECT_EQ(button->IsMouseInside(), button->GetRect().Contains(frame.x, frame.y));
    }
}

TEST_F(MorphFixture, HoverReachesEveryDescendantInListOrder) {
    const MorphPtr root = MakeMorph("Root", MorphRect(0, 0, 100, 100));
    const MorphPtr first = MakeMorph("First", MorphRect(10, 10, 30, 30));
    const MorphPtr second = MakeMorph("Second", MorphRect(20, 20, 40, 40));
    const MorphPtr inner = MakeMorph("Inner", MorphRect(25, 25, 35, 35));
    root->AddChild(first);
    root->AddChild(second);
    second->AddChild(inner);
    for (const MorphPtr& morph : {root, first, second, inner}) {
        morph->SetAttribute(MORPH_EVENT_MOUSE_ENTER, Recorder(true));
    }
    Frame(26, 26);
    Morph::TrackHover(*root, input);
    EXPECT_EQ(log, (EventLog{"Root:MouseEnter", "First:MouseEnter", "Second:MouseEnter",
                             "Inner:MouseEnter"}));
}

class DispatchFixture : public MorphFixture {
protected:
    void SetUp() override {
        // Two siblings that overlap in (40..59, 40..59), and a child of the
        // parent that lies outside the parent's rect.
        parent->AddChild(lower);
        parent->AddChild(upper);
        parent->AddChild(outside);
    }

    bool Click(int x, int y) {
        Frame(x, y);
        return Morph::DispatchMouseEvent(*parent, MORPH_EVENT_MOUSE_L_DOWN, input);
    }

    MorphPtr parent = MakeMorph("Parent", MorphRect(0, 0, 100, 100));
    MorphPtr lower = MakeMorph("Lower", MorphRect(20, 20, 60, 60));
    MorphPtr upper = MakeMorph("Upper", MorphRect(40, 40, 80, 80));
    MorphPtr outside = MakeMorph("Outside", MorphRect(150, 150, 170, 170));
};

TEST_F(DispatchFixture, TopMostSiblingThatHandlesEndsTheSearch) {
    lower->SetAttribute(MORPH_EVENT_MOUSE_L_DOWN, Recorder(true));
    upper->SetAttribute(MORPH_EVENT_MOUSE_L_DOWN, Recorder(true));
    parent->SetAttribute(MORPH_EVENT_MOUSE_L_DOWN, Recorder(true));
    EXPECT_TRUE(Click(50, 50));
    EXPECT_EQ(log, EventLog{"Upper:MouseLDown"});
}

TEST_F(DispatchFixture, DeclinedEventsGoToLowerSiblingsThenTheParent) {
    lower->SetAttribute(MORPH_EVENT_MOUSE_L_DOWN, Recorder(false));
    upper->SetAttribute(MORPH_EVENT_MOUSE_L_DOWN, Recorder(false));
    parent->SetAttribute(MORPH_EVENT_MOUSE_L_DOWN, Recorder(false));
    EXPECT_FALSE(Click(50, 50));
    EXPECT_EQ(log, (EventLog{"Upper:MouseLDown", "Lower:MouseLDown", "Parent:MouseLDown"}));
}

TEST_F(DispatchFixture, EdgesAreOutsideAndFullBoundsDecide) {
    for (const MorphPtr& morph : {parent, lower, upper, outside}) {
        morph->SetAttribute(MORPH_EVENT_MOUSE_L_DOWN, Recorder(true));
    }
    const struct {
        int x, y;
        const char* receiver;
    } clicks[] = {
        {79, 79, "Upper"},    {80, 79, "Parent"},  {79, 80, "Parent"},
        {20, 20, "Lower"},    {19, 20, "Parent"},  {169, 169, "Outside"},
        {120, 120, "Parent"}, {170, 160, nullptr}, {100, 170, nullptr},
    };
    for (const auto& click : clicks) {
        log.clear();
        EXPECT_EQ(Click(click.x, click.y), click.receiver != nullptr);
        const EventLog expected =
            click.receiver ? EventLog{std::string(click.receiver) + ":MouseLDown"} : EventLog();
        EXPECT_EQ(log, expected) << "click at " << click.x << "," << click.y;
    }
}

TEST_F(DispatchFixture, ChildOutsideItsParentStillReceivesEvents) {
    outside->SetAttribute(MORPH_EVENT_MOUSE_L_DOWN, Recorder(true));
    EXPECT_EQ(parent->GetFullBounds(), MorphRect(0, 0, 170, 170));
    EXPECT_TRUE(Click(160, 160));
    EXPECT_EQ(log, EventLog{"Outside:MouseLDown"});
}

TEST_F(MorphFixture, DefaultHandlerRunsWhenTheEventHandlerIsMissingOrDeclines) {
    const boost::any argument(static_cast<const Input*>(&input));
    Morph morph("Button");
    EXPECT_FALSE(morph.HandleEvent(MORPH_EVENT_MOUSE_L_DOWN, argument));

    morph.SetEventHandler(Recorder(true));
    EXPECT_TRUE(morph.HandleEvent(MORPH_EVENT_MOUSE_L_UP, argument));
    EXPECT_EQ(log, EventLog{"Button:MouseLUp"});

    log.clear();
    morph.SetAttribute(MORPH_EVENT_MOUSE_L_DOWN, Recorder(false));
    EXPECT_TRUE(morph.HandleEvent(MORPH_EVENT_MOUSE_L_DOWN, argument));
    EXPECT_EQ(log, (EventLog{"Button:MouseLDown", "Button:MouseLDown"}));

    log.clear();
    morph.SetAttribute(MORPH_EVENT_MOUSE_L_DOWN, Recorder(true));
    EXPECT_TRUE(morph.HandleEvent(MORPH_EVENT_MOUSE_L_DOWN, argument));
    EXPECT_EQ(log, EventLog{"Button:MouseLDown"});

    log.clear();
    morph.SetEventHandler(EventHandlerPtr());
    morph.SetAttribute(MORPH_EVENT_MOUSE_L_DOWN, Recorder(false));
    EXPECT_FALSE(morph.HandleEvent(MORPH_EVENT_MOUSE_L_DOWN, argument));
}

// A screen whose member function a button calls.
struct Clicker {
    bool OnClick(Morph* morph) {
        clicked = morph;
        return answer;
    }
    Morph* clicked = nullptr;
    bool answer = true;
};

TEST_F(MorphFixture, LambdaHandlerCallsTheBoundMemberWithTheBoundMorph) {
    Clicker clicker;
    Morph button("Button");
    Morph shown("Shown");
    button.SetAttribute(MORPH_EVENT_MOUSE_L_DOWN, std::make_shared<LambdaEventHandler<Clicker>>(
                                                      &clicker, &Clicker::OnClick, &shown));
    EXPECT_TRUE(button.HandleEvent(MORPH_EVENT_MOUSE_L_DOWN, boost::any()));
    EXPECT_EQ(clicker.clicked, &shown);
    clicker.answer = false;
    EXPECT_FALSE(button.HandleEvent(MORPH_EVENT_MOUSE_L_DOWN, boost::any()));
}

TEST_F(MorphFixture, ValueOfAnotherTypeUnderAnEventNameIsABadCast) {
    Morph morph("Button");
    morph.GetAttributes()[MORPH_EVENT_MOUSE_L_DOWN] = 42;
    EXPECT_THROW(morph.HandleEvent(MORPH_EVENT_MOUSE_L_DOWN, boost::any()), boost::bad_any_cast);
}

TEST_F(MorphFixture, SetRectMovesDescendantsButResizingDoesNot) {
    const MorphPtr parent = MakeMorph("Parent", MorphRect(10, 10, 110, 60));
    const MorphPtr child = MakeMorph("Child", MorphRect(20, 30, 40, 50));
    const MorphPtr grandchild = MakeMorph("Grandchild", MorphRect(25, 35, 30, 40));
    parent->AddChild(child);
    child->AddChild(grandchild);

    parent->SetRect(MorphRect(15, 5, 115, 55));
    EXPECT_EQ(child->GetRect(), MorphRect(25, 25, 45, 45));
    EXPECT_EQ(grandchild->GetRect(), MorphRect(30, 30, 35, 35));
    EXPECT_EQ(parent->GetFullBounds(), MorphRect(15, 5, 115, 55));

    parent->SetSize(PointI(10, 10));
    EXPECT_EQ(parent->GetRect(), MorphRect(15, 5, 25, 15));
    EXPECT_EQ(child->GetRect(), MorphRect(25, 25, 45, 45));
    EXPECT_EQ(parent->GetFullBounds(), MorphRect(15, 5, 45, 45));

    parent->SetWidth(50);
    EXPECT_EQ(parent->GetRect(), MorphRect(15, 5, 65, 15));
    parent->SetPosition(PointI(0, 0));
    EXPECT_EQ(parent->GetRect(), MorphRect(0, 0, 50, 10));
    EXPECT_EQ(grandchild->GetRect(), MorphRect(15, 25, 20, 30));
}

// Edges near the int limits would overflow when sized or moved; they are
// refused and leave the tree as it was.
TEST_F(MorphFixture, PlacesOutsideTheCoordinateLimitAreRefused) {
    const MorphPtr parent = MakeMorph("Parent", MorphRect(0, 0, 10, 10));
    const MorphPtr child = MakeMorph("Child", MorphRect(90000, 0, 90010, 10));
    parent->AddChild(child);
    const int32_t most = std::numeric_limits<int32_t>::max();
    const std::function<void()> refused[] = {
        [&] { parent->SetPosition(PointI(most - 5, 0)); },
        [&] { parent->SetPosition(PointI(0, std::numeric_limits<int32_t>::min())); },
        [&] { parent->SetSize(PointI(most, 10)); },
        [&] { parent->SetWidth(most); },
        [&] { parent->SetRect(MorphRect(0, 0, 10, UI_COORDINATE_LIMIT + 1)); },
        // The child would be carried past the limit.
        [&] { parent->SetPosition(PointI(20000, 0)); },
    };
    for (const auto& place : refused) {
        EXPECT_THROW(place(), ExceptionGeneral);
        EXPECT_EQ(parent->GetRect(), MorphRect(0, 0, 10, 10));
        EXPECT_EQ(child->GetRect(), MorphRect(90000, 0, 90010, 10));
    }
    parent->SetPosition(PointI(-UI_COORDINATE_LIMIT, 0));
    EXPECT_EQ(child->GetRect(), MorphRect(-10000, 0, -9990, 10));
}

TEST_F(MorphFixture, FullBoundsClimbToTheRootWhenAChildChanges) {
    const MorphPtr root = MakeMorph("Root", MorphRect(0, 0, 10, 10));
    const MorphPtr middle = MakeMorph("Middle", MorphRect(0, 0, 10, 10));
    const MorphPtr leaf = MakeMorph("Leaf", MorphRect(0, 0, 10, 10));
    root->AddChild(middle);
    middle->AddChild(leaf);
    leaf->SetPosition(PointI(90, 40));
    EXPECT_EQ(middle->GetFullBounds(), MorphRect(0, 0, 100, 50));
    EXPECT_EQ(root->GetFullBounds(), MorphRect(0, 0, 100, 50));
    EXPECT_TRUE(middle->RemoveChild(leaf.get()));
    EXPECT_EQ(root->GetFullBounds(), MorphRect(0, 0, 10, 10));
    EXPECT_EQ(leaf->GetParent(), nullptr);
    EXPECT_FALSE(middle->RemoveChild(leaf.get()));
}

TEST_F(MorphFixture, FindChildLooksAtDirectChildrenFirst) {
    const MorphPtr root = MakeMorph("Root", MorphRect());
    const MorphPtr a = MakeMorph("A", MorphRect());
    const MorphPtr deepTarget = MakeMorph("Target", MorphRect());
    const MorphPtr b = MakeMorph("B", MorphRect());
    const MorphPtr target = MakeMorph("Target", MorphRect());
    root->AddChild(a);
    a->AddChild(deepTarget);
    root->AddChild(b);
    root->AddChild(target);
    EXPECT_EQ(root->FindChild("Target"), target.get());
    EXPECT_EQ(a->FindChild("Target"), deepTarget.get());
    EXPECT_EQ(root->FindChild("Missing"), nullptr);
    EXPECT_EQ(a->FindSibling("B"), b.get());
    EXPECT_EQ(a->FindSibling("Target"), target.get());
    EXPECT_EQ(root->FindSibling("A"), nullptr);
    EXPECT_EQ(deepTarget->GetRoot(), root.get());
}

TEST_F(MorphFixture, AddChildMovesAMorphFromItsOldParentAndRefusesCycles) {
    const MorphPtr first = MakeMorph("First", MorphRect(0, 0, 10, 10));
    const MorphPtr second = MakeMorph("Second", MorphRect(0, 0, 10, 10));
    const MorphPtr child = MakeMorph("Child", MorphRect(50, 50, 60, 60));
    first->AddChild(child);
    second->AddChild(child);
    EXPECT_TRUE(first->GetChildren().empty());
    EXPECT_EQ(first->GetFullBounds(), MorphRect(0, 0, 10, 10));
    EXPECT_EQ(child->GetParent(), second.get());

    EXPECT_THROW(child->AddChild(second), ExceptionGeneral);
    EXPECT_THROW(child->AddChild(child), ExceptionGeneral);
    EXPECT_THROW(child->AddChild(MorphPtr()), ExceptionGeneral);
    EXPECT_EQ(child->GetParent(), second.get());
}

TEST_F(MorphFixture, ChildOutlivingItsParentHasNoParent) {
    MorphPtr child = MakeMorph("Child", MorphRect());
    {
        const MorphPtr parent = MakeMorph("Parent", MorphRect());
        parent->AddChild(child);
    }
    EXPECT_EQ(child->GetParent(), nullptr);
    EXPECT_EQ(child->GetRoot(), child.get());
}

// A morph that asks to be removed after a given number of updates, and
// counts its updates.
class ExpiringMorph : public Morph {
public:
    ExpiringMorph(const char* name, int life) : Morph(PropertyKey(name)), life(life) {}
    bool Update(float) override {
        ++updates;
        return updates >= life;
    }
    int life;
    int updates = 0;
};

// Counts the highlighter's updates and logs its draws.
class CountingHighlighter : public Highlighter {
public:
    explicit CountingHighlighter(EventLog* log = nullptr) : log(log) {}
    void Update(float) override { ++updates; }
    void Draw() override {
        if (log) {
            log->push_back("highlighter");
        }
    }
    void SetState(uint8_t newState) override { state = newState; }
    EventLog* log;
    int updates = 0;
    int state = -1;
};

TEST_F(MorphFixture, UpdateTreeRemovesExpiredChildrenAsRemoveChildDoes) {
    const MorphPtr root = MakeMorph("Root", MorphRect(0, 0, 10, 10));
    const auto expiring = std::make_shared<ExpiringMorph>("Expiring", 2);
    const auto staying = std::make_shared<ExpiringMorph>("Staying", 1000);
    const auto grandchild = std::make_shared<ExpiringMorph>("Grandchild", 1000);
    const auto highlighter = std::make_shared<CountingHighlighter>();
    expiring->SetRect(MorphRect(0, 0, 200, 200));
    expiring->SetHighlighter(highlighter);
    root->AddChild(expiring);
    root->AddChild(staying);
    staying->AddChild(grandchild);

    Morph::UpdateTree(*root, 0.1f);
    EXPECT_EQ(highlighter->updates, 1);
    EXPECT_EQ(root->GetFullBounds(), MorphRect(0, 0, 200, 200));

    Morph::UpdateTree(*root, 0.1f);
    EXPECT_EQ(highlighter->updates, 1);
    EXPECT_EQ(expiring->GetParent(), nullptr);
    EXPECT_EQ(root->GetChildren().size(), 1u);
    EXPECT_EQ(root->GetFullBounds(), MorphRect(0, 0, 10, 10));
    EXPECT_EQ(staying->updates, 2);
    EXPECT_EQ(grandchild->updates, 2);
}

TEST_F(MorphFixture, HandlersMayRemoveAndAddMorphsDuringTheWalks) {
    const auto screen = std::make_shared<ScreenMorph>();
    const MorphPtr first = MakeMorph("First", MorphRect(0, 0, 100, 100));
    const MorphPtr second = MakeMorph("Second", MorphRect(0, 0, 100, 100));
    screen->AddChild(first);
    screen->AddChild(second);
    // Entering the first morph removes both and adds a fresh one; pressing
    // the button over the second removes it while dispatch is inside it.
    first->SetAttribute(MORPH_EVENT_MOUSE_ENTER,
                        std::make_shared<CallbackHandler>([&](Morph* morph) {
                            Morph* root = morph->GetRoot();
                            root->RemoveChild(second.get());
                            root->RemoveChild(morph);
                            root->AddChild(MakeMorph("Fresh", MorphRect(0, 0, 5, 5)));
                            return true;
                        }));
    second->SetAttribute(MORPH_EVENT_MOUSE_ENTER, Recorder(true));
    second->SetAttribute(MORPH_EVENT_MOUSE_L_DOWN,
                         std::make_shared<CallbackHandler>([](Morph* morph) {
                             morph->GetParent()->RemoveChild(morph);
                             return false;
                         }));
    Frame(10, 10, LEFT);
    screen->Update(input, 0.01f);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(first->GetParent(), nullptr);
    EXPECT_EQ(second->GetParent(), nullptr);
    ASSERT_EQ(screen->GetChildren().size(), 1u);
    EXPECT_EQ(screen->GetChildren().front()->GetMorphName(), PropertyKey("Fresh"));

    screen->AddChild(second);
    Frame(11, 11, 0);
    Frame(11, 11, LEFT);
    screen->Update(input, 0.01f);
    EXPECT_EQ(second->GetParent(), nullptr);
}

// Logs its own painting.
class PaintingMorph : public Morph {
public:
    PaintingMorph(const char* name, EventLog& log) : Morph(PropertyKey(name)), log(log) {}
    void DrawSelf() override { log.push_back(GetMorphName().GetName()); }
    EventLog& log;
};

TEST_F(MorphFixture, DrawTreePaintsParentHighlighterThenChildrenInOrder) {
    const auto root = std::make_shared<PaintingMorph>("Root", log);
    const auto a = std::make_shared<PaintingMorph>("A", log);
    const auto a1 = std::make_shared<PaintingMorph>("A1", log);
    const auto b = std::make_shared<PaintingMorph>("B", log);
    root->AddChild(a);
    a->AddChild(a1);
    root->AddChild(b);
    a->SetHighlighter(std::make_shared<CountingHighlighter>(&log));
    Morph::DrawTree(*root);
    EXPECT_EQ(log, (EventLog{"Root", "A", "highlighter", "A1", "B"}));
}

TEST_F(MorphFixture, SetHighlightStateReachesTheHighlighterWhenThereIsOne) {
    Morph morph("Button");
    morph.SetHighlightState(1);
    const auto highlighter = std::make_shared<CountingHighlighter>();
    morph.SetHighlighter(highlighter);
    morph.SetHighlightState(3);
    EXPECT_EQ(highlighter->state, 3);
}

TEST_F(MorphFixture, ScreenCoversTheDisplayAndKnowsItsState) {
    const auto screen = std::make_shared<ScreenMorph>(PropertyKey("TestScreen"));
    EXPECT_EQ(screen->GetRect(), MorphRect(0, 0, 800, 600));
    EXPECT_EQ(screen->GetMorphName(), PropertyKey("Screen"));
    EXPECT_EQ(screen->GetTypeName(), PropertyKey("ScreenMorph"));
    EXPECT_EQ(screen->GetName(), PropertyKey("ScreenMorph"));
    EXPECT_EQ(screen->GetStoredName(), PropertyKey("TestScreen"));
    EXPECT_FALSE(screen->IsFinished());
    State* state =
        boost::any_cast<State*>(screen->GetAttributes()[SCREEN_MORPH_PROPERTY_CURRENT_STATE]);
    EXPECT_EQ(state, static_cast<State*>(screen.get()));
    EXPECT_EQ(state->shared_from_this(), std::static_pointer_cast<State>(screen));
    EXPECT_NE(screen->GetSpriteCacheManager(), nullptr);
}

TEST_F(MorphFixture, ButtonEdgesBecomeEventsOncePerFrame) {
    const auto screen = std::make_shared<ScreenMorph>();
    const MorphPtr button = MakeMorph("Button", MorphRect(100, 100, 200, 150));
    screen->AddChild(button);
    for (const PropertyKey& event :
         {MORPH_EVENT_MOUSE_L_DOWN, MORPH_EVENT_MOUSE_L_UP, MORPH_EVENT_MOUSE_R_DOWN,
          MORPH_EVENT_MOUSE_R_UP, MORPH_EVENT_MOUSE_M_DOWN, MORPH_EVENT_MOUSE_M_UP}) {
        button->SetAttribute(event, Recorder(true));
    }

    // Buttons held in each frame, and the button events that frame sends.
    const struct {
        int buttons;
        EventLog events;
    } frames[] = {
        {0, {}},
        {LEFT, {"Button:MouseLDown"}},
        {LEFT, {}},
        {LEFT | RIGHT, {"Button:MouseRDown"}},
        {MIDDLE, {"Button:MouseLUp", "Button:MouseRUp", "Button:MouseMDown"}},
        {0, {"Button:MouseMUp"}},
        {0, {}},
    };
    for (const auto& frame : frames) {
        Frame(150, 120, frame.buttons);
        log.clear();
        screen->Update(input, 0.01f);
        EXPECT_EQ(log, frame.events) << "buttons " << frame.buttons;
    }
}

TEST_F(MorphFixture, PressAndReleaseBetweenTwoPollsSendNothing) {
    const auto screen = std::make_shared<ScreenMorph>();
    screen->SetEventHandler(Recorder(true));
    Frame(10, 10, 0);
    screen->Update(input, 0.01f);
    log.clear();
    // The press happened and ended between the two polls: the masks match.
    Frame(10, 10, 0);
    screen->Update(input, 0.01f);
    EXPECT_TRUE(log.empty());
}

// A state that does nothing, for the screen to hand on.
class IdleState : public State {
public:
    StatePtr Update(const Input&, float) override { return StatePtr(); }
    void Draw() override {}
    void UnloadTextures() override {}
    void ReloadTextures() override {}
    PropertyKey GetName() const override { return PropertyKey("Idle"); }
};

TEST_F(MorphFixture, NextStateStoredByAHandlerIsReturnedInTheSameFrameOnce) {
    const auto screen = std::make_shared<ScreenMorph>();
    const StatePtr next = std::make_shared<IdleState>();
    const MorphPtr button = MakeMorph("Play", MorphRect(10, 10, 50, 50));
    screen->AddChild(button);
    button->SetAttribute(MORPH_EVENT_MOUSE_L_DOWN,
                         std::make_shared<CallbackHandler>([&](Morph* morph) {
                             morph->GetRoot()->SetAttribute(MORPH_PROPERTY_NEXT_STATE, next);
                             return true;
                         }));
    Frame(20, 20, 0);
    EXPECT_EQ(screen->Update(input, 0.01f), StatePtr());
    Frame(20, 20, LEFT);
    EXPECT_EQ(screen->Update(input, 0.01f), next);
    EXPECT_FALSE(screen->GetAttributes().Contains(MORPH_PROPERTY_NEXT_STATE));
    Frame(20, 20, LEFT);
    EXPECT_EQ(screen->Update(input, 0.01f), StatePtr());
}

TEST_F(MorphFixture, ScreenUpdatesItsTreeAndHighlighters) {
    const auto screen = std::make_shared<ScreenMorph>();
    const auto child = std::make_shared<ExpiringMorph>("Child", 1000);
    const auto rootHighlighter = std::make_shared<CountingHighlighter>();
    const auto childHighlighter = std::make_shared<CountingHighlighter>();
    screen->SetHighlighter(rootHighlighter);
    child->SetHighlighter(childHighlighter);
    screen->AddChild(child);
    Frame(0, 0);
    screen->Update(input, 0.01f);
    screen->Update(input, 0.01f);
    EXPECT_EQ(child->updates, 2);
    EXPECT_EQ(rootHighlighter->updates, 2);
    EXPECT_EQ(childHighlighter->updates, 2);
}

}  // namespace
