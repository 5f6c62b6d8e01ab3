#pragma once
#include "core/types.h"

// Mersenne Twister streams kept by id. Every game caller draws from the default stream.
extern int defaultStream;

int randomSigned(int n, int stream = defaultStream);        // [0, n], or [n, 0] when n <= 0
int randomRange(int a, int b, int stream = defaultStream);  // a..b inclusive, either order
double randomReal(double x, int stream = defaultStream);    // [0, x)
double randomRealRange(double a, float b, int stream = defaultStream);
double randomNormal(double mean, double sd, int stream = defaultStream);
u32 randomDraw(int stream = defaultStream);                 // one raw 32-bit draw

void reseedDefaultStream();
void releaseAllStreams();
void seedStream(int stream, u32 seed);
int newStream();
void releaseStream(int stream);
