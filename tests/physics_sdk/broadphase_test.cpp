#include "collision/broadphase.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <random>
#include <set>
#include <utility>
#include <vector>

namespace {

// A plain box that the grid can hold, with the pair-rule flags set by hand and
// an exact ray test against its own box.
class TestBox : public phBroadPhaseBody {
public:
    TestBox(const phVector& min, const phVector& max, bool active = true, bool isStatic = false)
        : m_active(active), m_static(isStatic) {
        SetBox(min, max);
    }

    void SetBox(const phVector& min, const phVector& max) {
        m_boxMin = min;
        m_boxMax = max;
    }
    void SetActive(bool active) { m_active = active; }

    bool IsActive() const override { return m_active; }
    bool IsStatic() const override { return m_static; }

    float RayHit(const phVector& p0, const phVector& p1, phVector& normal,
                 int& attribute) const override {
        float enter = 0.0f;
        float leave = 1.0f;
        int enterAxis = -1;
        float enterSign = 0.0f;
        for (int i = 0; i < 3; ++i) {
            const float d = p1[i] - p0[i];
            if (d == 0.0f) {
                if (p0[i] <= m_boxMin[i] || p0[i] >= m_boxMax[i]) {
                    return 1.2f;
                }
                continue;
            }
            float t0 = (m_boxMin[i] - p0[i]) / d;
            float t1 = (m_boxMax[i] - p0[i]) / d;
            float sign = -1.0f;
            if (t0 > t1) {
                std::swap(t0, t1);
                sign = 1.0f;
            }
            if (t0 > enter) {
                enter = t0;
                enterAxis = i;
                enterSign = sign;
            }
            leave = std::min(leave, t1);
        }
        if (enter > leave || enter >= 1.0f) {
            return 1.2f;
        }
        normal = phVector(0.0f, 0.0f, 0.0f, 1.0f);
        if (enterAxis >= 0) {
            normal[enterAxis] = enterSign;
        }
        attribute = 7;
        return enter;
    }

private:
    bool m_active;
    bool m_static;
};

using Pair = std::pair<const phBroadPhaseBody*, const phBroadPhaseBody*>;

Pair Ordered(const phBroadPhaseBody* a, const phBroadPhaseBody* b) {
    return a < b ? Pair(a, b) : Pair(b, a);
}

class PairRecorder : public phBroadPhasePairHandler {
public:
    void OnPair(phBroadPhaseBody* body0, phBroadPhaseBody* body1) override {
        pairs.push_back(Ordered(body0, body1));
    }
    std::vector<Pair> pairs;
};

// Records each hit; answers with a fixed bound, or with the hit's own
// parameter when `keepNearest` is set.
class RayRecorder : public phBroadPhaseRayHandler {
public:
    explicit RayRecorder(float answer, bool keepNearest = false)
        : m_answer(answer), m_keepNearest(keepNearest) {}

    float OnHit(phBroadPhaseBody* body, const phVector& normal, int attribute, float t) override {
        hits.push_back(Hit{body, normal, attribute, t});
        return m_keepNearest ? t : m_answer;
    }

    struct Hit {
        phBroadPhaseBody* body;
        phVector normal;
        int attribute;
        float t;
    };
    std::vector<Hit> hits;

private:
    float m_answer;
    bool m_keepNearest;
};

phVector V(float x, float y, float z) { return phVector(x, y, z, 1.0f); }

phVector Splat(float v) { return V(v, v, v); }

// The grid as the world drives it: a new body goes to the root and is refitted
// at once.
void AddBody(phBroadPhase& grid, phBroadPhaseBody& body) {
    grid.AddBodyToRoot(&body);
    grid.UpdateBodyCell(&body);
}

// Where the grid keeps a body, as (level, x, y, z).
struct CellAddress {
    int level, x, y, z;
    bool operator==(const CellAddress& o) const {
        return level == o.level && x == o.x && y == o.y && z == o.z;
    }
};

CellAddress Locate(phBroadPhase& grid, const phBroadPhaseBody& body) {
    for (int l = 0; l < phBroadPhase::kLevelCount; ++l) {
        const int n = grid.Level(l).CellsPerAxis();
        for (int y = 0; y < n; ++y) {
            for (int z = 0; z < n; ++z) {
                for (int x = 0; x < n; ++x) {
                    if (&grid.Level(l).GetCell(x, y, z) == body.Cell()) {
                        return CellAddress{l, x, y, z};
                    }
                }
            }
        }
    }
    return CellAddress{-1, 0, 0, 0};
}

}  // namespace

TEST(BroadPhaseGeometry, CellSizesAndOriginFollowTheWorldBox) {
    struct Case {
        phVector min, max;
        float cell[4];
        phVector origin;
    };
    const Case cases[] = {
        {Splat(-100.0f), Splat(100.0f), {256.0f, 128.0f, 64.0f, 32.0f}, Splat(-128.0f)},
        {Splat(-1000.0f), Splat(1000.0f), {2000.0f, 1000.0f, 500.0f, 250.0f}, Splat(-1000.0f)},
        // The widest axis sets the size; the cube is centred on the world box.
        {V(0.0f, 0.0f, 0.0f),
         V(400.0f, 100.0f, 100.0f),
         {400.0f, 200.0f, 100.0f, 50.0f},
         V(0.0f, -150.0f, -150.0f)},
        // A small world still gets cells of at least 32 units.
        {Splat(-1.0f), Splat(1.0f), {256.0f, 128.0f, 64.0f, 32.0f}, Splat(-128.0f)},
    };
    for (const Case& c : cases) {
        phBroadPhase grid;
        grid.SetWorldSize(c.min, c.max);
        for (int l = 0; l < 4; ++l) {
            EXPECT_FLOAT_EQ(grid.Level(l).CellSize(), c.cell[l]) << "level " << l;
            EXPECT_FLOAT_EQ(grid.Level(l).InvCellSize() * c.cell[l], 1.0f);
        }
        for (int i = 0; i < 3; ++i) {
            EXPECT_FLOAT_EQ(grid.GridOrigin()[i], c.origin[i]);
        }
        // The last cell of the finest level ends on the far side of the cube.
        const phBroadPhaseCell& last = grid.Level(3).GetCell(7, 7, 7);
        EXPECT_FLOAT_EQ(last.boxMax.x, c.origin.x + 8.0f * c.cell[3]);
        EXPECT_FLOAT_EQ(last.boxMin.y, c.origin.y + 7.0f * c.cell[3]);
    }
}

TEST(BroadPhaseGeometry, ConstructorUsesTheDefaultWorldBox) {
    phBroadPhase grid;
    EXPECT_FLOAT_EQ(grid.WorldMin().x, -1000.0f);
    EXPECT_FLOAT_EQ(grid.WorldMax().z, 1000.0f);
    EXPECT_FLOAT_EQ(grid.Level(3).CellSize(), 250.0f);
}

TEST(BroadPhaseGeometry, NonFiniteWorldBoxIsIgnored) {
    phBroadPhase grid;
    grid.SetWorldSize(Splat(-100.0f), Splat(100.0f));
    const float nan = std::numeric_limits<float>::quiet_NaN();
    grid.SetWorldSize(V(nan, 0.0f, 0.0f), Splat(100.0f));
    grid.SetWorldSize(Splat(-100.0f), V(0.0f, std::numeric_limits<float>::infinity(), 0.0f));
    EXPECT_FLOAT_EQ(grid.Level(0).CellSize(), 256.0f);
    EXPECT_FLOAT_EQ(grid.WorldMin().x, -100.0f);
}

TEST(BroadPhaseGeometry, BodiesLandInTheFinestCellThatHoldsTheirBox) {
    const float big = 1e30f;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        const char* what;
        phVector min, max;
        CellAddress cell;
    };
    // Default world -100..100: origin -128, level-3 cells of 32 units.
    const Case cases[] = {
        {"small box", Splat(1.0f), Splat(2.0f), {3, 4, 4, 4}},
        {"straddles a level-3 boundary", V(30.0f, 1.0f, 1.0f), V(34.0f, 2.0f, 2.0f), {2, 2, 2, 2}},
        {"straddles a level-2 boundary", V(62.0f, 1.0f, 1.0f), V(66.0f, 2.0f, 2.0f), {1, 1, 1, 1}},
        {"straddles the centre on x", V(-1.0f, 1.0f, 1.0f), V(1.0f, 2.0f, 2.0f), {0, 0, 0, 0}},
        {"straddles the centre on y", V(1.0f, -1.0f, 1.0f), V(2.0f, 1.0f, 2.0f), {0, 0, 0, 0}},
        {"straddles the centre on z", V(1.0f, 1.0f, -1.0f), V(2.0f, 2.0f, 1.0f), {0, 0, 0, 0}},
        {"low corner cell", Splat(-127.0f), Splat(-126.0f), {3, 0, 0, 0}},
        {"outside the grid on +x", V(200.0f, 1.0f, 1.0f), V(210.0f, 2.0f, 2.0f), {3, 7, 4, 4}},
        {"outside the grid on -y", V(1.0f, -500.0f, 1.0f), V(2.0f, -400.0f, 2.0f), {3, 4, 0, 4}},
        {"huge, far outside", Splat(big), Splat(2.0f * big), {3, 7, 7, 7}},
        {"huge, far outside below", Splat(-2.0f * big), Splat(-big), {3, 0, 0, 0}},
        {"huge, covers everything", Splat(-big), Splat(big), {0, 0, 0, 0}},
        {"infinite",
         Splat(-std::numeric_limits<float>::infinity()),
         Splat(std::numeric_limits<float>::infinity()),
         {0, 0, 0, 0}},
        {"NaN", Splat(nan), Splat(nan), {3, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        phBroadPhase grid;
        grid.SetWorldSize(Splat(-100.0f), Splat(100.0f));
        TestBox box(c.min, c.max);
        AddBody(grid, box);
        const CellAddress where = Locate(grid, box);
        EXPECT_TRUE(where == c.cell) << c.what << ": level " << where.level << " (" << where.x
                                     << ", " << where.y << ", " << where.z << ")";
        EXPECT_EQ(box.Cell()->count, 1u) << c.what;
        EXPECT_EQ(box.Cell()->changed, 1u) << c.what;
        grid.RemoveBodyFromCell(&box);
        EXPECT_EQ(box.Cell(), nullptr);
    }
}

TEST(BroadPhaseGeometry, MovingABodyMovesItBetweenCells) {
    phBroadPhase grid;
    grid.SetWorldSize(Splat(-100.0f), Splat(100.0f));
    TestBox box(Splat(1.0f), Splat(2.0f));
    AddBody(grid, box);
    phBroadPhaseCell* first = box.Cell();
    box.SetBox(V(-1.0f, 1.0f, 1.0f), V(1.0f, 2.0f, 2.0f));
    grid.UpdateBodyCell(&box);
    EXPECT_TRUE(Locate(grid, box) == (CellAddress{0, 0, 0, 0}));
    EXPECT_EQ(first->count, 0u);
    EXPECT_EQ(first->changed, 0u);
    EXPECT_EQ(first->lists[0].PageCount(), 0);
}

// Ray casts skip the levels that hold no body: each level's count must follow
// adds, moves between levels, world resizes and removals.
TEST(BroadPhaseGeometry, LevelBodyCountsFollowTheBodies) {
    phBroadPhase grid;
    grid.SetWorldSize(Splat(-100.0f), Splat(100.0f));
    auto counts = [&grid]() {
        std::vector<int> result;
        for (int l = 0; l < phBroadPhase::kLevelCount; ++l) {
            result.push_back(grid.Level(l).BodyCount());
        }
        return result;
    };
    TestBox small(Splat(1.0f), Splat(2.0f));
    TestBox large(Splat(-90.0f), Splat(90.0f));
    AddBody(grid, small);
    AddBody(grid, large);
    const int smallLevel = Locate(grid, small).level;
    const int largeLevel = Locate(grid, large).level;
    ASSERT_NE(smallLevel, largeLevel);
    std::vector<int> expected(phBroadPhase::kLevelCount, 0);
    ++expected[smallLevel];
    ++expected[largeLevel];
    EXPECT_EQ(counts(), expected);
    // Moved onto a cell border, the small box climbs to the root.
    small.SetBox(V(-1.0f, 1.0f, 1.0f), V(1.0f, 2.0f, 2.0f));
    grid.UpdateBodyCell(&small);
    --expected[smallLevel];
    ++expected[Locate(grid, small).level];
    EXPECT_EQ(counts(), expected);
    grid.SetWorldSize(Splat(-1000.0f), Splat(1000.0f));
    int total = 0;
    for (int count : counts()) {
        total += count;
    }
    EXPECT_EQ(total, 2);
    grid.RemoveBodyFromCell(&small);
    grid.RemoveBodyFromCell(&large);
    EXPECT_EQ(counts(), std::vector<int>(phBroadPhase::kLevelCount, 0));
}

TEST(BroadPhaseList, PagesFillAndEmptyAsBodiesComeAndGo) {
    std::vector<std::unique_ptr<TestBox>> boxes;
    phBroadPhaseList list(0);
    for (int i = 0; i < 70; ++i) {
        const float x = float((i * 37) % 70);
        boxes.push_back(std::make_unique<TestBox>(V(x, 0.0f, 0.0f), V(x + 1.0f, 1.0f, 1.0f)));
        list.Append(boxes.back().get());
    }
    EXPECT_EQ(list.PageCount(), 3);
    list.Sort();
    EXPECT_TRUE(list.IsSorted());
    for (int i = 0; i < 70; ++i) {
        EXPECT_FLOAT_EQ(list.At(i)->BoxMin().x, float(i));
    }
    for (int i = 0; i < 40; ++i) {
        EXPECT_TRUE(list.Remove(boxes[i].get()));
    }
    EXPECT_FALSE(list.Remove(boxes[0].get()));
    EXPECT_EQ(list.PageCount(), 1);
    list.Sort();
    EXPECT_TRUE(list.IsSorted());
}

TEST(BroadPhasePairs, PairRuleTable) {
    struct Case {
        const char* what;
        bool active0, static0, active1, static1;
        bool paired;
    };
    const Case cases[] = {
        {"two active bodies", true, false, true, false, true},
        {"active and frozen", true, false, false, false, true},
        {"frozen and active", false, false, true, false, true},
        {"two frozen bodies", false, false, false, false, false},
        {"two static bodies, both active", true, true, true, true, false},
        {"two static bodies, frozen", false, true, false, true, false},
        {"frozen static and active body", false, true, true, false, true},
        {"active static and frozen body", true, true, false, false, true},
    };
    for (const Case& c : cases) {
        phBroadPhase grid;
        grid.SetWorldSize(Splat(-100.0f), Splat(100.0f));
        // One body in a fine cell and one in the root, plus two in one cell, so
        // that both the cell sweep and the cross search see the rule.
        TestBox a(Splat(1.0f), Splat(3.0f), c.active0, c.static0);
        TestBox b(Splat(2.0f), Splat(4.0f), c.active1, c.static1);
        TestBox rootA(V(-5.0f, 10.0f, 10.0f), V(5.0f, 12.0f, 12.0f), c.active0, c.static0);
        TestBox fineB(V(1.0f, 10.5f, 10.5f), V(2.0f, 11.0f, 11.0f), c.active1, c.static1);
        for (TestBox* box : {&a, &b, &rootA, &fineB}) {
            AddBody(grid, *box);
        }
        ASSERT_EQ(a.Cell(), b.Cell());
        ASSERT_TRUE(Locate(grid, rootA) == (CellAddress{0, 0, 0, 0}));
        ASSERT_EQ(Locate(grid, fineB).level, 3);
        PairRecorder recorder;
        grid.UpdatePairs(recorder);
        std::set<Pair> expected;
        if (c.paired) {
            expected = {Ordered(&a, &b), Ordered(&rootA, &fineB)};
        }
        EXPECT_EQ(std::set<Pair>(recorder.pairs.begin(), recorder.pairs.end()), expected) << c.what;
        EXPECT_EQ(recorder.pairs.size(), expected.size()) << c.what;
    }
}

TEST(BroadPhasePairs, TouchingBoxesAreNotAPair) {
    const phVector min0 = Splat(0.0f), max0 = Splat(1.0f);
    EXPECT_FALSE(phBroadPhase::BoxesOverlap(min0, max0, V(1.0f, 0.0f, 0.0f), V(2.0f, 1.0f, 1.0f)));
    EXPECT_FALSE(phBroadPhase::BoxesOverlap(min0, max0, V(0.0f, 1.0f, 0.0f), V(1.0f, 2.0f, 1.0f)));
    EXPECT_FALSE(phBroadPhase::BoxesOverlap(min0, max0, V(0.0f, 0.0f, -1.0f), V(1.0f, 1.0f, 0.0f)));
    EXPECT_TRUE(phBroadPhase::BoxesOverlap(min0, max0, Splat(0.999f), Splat(2.0f)));

    phBroadPhase grid;
    grid.SetWorldSize(Splat(-100.0f), Splat(100.0f));
    TestBox a(min0, max0), b(V(1.0f, 0.0f, 0.0f), V(2.0f, 1.0f, 1.0f));
    AddBody(grid, a);
    AddBody(grid, b);
    PairRecorder recorder;
    grid.UpdatePairs(recorder);
    EXPECT_TRUE(recorder.pairs.empty());
}

namespace {

// Random boxes of every size, some static, some asleep, some outside the grid,
// moved, removed and regridded, with the grid's pairs checked against every
// pair of boxes after each step.
class RandomScene {
public:
    explicit RandomScene(unsigned seed) : m_random(seed) {}

    phVector RandomPoint(float range) {
        std::uniform_real_distribution<float> coordinate(-range, range);
        return V(coordinate(m_random), coordinate(m_random), coordinate(m_random));
    }

    void RandomiseBox(TestBox& box) {
        static const float kSizes[] = {0.05f, 0.5f, 3.0f, 12.0f, 40.0f, 150.0f, 400.0f};
        std::uniform_int_distribution<int> pickSize(0, 6);
        std::uniform_real_distribution<float> unit(0.0f, 1.0f);
        const phVector corner = RandomPoint(unit(m_random) < 0.8f ? 120.0f : 400.0f);
        phVector extent;
        for (int i = 0; i < 3; ++i) {
            extent[i] = kSizes[pickSize(m_random)] * (0.2f + unit(m_random));
        }
        box.SetBox(corner, V(corner.x + extent.x, corner.y + extent.y, corner.z + extent.z));
    }

    void Populate(phBroadPhase& grid, int count) {
        std::uniform_real_distribution<float> unit(0.0f, 1.0f);
        for (int i = 0; i < count; ++i) {
            const float kind = unit(m_random);
            m_boxes.push_back(
                std::make_unique<TestBox>(Splat(0.0f), Splat(1.0f), kind < 0.7f, kind >= 0.85f));
            RandomiseBox(*m_boxes.back());
            AddBody(grid, *m_boxes.back());
        }
    }

    // One step: some bodies move, some fall asleep or wake up; every awake body
    // is refitted, as integration does in a world.
    void Step(phBroadPhase& grid) {
        std::uniform_real_distribution<float> unit(0.0f, 1.0f);
        for (auto& box : m_boxes) {
            const float roll = unit(m_random);
            if (roll < 0.2f) {
                box->SetActive(true);
                const phVector shift = RandomPoint(roll < 0.1f ? 2.0f : 60.0f);
                box->SetBox(V(box->BoxMin().x + shift.x, box->BoxMin().y + shift.y,
                              box->BoxMin().z + shift.z),
                            V(box->BoxMax().x + shift.x, box->BoxMax().y + shift.y,
                              box->BoxMax().z + shift.z));
            } else if (roll < 0.25f) {
                box->SetActive(!box->IsActive());
            }
            if (box->IsActive()) {
                grid.UpdateBodyCell(box.get());
            }
        }
    }

    void RemoveSome(phBroadPhase& grid, int count) {
        for (int i = 0; i < count && !m_boxes.empty(); ++i) {
            const size_t index = m_random() % m_boxes.size();
            grid.RemoveBodyFromCell(m_boxes[index].get());
            m_boxes.erase(m_boxes.begin() + long(index));
        }
    }

    std::set<Pair> BruteForcePairs() const {
        std::set<Pair> pairs;
        for (size_t i = 0; i < m_boxes.size(); ++i) {
            for (size_t j = i + 1; j < m_boxes.size(); ++j) {
                const TestBox& a = *m_boxes[i];
                const TestBox& b = *m_boxes[j];
                if (phBroadPhase::BoxesOverlap(a.BoxMin(), a.BoxMax(), b.BoxMin(), b.BoxMax()) &&
                    phBroadPhase::PairAllowed(&a, &b)) {
                    pairs.insert(Ordered(&a, &b));
                }
            }
        }
        return pairs;
    }

    const std::vector<std::unique_ptr<TestBox>>& Boxes() const { return m_boxes; }
    std::mt19937& Random() { return m_random; }

private:
    std::mt19937 m_random;
    std::vector<std::unique_ptr<TestBox>> m_boxes;
};

void ExpectPairsMatchBruteForce(phBroadPhase& grid, const RandomScene& scene, const char* when) {
    PairRecorder recorder;
    grid.UpdatePairs(recorder);
    const std::set<Pair> reported(recorder.pairs.begin(), recorder.pairs.end());
    EXPECT_EQ(reported.size(), recorder.pairs.size()) << when << ": a pair was reported twice";
    const std::set<Pair> expected = scene.BruteForcePairs();
    EXPECT_EQ(reported, expected) << when;
    EXPECT_GT(expected.size(), 0u) << when;
}

}  // namespace

TEST(BroadPhasePairs, RandomScenesMatchBruteForce) {
    for (unsigned seed = 1; seed <= 4; ++seed) {
        phBroadPhase grid;
        grid.SetWorldSize(Splat(-100.0f), Splat(100.0f));
        RandomScene scene(seed);
        scene.Populate(grid, 300);
        ExpectPairsMatchBruteForce(grid, scene, "after creation");
        for (int step = 0; step < 4; ++step) {
            scene.Step(grid);
            ExpectPairsMatchBruteForce(grid, scene, "after moves");
        }
        scene.RemoveSome(grid, 60);
        scene.Step(grid);
        ExpectPairsMatchBruteForce(grid, scene, "after removals");
        grid.SetWorldSize(V(-300.0f, -50.0f, -50.0f), V(500.0f, 50.0f, 50.0f));
        ExpectPairsMatchBruteForce(grid, scene, "after a world-size change");
        scene.Populate(grid, 100);
        scene.Step(grid);
        ExpectPairsMatchBruteForce(grid, scene, "after more bodies");
    }
}

TEST(BroadPhasePairs, FrozenBodiesInAnUnchangedCellCostNothing) {
    phBroadPhase grid;
    grid.SetWorldSize(Splat(-100.0f), Splat(100.0f));
    TestBox a(Splat(1.0f), Splat(3.0f)), b(Splat(2.0f), Splat(4.0f));
    AddBody(grid, a);
    AddBody(grid, b);
    PairRecorder first;
    grid.UpdatePairs(first);
    EXPECT_EQ(first.pairs.size(), 1u);
    EXPECT_EQ(a.Cell()->changed, 0u);
    // Nothing moved: the cell is not searched again.
    PairRecorder second;
    grid.UpdatePairs(second);
    EXPECT_TRUE(second.pairs.empty());
}

// The pair search passes over levels that hold no body: a floor at the root
// still meets the small boxes two levels below it, and they meet each other.
TEST(BroadPhasePairs, LevelsBetweenTwoFilledOnesMayBeEmpty) {
    phBroadPhase grid;
    grid.SetWorldSize(Splat(-100.0f), Splat(100.0f));
    TestBox floor(V(-90.0f, -1.0f, -90.0f), V(90.0f, 0.5f, 90.0f), true, true);
    TestBox a(V(1.0f, 0.2f, 1.0f), V(2.0f, 1.0f, 2.0f));
    TestBox b(V(1.5f, 0.8f, 1.5f), V(2.5f, 1.6f, 2.5f));
    AddBody(grid, floor);
    AddBody(grid, a);
    AddBody(grid, b);
    const int floorLevel = Locate(grid, floor).level;
    const int smallLevel = Locate(grid, a).level;
    ASSERT_EQ(Locate(grid, b).level, smallLevel);
    ASSERT_GE(smallLevel - floorLevel, 2);
    for (int l = floorLevel + 1; l < smallLevel; ++l) {
        ASSERT_EQ(grid.Level(l).BodyCount(), 0) << l;
    }
    PairRecorder recorder;
    grid.UpdatePairs(recorder);
    const std::set<Pair> reported(recorder.pairs.begin(), recorder.pairs.end());
    EXPECT_EQ(reported, (std::set<Pair>{Ordered(&floor, &a), Ordered(&a, &b)}));
}

TEST(BroadPhasePairs, ABrokenBoxDoesNotHideTheOthersPairs) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    phBroadPhase grid;
    grid.SetWorldSize(Splat(-100.0f), Splat(100.0f));
    std::vector<std::unique_ptr<TestBox>> boxes;
    // Bodies of one level-3 cell spread along x, with NaN boxes mixed in.
    for (int i = 0; i < 12; ++i) {
        const float x = float((i * 5) % 12) * 2.0f + 1.0f;
        boxes.push_back(std::make_unique<TestBox>(V(x, 1.0f, 1.0f), V(x + 2.5f, 2.0f, 2.0f)));
        if (i % 4 == 1) {
            boxes.push_back(std::make_unique<TestBox>(Splat(nan), V(x + 1.0f, nan, nan)));
        }
    }
    std::set<Pair> expected;
    for (size_t i = 0; i < boxes.size(); ++i) {
        boxes[i]->SetBox(boxes[i]->BoxMin(), boxes[i]->BoxMax());
        AddBody(grid, *boxes[i]);
        for (size_t j = 0; j < i; ++j) {
            if (phBroadPhase::BoxesOverlap(boxes[i]->BoxMin(), boxes[i]->BoxMax(),
                                           boxes[j]->BoxMin(), boxes[j]->BoxMax())) {
                expected.insert(Ordered(boxes[i].get(), boxes[j].get()));
            }
        }
    }
    PairRecorder recorder;
    grid.UpdatePairs(recorder);
    EXPECT_EQ(std::set<Pair>(recorder.pairs.begin(), recorder.pairs.end()), expected);
    EXPECT_EQ(expected.size(), 11u);
}

namespace {

struct RayScene {
    RayScene() {
        grid.SetWorldSize(Splat(-100.0f), Splat(100.0f));
        // Three boxes along the x axis through (y, z) = (0.5, 0.5): in fine
        // cells, one straddling the centre (root cell), one on the far side.
        near = std::make_unique<TestBox>(V(-60.0f, 0.0f, 0.0f), V(-50.0f, 1.0f, 1.0f));
        centre = std::make_unique<TestBox>(V(-1.0f, -1.0f, -1.0f), V(1.0f, 2.0f, 2.0f));
        far = std::make_unique<TestBox>(V(50.0f, 0.0f, 0.0f), V(60.0f, 1.0f, 1.0f));
        off = std::make_unique<TestBox>(V(10.0f, 5.0f, 5.0f), V(20.0f, 6.0f, 6.0f));
        for (TestBox* box : {near.get(), centre.get(), far.get(), off.get()}) {
            AddBody(grid, *box);
        }
        PairRecorder pairs;
        grid.UpdatePairs(pairs);
    }

    phBroadPhase grid;
    std::unique_ptr<TestBox> near, centre, far, off;
};

}  // namespace

TEST(BroadPhaseRayCast, CastsThroughTheGrid) {
    struct Case {
        const char* what;
        phVector p0, p1;
        float answer;
        bool keepNearest;
        int hitCount;
        float nearestT;
    };
    const Case cases[] = {
        {"every hit accepted", V(-90.0f, 0.5f, 0.5f), V(90.0f, 0.5f, 0.5f), 1.1f, false, 3,
         30.0f / 180.0f},
        {"backwards", V(90.0f, 0.5f, 0.5f), V(-90.0f, 0.5f, 0.5f), 1.1f, false, 3, 30.0f / 180.0f},
        {"filter returning 0 stops every later hit", V(-90.0f, 0.5f, 0.5f), V(90.0f, 0.5f, 0.5f),
         0.0f, false, 1, -1.0f},
        {"ends inside the middle box", V(-90.0f, 0.5f, 0.5f), V(0.0f, 0.5f, 0.5f), 1.1f, false, 2,
         30.0f / 90.0f},
        {"misses everything", V(-90.0f, 50.0f, 0.5f), V(90.0f, 50.0f, 0.5f), 1.1f, false, 0, -1.0f},
        {"diagonal through the off-axis box", V(0.0f, 0.0f, 0.0f), V(30.0f, 11.0f, 11.0f), 1.1f,
         false, 2, 0.0f},
        {"outside the world box", V(-90.0f, 150.0f, 0.5f), V(90.0f, 150.0f, 0.5f), 1.1f, false, 0,
         -1.0f},
        {"from outside the world, parameters along the caller's segment", V(-300.0f, 0.5f, 0.5f),
         V(300.0f, 0.5f, 0.5f), 1.1f, false, 3, 240.0f / 600.0f},
        {"zero length", V(55.0f, 0.5f, 0.5f), V(55.0f, 0.5f, 0.5f), 1.1f, false, 0, -1.0f},
        {"non-finite end", V(-90.0f, 0.5f, 0.5f),
         V(std::numeric_limits<float>::infinity(), 0.5f, 0.5f), 1.1f, false, 0, -1.0f},
    };
    for (const Case& c : cases) {
        RayScene scene;
        RayRecorder recorder(c.answer, c.keepNearest);
        scene.grid.RayCastGrid(c.p0, c.p1, recorder);
        EXPECT_EQ(int(recorder.hits.size()), c.hitCount) << c.what;
        if (c.nearestT >= 0.0f && !recorder.hits.empty()) {
            float nearest = 2.0f;
            for (const RayRecorder::Hit& hit : recorder.hits) {
                nearest = std::min(nearest, hit.t);
                EXPECT_EQ(hit.attribute, 7) << c.what;
            }
            EXPECT_NEAR(nearest, c.nearestT, 1e-4f) << c.what;
        }
    }
}

TEST(BroadPhaseRayCast, FilterReturningItsParameterKeepsOnlyNearerHits) {
    RayScene scene;
    RayRecorder recorder(0.0f, true);
    scene.grid.RayCastGrid(V(-90.0f, 0.5f, 0.5f), V(90.0f, 0.5f, 0.5f), recorder);
    ASSERT_FALSE(recorder.hits.empty());
    for (size_t i = 1; i < recorder.hits.size(); ++i) {
        EXPECT_LT(recorder.hits[i].t, recorder.hits[i - 1].t);
    }
    EXPECT_EQ(recorder.hits.back().body, scene.near.get());
    EXPECT_NEAR(recorder.hits.back().t, 30.0f / 180.0f, 1e-4f);
    EXPECT_FLOAT_EQ(recorder.hits.back().normal.x, -1.0f);
}

TEST(BroadPhaseRayCast, FindsABodyCreatedSinceTheLastUpdate) {
    RayScene scene;
    // A body in the same fine cell as an earlier one whose list minimum lies
    // beyond the ray: appended after it, it is out of order until the next
    // pair update.
    TestBox above(V(20.0f, 5.0f, 1.0f), V(21.0f, 6.0f, 2.0f));
    AddBody(scene.grid, above);
    PairRecorder pairs;
    scene.grid.UpdatePairs(pairs);
    TestBox created(V(10.0f, 0.0f, 0.5f), V(11.0f, 2.0f, 1.5f));
    AddBody(scene.grid, created);
    ASSERT_EQ(created.Cell(), above.Cell());

    RayRecorder recorder(1.1f);
    scene.grid.RayCastGrid(V(0.0f, 1.0f, 1.0f), V(30.0f, 1.0f, 1.0f), recorder);
    ASSERT_EQ(recorder.hits.size(), 2u);
    bool found = false;
    for (const RayRecorder::Hit& hit : recorder.hits) {
        found = found || hit.body == &created;
    }
    EXPECT_TRUE(found);
}

TEST(BroadPhaseRayCast, BodiesMovedBetweenTwoCastsAreStillFound) {
    // Two casts between pair updates: the first sorts the changed cell's list,
    // then two bodies swap their order in it; the second cast must see the
    // new order, not the one it sorted.
    RayScene scene;
    TestBox above(V(20.0f, 5.0f, 1.0f), V(21.0f, 6.0f, 2.0f));
    AddBody(scene.grid, above);
    PairRecorder pairs;
    scene.grid.UpdatePairs(pairs);
    TestBox created(V(10.0f, 0.0f, 0.5f), V(11.0f, 2.0f, 1.5f));
    AddBody(scene.grid, created);

    const auto bodiesHit = [&scene]() {
        RayRecorder recorder(1.1f);
        scene.grid.RayCastGrid(V(0.0f, 1.0f, 1.0f), V(30.0f, 1.0f, 1.0f), recorder);
        std::set<const phBroadPhaseBody*> hit;
        for (const RayRecorder::Hit& h : recorder.hits) {
            hit.insert(h.body);
        }
        return hit;
    };
    EXPECT_EQ(bodiesHit(), (std::set<const phBroadPhaseBody*>{scene.centre.get(), &created}));

    created.SetBox(V(10.0f, 5.0f, 1.0f), V(11.0f, 6.0f, 2.0f));
    scene.grid.UpdateBodyCell(&created);
    above.SetBox(V(20.0f, 0.0f, 0.5f), V(21.0f, 2.0f, 1.5f));
    scene.grid.UpdateBodyCell(&above);
    ASSERT_EQ(created.Cell(), above.Cell());
    EXPECT_EQ(bodiesHit(), (std::set<const phBroadPhaseBody*>{scene.centre.get(), &above}));
}

TEST(BroadPhaseRayCast, NearestHitMatchesBruteForce) {
    RandomScene scene(99);
    phBroadPhase grid;
    grid.SetWorldSize(Splat(-100.0f), Splat(100.0f));
    scene.Populate(grid, 250);
    PairRecorder pairs;
    grid.UpdatePairs(pairs);
    scene.Step(grid);

    int hitRays = 0;
    for (int ray = 0; ray < 300; ++ray) {
        const phVector p0 = scene.RandomPoint(ray % 3 == 0 ? 140.0f : 95.0f);
        const phVector p1 = scene.RandomPoint(ray % 3 == 0 ? 140.0f : 95.0f);
        // Brute force over the part of the ray inside the world box.
        float expected = 2.0f;
        const TestBox world(grid.WorldMin(), grid.WorldMax());
        phVector normal;
        int attribute;
        const float tc0 = world.RayHit(p0, p1, normal, attribute);
        if (tc0 < 1.0f) {
            const float tc1 = 1.0f - world.RayHit(p1, p0, normal, attribute);
            const phVector q0 = p0 + (p1 - p0) * tc0;
            const phVector q1 = p0 + (p1 - p0) * tc1;
            for (const auto& box : scene.Boxes()) {
                const float t = box->RayHit(q0, q1, normal, attribute);
                if (t < 1.0f) {
                    expected = std::min(expected, tc0 + t * (tc1 - tc0));
                }
            }
        }
        RayRecorder recorder(0.0f, true);
        grid.RayCastGrid(p0, p1, recorder);
        if (expected > 1.0f) {
            EXPECT_TRUE(recorder.hits.empty()) << "ray " << ray;
            continue;
        }
        ++hitRays;
        ASSERT_FALSE(recorder.hits.empty()) << "ray " << ray;
        EXPECT_NEAR(recorder.hits.back().t, expected, 1e-4f) << "ray " << ray;
    }
    EXPECT_GT(hitRays, 100);
}

TEST(BroadPhaseRayCast, RaysJustInsideABoxFaceStillHitIt) {
    // Rays along x just inside the bottom face of boxes (the cast's list axis
    // is y), at several heights and in cells of several levels.
    const float heights[] = {0.5f, 1.0f, 3.0f, 17.25f, 33.0f, 90.0f};
    for (float h : heights) {
        for (float lengthX : {10.0f, 150.0f}) {
            phBroadPhase grid;
            grid.SetWorldSize(Splat(-100.0f), Splat(100.0f));
            const float bottom = std::nextafter(h, 0.0f);
            TestBox box(V(40.0f, bottom, 1.0f), V(40.0f + lengthX * 0.1f, h + 1.0f, 2.0f));
            TestBox other(V(45.0f, h + 0.5f, 1.0f), V(46.0f, h + 0.8f, 2.0f));
            AddBody(grid, other);
            AddBody(grid, box);
            PairRecorder pairs;
            grid.UpdatePairs(pairs);
            RayRecorder recorder(1.1f);
            grid.RayCastGrid(V(-90.0f, h, 1.5f), V(90.0f, h, 1.5f), recorder);
            ASSERT_EQ(recorder.hits.size(), 1u) << "height " << h << ", length " << lengthX;
            EXPECT_EQ(recorder.hits[0].body, &box);
        }
    }
}

TEST(BroadPhaseRayCast, DiagonalThroughCellCornersHitsEachBodyOnce) {
    phBroadPhase grid;
    grid.SetWorldSize(Splat(-100.0f), Splat(100.0f));
    std::vector<std::unique_ptr<TestBox>> boxes;
    // Cell corners of the finest level lie on the diagonal every 32 units
    // (origin -128); put boxes at corners and between them.
    for (float c : {-96.0f, -80.0f, -32.0f, 0.0f, 16.0f, 64.0f, 90.0f}) {
        boxes.push_back(std::make_unique<TestBox>(Splat(c - 0.5f), Splat(c + 0.5f)));
        AddBody(grid, *boxes.back());
    }
    PairRecorder pairs;
    grid.UpdatePairs(pairs);
    RayRecorder recorder(1.1f);
    grid.RayCastGrid(Splat(-99.0f), Splat(99.0f), recorder);
    std::set<const phBroadPhaseBody*> hit;
    for (const RayRecorder::Hit& h : recorder.hits) {
        hit.insert(h.body);
    }
    EXPECT_EQ(recorder.hits.size(), boxes.size());
    EXPECT_EQ(hit.size(), boxes.size());
}
