// How the scene reaches the engine's objects: always through g_pEngine, the
// display and its renderer, fetched afresh at the start of each operation
// (the display restarts its renderer when the output mode changes).
#pragma once
#include "DisplayDevice.h"
#include "Engine.h"
#include "Shell.h"

inline DisplayDevice* SceneDisplay()
{
    return GetEngine()->GetDisplay();
}

inline Renderer* SceneRenderer()
{
    return SceneDisplay()->GetRenderer();
}
