// The facet array: facets survive every change of room, from heap to mapping and back; the room
// grows in bounded steps and is given back after loading.
#include "mesh/TriangleArray.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <utility>

namespace pelorin {
namespace {

Triangle numbered(std::size_t i) {
    Triangle t;
    t.normal[0] = static_cast<float>(i);
    t.vertex[2][2] = -static_cast<float>(i);
    return t;
}

void expectNumbered(const TriangleArray& facets, std::size_t count) {
    ASSERT_EQ(facets.size(), count);
    for (std::size_t i = 0; i < count; ++i) {
        ASSERT_EQ(facets[i].normal[0], static_cast<float>(i)) << i;
        ASSERT_EQ(facets[i].vertex[2][2], -static_cast<float>(i)) << i;
    }
}

TEST(TriangleArrayTest, FacetsSurviveGrowingShrinkingAndMoving) {
    constexpr std::size_t kCount = 20000;  // far past the heap's share
    TriangleArray facets;
    for (std::size_t i = 0; i < kCount; ++i) ASSERT_TRUE(facets.push_back(numbered(i)));
    expectNumbered(facets, kCount);
    facets.shrinkToFit();
    EXPECT_LT(facets.bytesHeld(), kCount * sizeof(Triangle) + 4096);
    expectNumbered(facets, kCount);

    facets.truncate(100);
    facets.shrinkToFit();
    EXPECT_EQ(facets.bytesHeld(), 100 * sizeof(Triangle));  // back on the heap, exactly
    expectNumbered(facets, 100);

    TriangleArray moved(std::move(facets));
    expectNumbered(moved, 100);
    EXPECT_TRUE(facets.empty());  // NOLINT(bugprone-use-after-move): moved-from is empty
    facets = std::move(moved);
    expectNumbered(facets, 100);
}

TEST(TriangleArrayTest, RoomGrowsByBoundedStepsAndImpossibleSizesAreRefused) {
    constexpr std::size_t kStep = TriangleArray::kMaxStepBytes / sizeof(Triangle);
    TriangleArray facets;
    ASSERT_TRUE(facets.push_back(numbered(0)));
    ASSERT_TRUE(facets.reserve(3 * kStep));
    const std::size_t room = facets.capacity();
    EXPECT_GE(room, 3 * kStep);
    ASSERT_TRUE(facets.reserve(room + 1));
    EXPECT_LE(facets.capacity(), room + kStep + 4096 / sizeof(Triangle));
    EXPECT_FALSE(facets.reserve(SIZE_MAX / sizeof(Triangle)));
    expectNumbered(facets, 1);
}

}  // namespace
}  // namespace pelorin
