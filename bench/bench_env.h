#pragma once
#include "core/types.h"

#include <initializer_list>
#include <string>

// The program's own start-up for benchmarks that draw, load or play: the window on SDL's dummy
// drivers (unless others are chosen), audio, the back buffer and the resource pack. The first
// benchmark that asks opens them and they stay open until the run ends, so every benchmark finds
// the real resources, whether it runs alone or after others.
void openBenchEnvironment();

// Takes the frame's input sample with the keys just pressed (a sample without them first); the
// next sample finds them let go.
void pressKeys(std::initializer_list<u16> keys);

// Text typed into the next prompts, each answer ended by Return; modal screens that find no
// typed key left are closed at once.
void typeAnswers(std::initializer_list<std::string> answers);
