#include "dynamics/material.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

TEST(MaterialPairs, GroupsGetAPairWithEveryEarlierGroupAndThemselves) {
    phMaterialPairs pairs;
    EXPECT_EQ(pairs.GroupCount(), 1);
    EXPECT_EQ(pairs.PairCount(), 1u);
    EXPECT_EQ(pairs.CreateGroup(), 1);
    EXPECT_EQ(pairs.PairCount(), 3u);
    EXPECT_NE(pairs.Find(1, 0), nullptr);
    EXPECT_NE(pairs.Find(1, 1), nullptr);
    for (int i = 2; i < 8; ++i) {
        EXPECT_EQ(pairs.CreateGroup(), i);
    }
    // n groups have n (n + 1) / 2 pairs, all distinct.
    EXPECT_EQ(pairs.PairCount(), 36u);
    for (int a = 0; a < 8; ++a) {
        for (int b = 0; b < 8; ++b) {
            ASSERT_NE(pairs.Find(a, b), nullptr);
            EXPECT_EQ(pairs.Find(a, b), pairs.Find(b, a));
            if (a != b) {
                EXPECT_NE(pairs.Find(a, b), pairs.Find(a, a));
            }
        }
    }
    EXPECT_EQ(phMaterialPairs::PairKey(3, 7), (7u << 16) + 3u);
    EXPECT_EQ(phMaterialPairs::PairKey(7, 3), (7u << 16) + 3u);
}

TEST(MaterialPairs, NewPairsHoldTheDefaults) {
    phMaterialPairs pairs;
    const phMaterial* pair = pairs.Find(0, 0);
    ASSERT_NE(pair, nullptr);
    EXPECT_FLOAT_EQ(pair->softness, 0.1f);
    EXPECT_FLOAT_EQ(pair->elasticity, 0.4f);
    EXPECT_FLOAT_EQ(pair->staticFriction[0], 0.9f);
    EXPECT_FLOAT_EQ(pair->staticFriction[1], 0.9f);
    EXPECT_FLOAT_EQ(pair->kineticFriction[0], 0.5f);
    EXPECT_FLOAT_EQ(pair->kineticFriction[1], 0.5f);
    EXPECT_EQ(pair->flags, kMaterialCollidable | kMaterialFriction0 | kMaterialFriction1);
    EXPECT_EQ(pair->beginCallback, nullptr);
    EXPECT_EQ(pair->userData, nullptr);
}

TEST(MaterialPairs, RemoveAllStartsAgainFromTheDefaultGroup) {
    phMaterialPairs pairs;
    pairs.CreateGroup();
    pairs.CreateGroup();
    pairs.SetElasticity(0, 0, 1.5f);
    pairs.RemoveAll();
    EXPECT_EQ(pairs.GroupCount(), 1);
    EXPECT_EQ(pairs.PairCount(), 1u);
    EXPECT_EQ(pairs.Find(1, 0), nullptr);
    EXPECT_FLOAT_EQ(pairs.Find(0, 0)->elasticity, 0.4f);
    EXPECT_EQ(pairs.CreateGroup(), 1);
}

TEST(MaterialPairs, SettersWithIdsThatHaveNoPairDoNothing) {
    phMaterialPairs pairs;
    pairs.CreateGroup();
    const int bad[][2] = {{-1, 0}, {0, -1}, {2, 0}, {1, 5}, {70000, 0}, {-65536, 0}, {65536, 1}};
    for (const auto& ids : bad) {
        EXPECT_EQ(pairs.Find(ids[0], ids[1]), nullptr) << ids[0] << ", " << ids[1];
        pairs.SetCollidable(ids[0], ids[1], 0);
        pairs.SetCollisionCallback(ids[0], ids[1], nullptr, nullptr, nullptr, nullptr);
        pairs.SetFriction(ids[0], ids[1], 1.0f, 1.0f);
        pairs.SetElasticity(ids[0], ids[1], 1.0f);
        pairs.SetSoftness(ids[0], ids[1], 1.0f);
    }
    // Id 65536 would alias id 0 in the key of a pair with id 1.
    for (int a = 0; a < 2; ++a) {
        for (int b = 0; b < 2; ++b) {
            const phMaterial* pair = pairs.Find(a, b);
            EXPECT_EQ(pair->flags, kMaterialCollidable | kMaterialFriction0 | kMaterialFriction1);
            EXPECT_FLOAT_EQ(pair->elasticity, 0.4f);
            EXPECT_FLOAT_EQ(pair->softness, 0.1f);
            EXPECT_FLOAT_EQ(pair->staticFriction[0], 0.9f);
        }
    }
}

TEST(MaterialPairs, ClampsOfTheSetters) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct FrictionCase {
        float staticIn, kineticIn;
        float staticOut, kineticOut;
        bool frictionOn;
    };
    const FrictionCase friction[] = {
        {0.5f, 0.8f, 0.8f, 0.8f, true},  // static raised to kinetic
        {0.6f, 0.3f, 0.6f, 0.3f, true},    {-0.6f, -0.3f, 0.6f, 0.3f, true},  // magnitudes
        {5.0f, 3.0f, 2.0f, 2.0f, true},                                       // both capped at 2
        {0.5f, 0.001f, 0.5f, 0.01f, true},  // kinetic at least 0.01
        {0.005f, 0.3f, 0.9f, 0.5f, false},  // off, coefficients kept
        {nan, 0.3f, 0.9f, 0.5f, false},    {0.5f, nan, 0.5f, 0.01f, true},
    };
    for (const FrictionCase& c : friction) {
        phMaterialPairs pairs;
        pairs.SetFriction(0, 0, c.staticIn, c.kineticIn);
        const phMaterial* pair = pairs.Find(0, 0);
        for (int i = 0; i < 2; ++i) {
            EXPECT_FLOAT_EQ(pair->staticFriction[i], c.staticOut)
                << c.staticIn << ", " << c.kineticIn;
            EXPECT_FLOAT_EQ(pair->kineticFriction[i], c.kineticOut)
                << c.staticIn << ", " << c.kineticIn;
        }
        const uint32_t both = kMaterialFriction0 | kMaterialFriction1;
        EXPECT_EQ(pair->flags & both, c.frictionOn ? both : 0u) << c.staticIn;
        EXPECT_TRUE(pair->flags & kMaterialCollidable);
    }

    struct ValueCase {
        float in, elasticity, softness;
    };
    const ValueCase values[] = {
        {0.5f, 0.5f, 0.5f}, {0.0f, 0.01f, 0.01f}, {-3.0f, 0.01f, 0.01f},
        {1.5f, 1.5f, 1.0f}, {9.0f, 2.0f, 1.0f},   {nan, 0.01f, 0.01f},
    };
    for (const ValueCase& c : values) {
        phMaterialPairs pairs;
        pairs.SetElasticity(0, 0, c.in);
        pairs.SetSoftness(0, 0, c.in);
        EXPECT_FLOAT_EQ(pairs.Find(0, 0)->elasticity, c.elasticity) << c.in;
        EXPECT_FLOAT_EQ(pairs.Find(0, 0)->softness, c.softness) << c.in;
    }
}

TEST(MaterialPairs, CollidableFlagAndCallbacksBelongToOnePair) {
    phMaterialPairs pairs;
    pairs.CreateGroup();
    int user = 0;
    pairs.SetCollidable(1, 0, 0);
    pairs.SetCollisionCallback(0, 1, &user, nullptr, nullptr, nullptr);
    EXPECT_FALSE(pairs.Find(0, 1)->flags & kMaterialCollidable);
    EXPECT_EQ(pairs.Find(1, 0)->userData, &user);
    EXPECT_TRUE(pairs.Find(0, 0)->flags & kMaterialCollidable);
    EXPECT_TRUE(pairs.Find(1, 1)->flags & kMaterialCollidable);
    pairs.SetCollidable(0, 1, 7);
    EXPECT_TRUE(pairs.Find(0, 1)->flags & kMaterialCollidable);
}

namespace {

// What the callbacks saw, and what they answer.
struct CallbackLog {
    int begins = 0;
    int processes = 0;
    int ends = 0;
    int beginAnswer = 1;
    int processAnswer = 1;
    bool clearCollidable = false;
    PhysBody* body0 = nullptr;
};

CallbackLog* g_log = nullptr;

int Begin(PhysMaterial*, PhysBody* body0, PhysBody*) {
    ++g_log->begins;
    g_log->body0 = body0;
    return g_log->beginAnswer;
}

int Process(PhysMaterial* material, PhysContact*) {
    ++g_log->processes;
    phMaterial* record = reinterpret_cast<phMaterial*>(material);
    if (g_log->clearCollidable) {
        record->flags &= ~kMaterialCollidable;
    }
    return g_log->processAnswer;
}

void End(PhysMaterial*) { ++g_log->ends; }

// The narrow phase's use of a pair for one touching pair with one contact
// point: returns whether the point was kept.
bool TouchOnce(phMaterialPairs& pairs, PhysBody* body0, PhysBody* body1) {
    phMaterial& pair = *pairs.Find(0, 1);
    if (!phMaterialBeginContact(pair, 1.0f / 60.0f, body0, body1)) {
        return false;
    }
    phMaterial contact;
    phMaterialCopyFromPair(contact, pair);
    const bool kept = phMaterialProcessContact(pair, contact, nullptr);
    phMaterialEndContact(pair);
    return kept;
}

}  // namespace

TEST(MaterialPairs, CallbacksAcceptRefuseOrDropPoints) {
    struct Case {
        const char* what;
        bool collidable;
        int beginAnswer, processAnswer;
        bool clearCollidable;
        int begins, processes, ends;
        bool kept;
    };
    const Case cases[] = {
        {"accepted", true, 1, 1, false, 1, 1, 1, true},
        {"refused by begin", true, 0, 1, false, 1, 0, 0, false},
        {"point dropped by process", true, 1, 0, false, 1, 1, 1, false},
        {"point made non-collidable", true, 1, 1, true, 1, 1, 1, false},
        {"pair not collidable", false, 1, 1, false, 0, 0, 0, false},
    };
    for (const Case& c : cases) {
        CallbackLog log;
        log.beginAnswer = c.beginAnswer;
        log.processAnswer = c.processAnswer;
        log.clearCollidable = c.clearCollidable;
        g_log = &log;
        phMaterialPairs pairs;
        pairs.CreateGroup();
        pairs.SetCollidable(0, 1, c.collidable);
        pairs.SetCollisionCallback(0, 1, &log, Begin, Process, End);
        PhysBody* body0 = reinterpret_cast<PhysBody*>(&log);
        EXPECT_EQ(TouchOnce(pairs, body0, nullptr), c.kept) << c.what;
        EXPECT_EQ(log.begins, c.begins) << c.what;
        EXPECT_EQ(log.processes, c.processes) << c.what;
        EXPECT_EQ(log.ends, c.ends) << c.what;
        if (c.begins) {
            EXPECT_EQ(log.body0, body0) << c.what;
        }
        // The pair itself stays collidable whatever a contact's copy did.
        EXPECT_EQ(bool(pairs.Find(0, 1)->flags & kMaterialCollidable), c.collidable) << c.what;
        g_log = nullptr;
    }
}

TEST(MaterialPairs, ContactCopyTakesThePairsValues) {
    phMaterialPairs pairs;
    int user = 0;
    pairs.SetFriction(0, 0, 1.2f, 0.7f);
    pairs.SetElasticity(0, 0, 0.2f);
    pairs.SetSoftness(0, 0, 0.3f);
    pairs.SetCollisionCallback(0, 0, &user, nullptr, nullptr, nullptr);
    phMaterial& pair = *pairs.Find(0, 0);
    ASSERT_TRUE(phMaterialBeginContact(pair, 0.01f, nullptr, nullptr));
    EXPECT_FLOAT_EQ(pair.timeStep, 0.01f);
    phMaterial contact;
    contact.point = phVector(1.0f, 2.0f, 3.0f);
    phMaterialCopyFromPair(contact, pair);
    EXPECT_FLOAT_EQ(contact.staticFriction[1], 1.2f);
    EXPECT_FLOAT_EQ(contact.kineticFriction[0], 0.7f);
    EXPECT_FLOAT_EQ(contact.elasticity, 0.2f);
    EXPECT_FLOAT_EQ(contact.softness, 0.3f);
    EXPECT_FLOAT_EQ(contact.timeStep, 0.01f);
    EXPECT_EQ(contact.userData, &user);
    EXPECT_FLOAT_EQ(contact.point.y, 2.0f);
}

TEST(MaterialContact, FrictionStateAndTangentDirection) {
    phMaterial contact;
    contact.normal = phVector(0.0f, 1.0f, 0.0f, 1.0f);
    contact.SetContactFrictionState(0, 0);
    EXPECT_EQ(contact.flags, kMaterialCollidable | kMaterialFriction1);
    contact.SetContactFrictionState(0, 5);
    EXPECT_EQ(contact.flags, kMaterialCollidable);
    contact.SetContactFrictionState(3, 1);
    EXPECT_EQ(contact.flags, kMaterialCollidable | kMaterialFriction1);

    const float along[3] = {2.0f, 0.0f, 0.0f};
    contact.SetContactTangentDirection(along);
    // tangent 1 = x cross y = z; tangent 0 = y cross z = x.
    EXPECT_NEAR(contact.tangent1.z, 1.0f, 1e-6f);
    EXPECT_NEAR(contact.tangent0.x, 1.0f, 1e-6f);
    EXPECT_NEAR(phDot(contact.tangent0, contact.normal), 0.0f, 1e-6f);
    EXPECT_FLOAT_EQ(contact.tangent1.w, 1.0f);

    const phVector before0 = contact.tangent0;
    const float parallel[3] = {0.0f, -3.0f, 0.0f};
    contact.SetContactTangentDirection(parallel);
    EXPECT_FLOAT_EQ(contact.tangent0.x, before0.x);
    EXPECT_FLOAT_EQ(contact.tangent1.z, 1.0f);

    contact.point = phVector(4.0f, 5.0f, 6.0f);
    float position[3], normal[3];
    contact.GetContactPositionAndNormal(position, normal);
    EXPECT_FLOAT_EQ(position[2], 6.0f);
    EXPECT_FLOAT_EQ(normal[1], 1.0f);
}
