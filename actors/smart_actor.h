#pragma once
#include "actors/actor.h"

#include <map>

// An actor that replays a planned sequence of controls instead of deciding every frame.
// Planning analyses the terrain and shows the analysis on screen until Return is pressed;
// it writes no plan yet, so after a re-plan the actor gives no controls.
class Smart_Actor : public Actor {
public:
    Smart_Actor(i32 x, i32 y);

    Controls think() override;
    void act() override;

    void planPath(i32 targetX, i32 targetY);

    // End frame (counted from the start of the plan) -> the controls held until the replay passes it.
    std::map<u16, Controls> path;
    u16 framesPlayed;
};
