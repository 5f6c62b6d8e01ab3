#pragma once
#include "core/gamesystem.h"
#include "core/types.h"

#include <functional>

// The wipes startTransition can make.
enum TransitionType : u16 {
    TransitionSlide = 0,       // the old picture slides up out of sight
    TransitionHangBlinds = 1,  // the old picture falls apart in two-pixel columns
};

// Hides a switch of screens: copies the finished picture of the frame in which it joins, calls
// back the screen that asked for it in its next update (the hand-over, where the new screens
// are queued), then wipes the old picture away over the new screens. The base class slides it.
class Transition : public GameSystem {
public:
    using Callback = std::function<void(u32 code)>;

    Transition(GameSystem* target, Callback callback, u32 code);
    ~Transition() override;

    void update() override;
    void draw(SDL_Surface* screen) override;

    GameSystem* callbackTarget() const { return target; }
    // The screen that asked for the hand-over is going away: the hand-over must not call it.
    void forgetTarget() { target = nullptr; }

protected:
    virtual void begin();
    virtual void step();
    virtual void drawEffect(SDL_Surface* screen);

    SDL_Surface* picture = nullptr;  // the old screen; owned by the media cache, freed by us
    u16 counter = 2;                 // steps left

private:
    enum class Stage : u8 {
        AwaitingPicture,  // joined, not yet drawn
        Captured,         // the old picture is copied; the hand-over comes at the next update
        HandedOver,       // the callback ran; the wipe is running
    };

    void capture(SDL_Surface* screen);

    GameSystem* target;
    Callback callback;
    u32 code;
    Stage stage = Stage::AwaitingPicture;
};

// The transition started last, until it is deleted.
extern Transition* currentTransition;

// Queues a new transition (replacing a running one) that calls callback(code) at the hand-over,
// unless target is null or has gone away by then.
void startTransition(u16 type, GameSystem* target, Transition::Callback callback, u32 code);

template <class Screen>
void startTransition(u16 type, Screen* target, void (Screen::*member)(u32), u32 code)
{
    startTransition(type, target, [target, member](u32 c) { (target->*member)(c); }, code);
}

// A screen that started a transition calls this when it is deleted. Only the newest transition
// can still be waiting for its hand-over once a frame's deletions are done: every older one was
// queued for deletion in the same frame as its replacement.
void forgetTransitionTarget(const GameSystem* target);
