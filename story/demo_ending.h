#pragma once
#include "core/types.h"
#include "world/physical.h"

class Actor;

// The closing scene of the demo, an invisible trigger: when the heroine comes near it locks the
// camera on itself, walks her into place, brings in an Ostrevanian who walks up, pauses and turns
// away, walks both off to the right and hands over to the credits. It forces the actors'
// controls and shows no text.
class Demo_Ending : public Physical {
public:
    // The steps of the scene, the values of step.
    enum Step : u16 {
        StepSettleCamera = 0,  // the heroine walks up while the camera centres on the trigger
        StepMeet = 1,          // the Ostrevanian walks in from the right
        StepPause = 2,         // both stand; he shuffles on the spot
        StepTurnAway = 3,      // he walks off to the right
        StepLeave = 4,         // both walk off; then the credits
        StepDone = 5,          // nothing more
    };

    Demo_Ending(i32 x, i32 y);

    void onAdd() override;
    void update() override;
    // Only outside a running level (the editor): the area the scene uses and the view it settles on.
    void draw(SDL_Surface* screen) override;

    i16 timer = 0;  // frames left in the current step
    u16 step = StepSettleCamera;
    u8 added = 0;
    PhysicalRef follower;
    PhysicalRef player;

private:
    void findPlayer();
    void play();
    Actor* actor(const PhysicalRef& ref) const;
    void force(const PhysicalRef& ref, i8 dir, bool jump = false);
    // +1, -1 or 0: the way that brings the object within 16 pixels of the trigger.
    i8 towardTrigger(const Physical* object) const;
    void walkToTrigger(const PhysicalRef& ref, bool jump = false);
    void outlineCentred(SDL_Surface* screen, i32 halfW, i32 halfH);
};
