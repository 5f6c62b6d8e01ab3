#include "world/speechflag.h"

namespace {
bool speechBoxShown = false;
}

bool speechBoxOpen()
{
    return speechBoxShown;
}

void setSpeechBoxOpen(bool open)
{
    speechBoxShown = open;
}
