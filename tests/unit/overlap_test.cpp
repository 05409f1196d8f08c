// The corner-in-box test and the search over the list.
#include <gtest/gtest.h>

#include <limits>

#include "physics/overlap.h"
#include "support/geometry.h"

namespace {

struct Pair {
    Box a, b;
    Pair(Vec3 pa, Vec3 sa, Vec3 pb, Vec3 sb)
    {
        setGeometry(a, pa, sa);
        setGeometry(b, pb, sb);
    }
};

TEST(BoxOverlaps, IdenticalBoxesAndSharedFacesOverlap)
{
    Pair same(Vec3(0, 0, 0), Vec3(1, 1, 1), Vec3(0, 0, 0), Vec3(1, 1, 1));
    EXPECT_TRUE(boxOverlaps(same.a, same.b));
    Pair face(Vec3(0, 0, 0), Vec3(1, 1, 1), Vec3(1, 0, 0), Vec3(1, 1, 1));
    EXPECT_TRUE(boxOverlaps(face.a, face.b));
    EXPECT_TRUE(boxOverlaps(face.b, face.a));
    Pair edge(Vec3(0, 0, 0), Vec3(1, 1, 1), Vec3(1, 1, 0), Vec3(1, 1, 1));
    EXPECT_TRUE(boxOverlaps(edge.a, edge.b));
}

TEST(BoxOverlaps, AnyPositiveGapOnOneAxisSeparates)
{
    // The smallest gap single precision can carry through position + size at this scale.
    const float gap = 1.00001f;
    Pair x(Vec3(0, 0, 0), Vec3(1, 1, 1), Vec3(gap, 0, 0), Vec3(1, 1, 1));
    EXPECT_FALSE(boxOverlaps(x.a, x.b));
    Pair y(Vec3(0, 0, 0), Vec3(1, 1, 1), Vec3(0.5f, gap, 0.5f), Vec3(1, 1, 1));
    EXPECT_FALSE(boxOverlaps(y.a, y.b));
    Pair z(Vec3(0, 0, 0), Vec3(1, 1, 1), Vec3(0, 0, -1.01f), Vec3(1, 1, 1));
    EXPECT_FALSE(boxOverlaps(z.a, z.b));
}

TEST(BoxOverlaps, ContainmentIsSeenOnlyFromTheInnerBox)
{
    Pair p(Vec3(-10, -10, -10), Vec3(20, 20, 20), Vec3(0, 0, 0), Vec3(1, 1, 1));
    EXPECT_FALSE(boxOverlaps(p.a, p.b));
    EXPECT_TRUE(boxOverlaps(p.b, p.a));
}

TEST(BoxOverlaps, CrossedBarsWithNoCornerInsideDoNotOverlap)
{
    Pair plus(Vec3(-5, 0, -0.5f), Vec3(10, 1, 1), Vec3(-0.5f, 0, -5), Vec3(1, 1, 10));
    EXPECT_FALSE(boxOverlaps(plus.a, plus.b));
    EXPECT_FALSE(boxOverlaps(plus.b, plus.a));
}

TEST(BoxOverlaps, DegenerateSizesAndNaN)
{
    Pair negative(Vec3(0, 0, 0), Vec3(1, 1, 1), Vec3(0, 0, 0), Vec3(-1, 1, 1));
    EXPECT_FALSE(boxOverlaps(negative.a, negative.b));
    Pair flat(Vec3(0, 0, 0), Vec3(1, 1, 1), Vec3(0, 0, 0), Vec3(0, 1, 1));
    EXPECT_TRUE(boxOverlaps(flat.a, flat.b)); // a's corners at x = 0 lie on the flat box
    Pair nan(Vec3(0, std::numeric_limits<float>::quiet_NaN(), 0), Vec3(1, 1, 1), Vec3(0, 0, 0), Vec3(1, 1, 1));
    EXPECT_FALSE(boxOverlaps(nan.a, nan.b));
}

TEST(FindOverlap, SkipsItselfByIdentityAndReturnsTheLowestIndex)
{
    BoxList list;
    Box& only = addGeometry(list, Vec3(0, 0, 0), Vec3(1, 1, 1));
    EXPECT_EQ(findOverlap(&only, list), -1);
    EXPECT_EQ(findOverlap(nullptr, list), -1);

    addGeometry(list, Vec3(0, 0, 0), Vec3(1, 1, 1)); // equal geometry, another object
    EXPECT_EQ(findOverlap(&only, list), 1);
    EXPECT_EQ(findOverlap(&list.at(1), list), 0);

    addGeometry(list, Vec3(5, 5, 5), Vec3(1, 1, 1));
    Box probe;
    setGeometry(probe, Vec3(5.5f, 5.5f, 5.5f), Vec3(1, 1, 1));
    EXPECT_EQ(findOverlap(&probe, list), 2);
    setGeometry(probe, Vec3(0.5f, 0.5f, 0.5f), Vec3(5, 5, 5)); // corners in boxes 0, 1 and 2
    EXPECT_EQ(findOverlap(&probe, list), 0);

    BoxList empty;
    EXPECT_EQ(findOverlap(&probe, empty), -1);
}

} // namespace
