#pragma once
#include "actors/creatures/wildlife.h"

#include <SDL/SDL.h>
#include <SDL/SDL_mixer.h>

// A creature rooted in the ground: a head on a neck of 16-pixel segments. With no foe near it
// sinks low and cannot be hit at all; when one comes within reach it turns toward it, follows its
// height, opens its mouth and spits a swaying stream of acid.
class Splecker : public Wildlife {
public:
    Splecker(i32 x, i32 y);

    void draw(SDL_Surface* screen) override;
    void act() override;

    SDL_Surface* sheet;
    u8 head;         // head cell 0-8: 0 awake, 1 open, 2-4 opening, 5 dead, 6-8 asleep and waking
    u8 faceRight;    // the head is mirrored when set
    u8 timer;        // countdown to the next spit; then the spit's length; then the bleeding time
    i32 rootX;       // left of the 16-pixel neck column
    i32 rootY;       // the ground line the neck stands on
    u8 neck = 0;     // height of the head's top above rootY; 0 until rooted
    i8 aimDx = 0;    // horizontal distance to the foe, -100..100
    Mix_Chunk* spitSound;
    u8 hasFoe = 0;   // a foe was found at the last search
    u8 spitting = 0;

private:
    void bleed();
    void throwCorpse();
    void watchForFoes();
    Physical* nearestFoe();
    void animateHead();
    void openUp();
    void spit();
    void spitDrop();
    void drawHead(SDL_Surface* screen);
};

// The root and the neck up to the head: the whole neck, or broken off one segment short.
void drawSpleckerNeck(SDL_Surface* screen, SDL_Surface* sheet, i32 rootX, i32 rootY, u8 neck, bool broken);
// Roots a splecker's body on the floor under a narrow column in its middle, at most 96 pixels
// below its feet: rootY becomes that floor and the neck the height of the body's top above it.
// With no floor in reach the body leaves the level.
void rootSplecker(Physical& body, i32& rootY, u8& neck);
// Head cell 0-8 of the splecker sheet.
SDL_Rect spleckerHeadCell(u8 head);
