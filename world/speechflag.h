#pragma once

// True while a speech box is on screen: every level's object system then stands still.
// The speech box sets it; the object system and the tutorial markers read it.
bool speechBoxOpen();
void setSpeechBoxOpen(bool open);
