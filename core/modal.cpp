#include "core/modal.h"

namespace {

bool waitForSdlEvent(SDL_Event* event)
{
    return SDL_WaitEvent(event) == 1;
}

ModalEventSource modalSource = nullptr;

} // namespace

void setModalEventSource(ModalEventSource source)
{
    modalSource = source;
}

bool waitModalEvent(SDL_Event* event)
{
    return modalSource ? modalSource(event) : waitForSdlEvent(event);
}

bool modalIsScripted()
{
    return modalSource != nullptr;
}
