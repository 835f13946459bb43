// CloseRequest: ending the program from outside its windows, the way its own close would. A
// request (from SIGTERM, SIGINT or SIGHUP once the handlers are installed, from another thread,
// or from the window system when an adopted window goes away) posts WM_CLOSE to every
// top-level window at the window thread's next look at its messages; a request made before
// any window exists waits for the first one. A blocked WaitMessage or GetMessageA wakes up.
// Signal handlers may only do async-signal-safe work: the handler writes one byte to a pipe,
// and a thread of the stand-in's own, blocked on that pipe, makes the request.
// Owner: process-wide. Request may be called from any thread; the rest on the window thread.
#pragma once

namespace StandIn
{

class CloseRequest
{
  public:
    // Installs the signal handlers (once); false when the pipe or its thread could not be made.
    static bool InstallSignalHandlers();
    static void Request();
    // On each look at the queue: posts the WM_CLOSE messages when a request waits.
    static void DeliverIfPending();
    static void Reset();
};

} // namespace StandIn
