// Determinism: a scripted run of throwing, bouncing, stacking and walking
// ends in exactly the same state every time, on every machine. The recorded
// hash changes only when the game's behaviour is meant to change; then
// record the new value printed by the failure.
#include <gtest/gtest.h>

#include <cstring>

#include "support/game_fixture.h"

namespace {

// FNV-1a over the bits of every listed box's position and velocity and the camera.
uint64_t stateHash()
{
    uint64_t hash = 14695981039346656037ull;
    auto mix = [&hash](const Vec3& v) {
        unsigned char bytes[sizeof v];
        std::memcpy(bytes, &v, sizeof v);
        for (unsigned char b : bytes) {
            hash ^= b;
            hash *= 1099511628211ull;
        }
    };
    for (uint32_t i = 0; i < g_boxes.count(); ++i) {
        mix(g_boxes.at(i).position);
        mix(g_boxes.at(i).velocity);
    }
    mix(g_camera.eye);
    mix(g_camera.target);
    return hash;
}

void script(GameTest& t)
{
    t.frames(100);
    t.type('x');
    t.hold(VK_SPACE);
    t.frames(15);
    t.release(VK_SPACE);
    testctl::mouseButton(false, true);
    t.frames(3);
    t.lookBy(30, -10);
    t.frames(20);
    t.lookBy(-50, 20);
    t.frames(20);
    testctl::mouseButton(false, false);
    t.type('v');
    testctl::mouseButton(true, true);
    t.lookBy(10, 5);
    t.frames(30);
    testctl::mouseButton(true, false);
    t.lookBy(0, 40);
    t.frame();
    t.click(false);
    t.frames(200);
    t.type('v');
    t.frame(250);
    t.frames(100);
    t.type('x');
    t.hold('W');
    t.hold('A');
    t.frames(50);
    t.release('W');
    t.release('A');
    t.frames(100);
}

using Determinism = GameTest;

TEST_F(Determinism, AScriptedRunEndsInTheRecordedState)
{
    script(*this);
    EXPECT_EQ(g_boxes.count(), 13u);
    const uint64_t kRecorded = 0x991446c9ecc8a90dull;
    EXPECT_EQ(stateHash(), kRecorded) << std::hex << "state hash 0x" << stateHash();
}

} // namespace
