// The box list: appends, removal from the end with release before
// destruction, and addBox's refusal to list a box that failed.
#include <gtest/gtest.h>

#include "boxes/box_list.h"
#include "support/headless_device.h"

namespace {

struct BoxListTest : ::testing::Test {
    HeadlessDevice headless;
};

TEST_F(BoxListTest, AddBoxAppendsInOrderAndKeepsIndices)
{
    ASSERT_TRUE(g_boxes.isEmpty());
    ASSERT_TRUE(addBox(headless.device, 0, 0, 0, 2, 2, 2));
    ASSERT_TRUE(addBox(headless.device, 5, 0, 0, 1, 1, 1));
    EXPECT_EQ(g_boxes.count(), 2u);
    EXPECT_EQ(g_boxes.first().position.x, 0.0f);
    EXPECT_EQ(g_boxes.last().position.x, 5.0f);
    Box* second = &g_boxes.at(1);
    ASSERT_TRUE(addBox(headless.device, 9, 0, 0, 1, 1, 1));
    g_boxes.removeLast();
    EXPECT_EQ(&g_boxes.at(1), second);
    EXPECT_EQ(g_boxes.count(), 2u);
}

TEST_F(BoxListTest, ABoxWhoseCreationFailsIsNeverListed)
{
    EXPECT_FALSE(addBox(nullptr, 0, 0, 0, 1, 1, 1));
    testctl::failBufferCreationAfter(1);
    EXPECT_FALSE(addBox(headless.device, 0, 0, 0, 1, 1, 1));
    EXPECT_TRUE(g_boxes.isEmpty());
    EXPECT_EQ(testctl::liveBuffers(), 0); // the failed box's mesh buffer went with it
}

TEST_F(BoxListTest, RemovingReleasesTheBuffersAndAnEmptyListStaysEmpty)
{
    ASSERT_TRUE(addBox(headless.device, 0, 0, 0, 1, 1, 1));
    ASSERT_TRUE(addBox(headless.device, 1, 0, 0, 1, 1, 1));
    EXPECT_EQ(testctl::liveBuffers(), 6);
    g_boxes.removeLast();
    EXPECT_EQ(testctl::liveBuffers(), 3);
    g_boxes.removeLast();
    EXPECT_EQ(testctl::liveBuffers(), 0);
    g_boxes.removeLast();
    EXPECT_EQ(g_boxes.count(), 0u);
    EXPECT_TRUE(g_boxes.isEmpty());
}

} // namespace
