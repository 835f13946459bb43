// SdlEvents: one SDL event in Windows terms. Input becomes InputQueue events (in the order SDL
// reports it, with the button and modifier state as of that event); window events update the
// window (size, exposure, minimised state) or become activation and close requests.
// An adopted window (AdoptedWindow) gets no input, activation or close requests: its owner
// has those.
// Window thread only.
#pragma once

union SDL_Event;

namespace StandIn
{

void HandleSdlEvent(const SDL_Event& event);
// Forgets the tracked button and modifier state (StandIn_Reset).
void ResetSdlEventState();

} // namespace StandIn
