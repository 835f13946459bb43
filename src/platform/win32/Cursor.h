// Cursor: the pointer's last known screen position (stamped on every queued message, read by
// GetCursorPos) and the cursor calls (LoadCursorA, SetCursor, ShowCursor), plus LoadIconA.
// Window thread only.
#pragma once

#include <windows.h>

namespace StandIn
{

POINT CursorScreenPosition();
void SetCursorScreenPosition(POINT pt);
void ResetCursor();

} // namespace StandIn
