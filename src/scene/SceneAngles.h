// The two turning angles of the scene, in radians.
//
// Process-wide values, 0.0 when the program starts and never reset: they keep
// growing for as long as the process runs, across any number of scene
// objects. Advanced once per frame by the frame step of g_FrameTimer.
#pragma once

// The grid's angle, advanced by WarpScene's Application::Frame.
extern float g_fSceneAngle;

// The dome's angle, advanced by Backdrop::Draw.
extern float g_fBackdropAngle;
