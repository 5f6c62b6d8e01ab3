#pragma once

// What a desktop launch gives a game and a plain Linux process lacks: an orderly end on a
// terminate request, and a working directory that holds the game's data.

// SIGINT and SIGTERM ask the game to end: the frame loop stops after the frame in progress and
// every modal wait returns at once, so the program always shuts down in order.
void installTerminateHandlers();
bool terminateRequested();
void clearTerminateRequest();  // for tests that raise the signals themselves

// Makes a folder that holds "resource/" the working directory: the current one, else the
// executable's folder, else its parent. Logs one line when it moves, and one line naming every
// place it looked when none of them has the data (then false).
bool enterDataFolder();
