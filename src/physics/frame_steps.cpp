// frame_steps.cpp: the steps of a frame, from its length and the fastest
// travel the split rule asks for.
#include "physics/frame_steps.h"

#include <cmath>

#include "physics/split_travel.h"

namespace {

// Kept between frames, so that working out a split allocates nothing once
// the number of fast boxes has been seen before.
SplitScratch g_splitScratch;

} // namespace

FrameSteps planFrameSteps(const BoxList& list, const Box& ground, float seconds)
{
    int timeSteps = 1;
    float simulated = seconds;
    if (seconds > kMaxPhysicsStepSeconds) {
        timeSteps = int(std::ceil(seconds / kMaxPhysicsStepSeconds));
        if (timeSteps >= kMaxPhysicsSubSteps) {
            timeSteps = kMaxPhysicsSubSteps;
            simulated = kMaxPhysicsSubSteps * kMaxPhysicsStepSeconds;
        }
    }
    const float travel =
        splitTravel(list, ground, simulated / float(timeSteps), simulated, kMaxTravelPerStep, g_splitScratch);
    int speedSteps = 1;
    if (travel >= kMaxTravelPerStep * float(kMaxSpeedSubSteps))
        speedSteps = kMaxSpeedSubSteps;
    else if (travel > kMaxTravelPerStep)
        speedSteps = int(std::ceil(travel / kMaxTravelPerStep));

    const int steps = timeSteps * speedSteps;
    float step = simulated;
    if (simulated != seconds)
        step = kMaxPhysicsStepSeconds / float(speedSteps);
    else if (steps > 1)
        step = seconds / float(steps);
    return FrameSteps{steps, step};
}
