#include "story/transition.h"

#include "core/draw.h"
#include "core/media.h"
#include "story/transition_hangblinds.h"

#include <utility>

Transition* currentTransition = nullptr;

namespace {

constexpr i16 OverlayDepth = -1000;  // over every screen
constexpr i32 SlideStep = 10;        // pixels the old picture rises per step

} // namespace

Transition::Transition(GameSystem* target, Callback callback, u32 code)
    : GameSystem(OverlayDepth), target(target), callback(std::move(callback)), code(code)
{
}

Transition::~Transition()
{
    if (currentTransition == this)
        currentTransition = nullptr;
    // Freed whenever it was made, also when a replacement cut this transition short.
    if (picture)
        freeSurface(picture);
}

void Transition::update()
{
    switch (stage) {
    case Stage::AwaitingPicture:
        return;
    case Stage::Captured:
        stage = Stage::HandedOver;
        if (target && callback)
            callback(code);
        begin();
        return;
    case Stage::HandedOver:
        step();
        if (counter-- == 0)
            queueSystemKill(this);
        return;
    }
}

void Transition::draw(SDL_Surface* screen)
{
    if (stage == Stage::HandedOver)
        drawEffect(screen);
    else
        capture(screen);
}

void Transition::capture(SDL_Surface* screen)
{
    if (!picture)
        picture = createSurface(screen->w, screen->h);
    blitSurface(0, 0, screen, picture, nullptr);
    // Even without a picture (no memory for it) the hand-over must still happen.
    stage = Stage::Captured;
}

void Transition::begin()
{
    counter = picture ? u16(picture->h / SlideStep) : 0;
}

void Transition::step() {}

void Transition::drawEffect(SDL_Surface* screen)
{
    if (picture)
        blitSurface(0, i16(SlideStep * counter - picture->h), picture, screen, nullptr);
}

void startTransition(u16 type, GameSystem* target, Transition::Callback callback, u32 code)
{
    if (currentTransition)
        queueSystemKill(currentTransition);
    if (type == TransitionHangBlinds)
        currentTransition = new Transition_HangBlinds(target, std::move(callback), code);
    else
        currentTransition = new Transition(target, std::move(callback), code);
    queueSystemAdd(currentTransition);
}

void forgetTransitionTarget(const GameSystem* target)
{
    if (currentTransition && currentTransition->callbackTarget() == target)
        currentTransition->forgetTarget();
}
