// Resource identifiers shared by the programs' resource script and the engine.
#pragma once

// The application icon, loaded by the engine for its window class.
#define IDI_APP_ICON 101

// The description string: the name Windows' screensaver settings show for the .scr.
#define IDS_DESCRIPTION 1
