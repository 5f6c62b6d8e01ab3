#pragma once

// What a desktop launch gives a game and a plain Linux process lacks: an orderly end on a
// terminate request, and a working directory that holds the game's data.

// SIGINT and SIGTERM ask the game to end: the frame loop stops after the frame in progress and
// every modal wait returns at once, so the program always shuts down in order. The file size
// limit's signal is ignored (see ignoreFileSizeSignal).
void installTerminateHandlers();
// A write past the file size limit then fails, and the save or the packer says so, instead of the
// signal ending the program in the middle of it with a half-written file left behind.
void ignoreFileSizeSignal();
bool terminateRequested();
void clearTerminateRequest();  // for tests that raise the signals themselves

// Makes a folder that holds "resource/" the working directory: the current one, else the
// executable's folder, else its parent, else the source tree of the build that left the
// executable in its folder (see rememberBuild). Logs one line when it moves, and one line naming
// every place it looked when none of them has the data (then false).
bool enterDataFolder();

// A build folder may lie anywhere, away from the data; the executable the build made knows where
// it was put and which source tree it came from. A copy taken elsewhere does not look there.
void rememberBuild(const char* buildFolder, const char* sourceFolder);
