#include "core/modal.h"

#include "core/input.h"

namespace {

constexpr Uint32 IdlePollMs = 10;

ModalPoll pollSdlQueue(SDL_Event* event)
{
    return SDL_PollEvent(event) ? ModalPoll::Event : ModalPoll::Nothing;
}

ModalEventSource modalSource = pollSdlQueue;

} // namespace

void setModalEventSource(ModalEventSource source)
{
    modalSource = source ? source : pollSdlQueue;
}

ModalPoll pollModalEvent(SDL_Event* event)
{
    ModalPoll result = modalSource(event);
    if (result != ModalPoll::Nothing)
        resyncInputAfterModal();
    return result;
}

bool waitModalEvent(SDL_Event* event)
{
    for (;;) {
        switch (pollModalEvent(event)) {
        case ModalPoll::Event: return true;
        case ModalPoll::Ended: return false;
        case ModalPoll::Nothing: SDL_Delay(IdlePollMs); break;
        }
    }
}
