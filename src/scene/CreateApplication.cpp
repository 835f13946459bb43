#include <new>

#include "Application.h"
#include "WarpScene.h"

// Runs before the engine opens: only the scene's own fields are set here;
// everything that needs the engine happens in WarpScene::Create.
Application* CreateApplication()
{
    return new (std::nothrow) WarpScene();
}
