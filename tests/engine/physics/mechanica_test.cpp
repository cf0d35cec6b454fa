#include "engine/physics/mechanica.h"

#include <cmath>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "engine/core/exception.h"
#include "tests/engine/error_text.h"
#include "tests/engine/physics/physics_test_world.h"

using namespace orvel;

namespace {

struct ClockCase {
    std::vector<float> frames;  // frame times handed to Update, in order
    int steps;                  // SDK steps taken by the last frame
    float remainder;            // accumulator after the last frame
    float frameTime;            // GetFrameTime after the last frame: the time stepped
};

const float kStep = Mechanica::kStep;

const ClockCase kClockCases[] = {
    // Exactly one step's worth is not more than one step: it waits.
    {{kStep}, 0, kStep, 0.0f},
    {{0.0166f}, 0, 0.0166f, 0.0f},
    {{0.0166f, 0.0166f}, 1, 0.0332f - kStep, kStep},
    {{kStep, kStep}, 1, kStep, kStep},
    {{0.02f}, 1, 0.02f - kStep, kStep},
    {{0.05f}, 2, 0.05f - 2 * kStep, 2 * kStep},
    // The clamp: a long frame takes four steps at most and keeps no debt.
    {{1.0f}, 4, 0.0f, 4 * kStep},
    {{0.07f}, 4, 0.0f, 4 * kStep},
    {{0.0f}, 0, 0.0f, 0.0f},
    // Time that is not a time is no time.
    {{-1.0f}, 0, 0.0f, 0.0f},
    {{std::numeric_limits<float>::quiet_NaN()}, 0, 0.0f, 0.0f},
    {{0.01f, std::numeric_limits<float>::infinity(), 0.01f}, 1, 0.02f - kStep, kStep},
};

TEST(MechanicaClock, FrameTimesAgainstSteps) {
    for (const ClockCase& c : kClockCases) {
        Mechanica world;
        std::shared_ptr<ProbeBody> body = MakeBox(world, 1, 1, 0, 0, 1);
        body->gravity = false;
        for (size_t i = 0; i + 1 < c.frames.size(); ++i) {
            world.Update(c.frames[i]);
        }
        const int before = body->forceCalls;
        world.Update(c.frames.back());
        const float firstFrame = c.frames.front();
        SCOPED_TRACE(testing::Message()
                     << "frames from " << firstFrame << ", " << c.frames.size() << " of them");
        EXPECT_EQ(body->forceCalls - before, c.steps);
        EXPECT_NEAR(world.GetAccumulator(), c.remainder, 1e-6f);
        EXPECT_NEAR(world.GetFrameTime(), c.frameTime, 1e-6f);
    }
}

// Timers add up the frame times; over many frames of any length below the
// clamp they must see the time that passed, less what is still unstepped.
TEST(MechanicaClock, FrameTimesAddUpToTheTimeThatPassed) {
    const float frames[] = {1.0f / 70.0f, 1.0f / 60.0f, 0.03f, 0.0201f};
    for (const float frame : frames) {
        Mechanica world;
        double stepped = 0.0;
        for (int i = 0; i < 600; ++i) {
            world.Update(frame);
            stepped += world.GetFrameTime();
        }
        SCOPED_TRACE(testing::Message() << "frames of " << frame << " s");
        EXPECT_NEAR(stepped + world.GetAccumulator(), 600.0 * frame, 1e-3);
    }
}

TEST(MechanicaClock, StepsAreAlwaysASixtiethAndClampedFramesTakeFourAtMost) {
    Mechanica world;
    std::shared_ptr<ProbeBody> body = MakeBox(world, 1, 1, 0, 0, 1);
    world.Update(0.03f);  // one step, 0.0133 left
    world.Update(1.0f);   // clamped to 1/15 s: four steps, nothing left over
    EXPECT_EQ(body->forceCalls, 5);
    world.Update(0.0f);
    EXPECT_EQ(body->forceCalls, 5);
    EXPECT_NEAR(world.GetTimeStep(), kStep, 1e-6f);
    EXPECT_NEAR(world.GetAccumulator(), 0.0f, 1e-6f);
}

TEST(MechanicaClock, AFallingBodyFollowsGravityAtTheFixedStep) {
    Mechanica world;
    std::shared_ptr<ProbeBody> body = MakeBox(world, 1, 1, 0, 50, 2);
    PhysBodySetLinearDamping(body->GetPhysBody(), 0.0f);
    for (int i = 0; i < 61; ++i) {
        world.Update(kStep);  // the first frame waits, then one step a frame
    }
    float velocity[3];
    PhysBodyGetVelocity(body->GetPhysBody(), velocity);
    EXPECT_NEAR(velocity[1], -9.8f, 0.1f);
    EXPECT_NEAR(body->GetPosition().y, 50.0f - 0.5f * 9.8f, 0.15f);
}

TEST(MechanicaPasses, DeadBodiesLeaveAndTheRestAreVisitedOnce) {
    Mechanica world;
    std::vector<std::shared_ptr<ProbeBody>> bodies;
    for (int i = 0; i < 4; ++i) {
        bodies.push_back(MakeBox(world, 1, 1, float(i * 3), 0, 1));
    }
    std::vector<std::weak_ptr<ProbeBody>> watch(bodies.begin(), bodies.end());
    std::vector<std::shared_ptr<Body>> ordered;
    world.CopyBodyList(ordered);
    ProbeBody* first = static_cast<ProbeBody*>(ordered[0].get());
    ProbeBody* second = static_cast<ProbeBody*>(ordered[1].get());
    first->preStepResult = false;
    second->updateResult = false;
    bodies.clear();
    ordered.clear();

    world.PreStepBodies();
    EXPECT_EQ(world.GetBodyCount(), 3u);
    EXPECT_EQ(second->preSteps, 1);  // the body after the removed one
    world.UpdateBodies();
    EXPECT_EQ(world.GetBodyCount(), 2u);
    int expired = 0;
    for (const std::weak_ptr<ProbeBody>& body : watch) {
        if (body.expired()) {
            ++expired;
        } else {
            EXPECT_EQ(body.lock()->preSteps, 1);
            EXPECT_EQ(body.lock()->updates, 1);
        }
    }
    EXPECT_EQ(expired, 2);
}

TEST(MechanicaPasses, UpdateClearsEveryForceFirstAndDrawingDrawsEveryBody) {
    Mechanica world;
    std::shared_ptr<ProbeBody> body = MakeBox(world, 1, 1, 0, 0, 1);
    std::shared_ptr<ProbeBody> other = MakeBox(world, 1, 1, 5, 0, 1);
    world.DrawBodies();
    EXPECT_EQ(body->draws + other->draws, 2);
    EXPECT_EQ(body->draws, 1);
    body->AddForce(Vector4(4, 5, 6));
    world.UpdateBodies();
    EXPECT_EQ(body->GetForce().x, 0.0f);
    EXPECT_EQ(body->GetForce().y, 0.0f);
    EXPECT_EQ(body->GetForce().w, 1.0f);
}

TEST(MechanicaBodies, AddBodyTwiceAndCopyList) {
    Mechanica world;
    std::shared_ptr<ProbeBody> body = MakeBox(world, 1, 1, 0, 0, 1);
    world.AddBody(body);
    EXPECT_EQ(world.GetBodyCount(), 1u);
    EXPECT_TRUE(world.Contains(body.get()));
    std::vector<std::shared_ptr<Body>> list(1);
    EXPECT_EQ(world.CopyBodyList(list), 1);
    EXPECT_EQ(list.size(), 2u);
    EXPECT_EQ(list[1].get(), body.get());
}

// The passes meet bodies in the order they were made, whatever their
// addresses: freed and reused memory must not reorder a replayed match.
TEST(MechanicaBodies, BodiesAreWalkedInTheOrderTheyWereMade) {
    Mechanica world;
    std::vector<std::shared_ptr<ProbeBody>> made;
    for (int i = 0; i < 12; ++i) {
        made.push_back(MakeBox(world, 1, 1, float(i * 3), 0, 1));
        if (i % 3 == 1) {
            // Frees memory that the next bodies may take, ahead of or behind
            // the ones still alive.
            made[size_t(i) - 1]->preStepResult = false;
            made[size_t(i) - 1].reset();
            world.PreStepBodies();
        }
    }
    std::vector<std::shared_ptr<Body>> walked;
    world.CopyBodyList(walked);
    std::vector<Body*> alive;
    for (const std::shared_ptr<ProbeBody>& body : made) {
        if (body) {
            EXPECT_TRUE(world.Contains(body.get()));
            alive.push_back(body.get());
        }
    }
    ASSERT_EQ(walked.size(), alive.size());
    for (size_t i = 0; i < walked.size(); ++i) {
        EXPECT_EQ(walked[i].get(), alive[i]) << "body " << i;
        if (i > 0) {
            EXPECT_LT(walked[i - 1]->GetSerial(), walked[i]->GetSerial());
        }
    }
}

TEST(MechanicaBodies, DestroyingTheWorldDestroysItsBodiesFirst) {
    std::weak_ptr<ProbeBody> weak;
    std::shared_ptr<ProbeBody> kept;
    {
        Mechanica world;
        weak = MakeBox(world, 1, 1, 0, 0, 1);
        kept = MakeBox(world, 1, 1, 5, 0, 1);
    }
    EXPECT_TRUE(weak.expired());
    // A body that outlives the world has lost its SDK body without harm.
    EXPECT_EQ(kept->GetPhysBody(), nullptr);
}

TEST(MechanicaBodies, ABodyThatLeavesTheWorldBoxDiesAtTheNextPass) {
    Mechanica world;
    world.SetWorldBox(Vector4(-10, -10, -10), Vector4(10, 10, 10));
    Vector4 min;
    Vector4 max;
    world.GetWorldBox(min, max);
    EXPECT_EQ(min.x, -10.0f);
    EXPECT_EQ(max.z, 10.0f);
    std::shared_ptr<ProbeBody> body = MakeBox(world, 1, 1, 0, 0, 1);
    for (int i = 0; i < 150 && body->IsAlive(); ++i) {
        world.Update(kStep * 1.5f);
    }
    EXPECT_FALSE(body->IsAlive());
    std::weak_ptr<ProbeBody> weak = body;
    body.reset();
    world.UpdateBodies();
    EXPECT_TRUE(weak.expired());
}

TEST(MechanicaBodies, BodyAtPointFindsOnlyNamedBodies) {
    Mechanica world;
    std::shared_ptr<ProbeBody> tank = MakeBox(world, 2, 2, 0, 0, 0);
    tank->SetObjectName("Tank");
    std::shared_ptr<ProbeBody> infantry = MakeBox(world, 2, 2, 10, 0, 0);
    infantry->SetObjectName("Infantry");
    const std::vector<PropertyKey> both = {"Infantry", "Tank"};
    EXPECT_EQ(world.BodyAtPoint(Vector4(0.5f, 0.5f, 0), both), tank.get());
    EXPECT_EQ(world.BodyAtPoint(Vector4(10.5f, -0.5f, 0), both), infantry.get());
    EXPECT_EQ(world.BodyAtPoint(Vector4(5, 0, 0), both), nullptr);
    EXPECT_EQ(world.BodyAtPoint(Vector4(0, 0, 0), {"Infantry"}), nullptr);
    EXPECT_EQ(world.BodyAtPoint(Vector4(0, 0, 0), {}), nullptr);
}

TEST(MechanicaBodies, KeptObjectsLiveUntilReleased) {
    Mechanica world;
    std::shared_ptr<int> object = std::make_shared<int>(7);
    std::weak_ptr<int> weak = object;
    world.KeepObject(object);
    object.reset();
    EXPECT_FALSE(weak.expired());
    world.ReleaseKeptObjects();
    EXPECT_TRUE(weak.expired());
    EXPECT_EQ(world.GetKeptObjectCount(), 0u);
}

TEST(MechanicaMaterials, NewGroupsMeetNoEarlierGroupAndNamesKeepTheirIds) {
    Mechanica world;
    world.CreateMaterialGroup("mg_a");
    world.CreateMaterialGroup("mg_b");
    const PhysMaterialGroupId a = world.GetMaterialGroupId("mg_a");
    world.CreateMaterialGroup("mg_a");
    EXPECT_EQ(world.GetMaterialGroupId("mg_a"), a);
    EXPECT_NE(world.GetMaterialGroupId("mg_b"), a);
    EXPECT_TRUE(world.HasMaterialGroup("mg_b"));
    EXPECT_FALSE(world.HasMaterialGroup("mg_c"));
    EXPECT_EQ(ErrorText([&] { world.GetMaterialGroupId("mg_c"); }),
              "A string could not be found.\nString:mg_c\nIn material groups");

    // a box of group b falls through a floor of group a, and rests on a
    // floor of its own group
    std::shared_ptr<ProbeBody> floorA = MakeBox(world, 20, 1, 0, 0, 0, "mg_a");
    std::shared_ptr<ProbeBody> fallingB = MakeBox(world, 1, 1, 0, 2, 1, "mg_b");
    std::shared_ptr<ProbeBody> floorB = MakeBox(world, 20, 1, 30, 0, 0, "mg_b");
    std::shared_ptr<ProbeBody> restingB = MakeBox(world, 1, 1, 30, 2, 1, "mg_b");
    RunFrames(world, 120);
    EXPECT_LT(fallingB->GetPosition().y, -5.0f);
    EXPECT_NEAR(restingB->GetPosition().y, 1.0f, 0.05f);
}

TEST(MechanicaMaterials, ScaleMustBePositive) {
    Mechanica world;
    EXPECT_EQ(world.GetScale(), 1.0f);
    world.SetScale(30.0f);
    EXPECT_EQ(world.GetScale(), 30.0f);
    EXPECT_NE(ErrorText([&] { world.SetScale(0.0f); }), "no exception");
    EXPECT_NE(ErrorText([&] { world.SetScale(std::nanf("")); }), "no exception");
    EXPECT_EQ(world.GetScale(), 30.0f);
}

}  // namespace
