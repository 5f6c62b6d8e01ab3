#include "core/modal.h"

#include "core/input.h"
#include "core/platform.h"

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
    if (terminateRequested())
        return ModalPoll::Ended;
    // The devices change only while the source is looked at: that is what the next sample is told.
    const InputSnapshot before = snapshotInput();
    ModalPoll result = modalSource(event);
    resyncInputAfterModal(before);
    return result;
}

bool waitModalEvent(SDL_Event* event)
{
    // Polling instead of blocking in SDL keeps a terminate request from waiting for an event.
    for (;;) {
        switch (pollModalEvent(event)) {
        case ModalPoll::Event: return true;
        case ModalPoll::Ended: return false;
        case ModalPoll::Nothing: SDL_Delay(IdlePollMs); break;
        }
    }
}
