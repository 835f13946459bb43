// Application: the interface the shell drives; the one implementation is the
// scene (WarpScene), made by CreateApplication.
//
// Owner: the shell. It makes the object with CreateApplication before the
// engine opens, calls Create once after Engine::Open succeeded, and at the end
// calls either Destroy (the loop ended normally) or Terminate (the abnormal
// path: a quit message or a failed check), then deletes the object and clears
// g_pApp.
//
// Per frame: Frame, once per loop pass while the engine is active, through
// Engine::Tick.
//
// The four operations keep their slot order (Create, Destroy, Terminate,
// Frame). The destructor comes after them: the shell deletes the scene through
// this interface, so it must be virtual for the whole object to be freed.
#pragma once
#include "Types.h"

class Application
{
  public:
    // Builds everything the application draws; the engine, display and
    // renderer are open. Non-zero on success.
    virtual Int32 Create() = 0;
    // Releases everything Create made; the engine is still open.
    virtual void Destroy() = 0;
    // Last call on the abnormal path, made just before the object is freed.
    virtual void Terminate() = 0;
    // Advances time and draws one frame. The result is not read.
    virtual Int32 Frame() = 0;

    virtual ~Application() {}
};

// Allocates and initialises the one application object; null when the
// allocation fails. Runs before Engine::Open, so it only sets the object's own
// fields. Defined by the scene.
Application* CreateApplication();
