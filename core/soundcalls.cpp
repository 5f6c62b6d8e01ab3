#include "core/draw.h"

#include "core/modal.h"

#include <cstdio>

void playSound(Mix_Chunk* chunk, i16 loops)
{
    if (chunk)
        Mix_PlayChannelTimed(-1, chunk, loops, -1);
}

void playMusic(Mix_Music* music, i16 loops)
{
    if (!music)
        return;
    if (Mix_PlayingMusic())
        Mix_HaltMusic();
    Mix_PlayMusic(music, loops);
}

void fadeOutMusic()
{
    Mix_FadeOutMusic(4000);
}

void waitForQuitOrReturn()
{
    SDL_Event event;
    while (waitModalEvent(&event)) {
        if (event.type == SDL_QUIT)
            return;
        if (event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_RETURN)
            return;
    }
}

void debugPause(const std::string& text)
{
    std::fputs(text.c_str(), stdout);
    std::fflush(stdout);
    SDL_Delay(1000);
}
