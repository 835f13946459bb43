// Engine: the top object of the engine. Exactly one exists per process.
//
// Owner: the shell creates it (g_pEngine), opens it, asks it in the main loop
// whether to go on (IsRunning), whether to draw (IsActive) and to draw a frame
// (Tick), and finally closes and deletes it. The Engine owns the
// DisplayDevice, made in Open and freed in Close.
//
// The window procedure carries the screensaver's exit rules: it ends a run
// only by clearing the running flag; nothing posts a quit message.
//
// Per frame: Tick (from the shell's loop when no message is pending).
// Everything runs on the shell's one thread.
#pragma once
#include <windows.h>
#include "Types.h"

class DisplayDevice;

class Engine
{
  public:
    Engine();

    // Registers the window class and opens the display (full screen unless
    // the run mode is windowed). 1 on success; on failure everything it made
    // is released again and the result is 0.
    Int32 Open();
    // Closes and frees the display, unregisters the class, clears running.
    // Safe to call more than once.
    void Close();

    Int32 IsRunning() const { return m_nRunning; }
    Int32 IsActive() const { return m_nActive; }
    // One frame of the application, when active.
    void Tick();
    DisplayDevice* GetDisplay() const { return m_pDisplay; }

    // The message rules, reached from EngineWindowProc.
    LRESULT HandleMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
    // Activation change; losing activation also ends the run.
    void SetActive(Int32 nActive);

  private:
    void HandleMouseMove(WPARAM wParam, LPARAM lParam);

    DisplayDevice* m_pDisplay; // owned; null while closed
    Int32 m_nRunning;          // 1 after a successful open; the loop goes on while set
    Int32 m_nActive;           // 1 after a successful open; follows window activation
};

// Window procedure of the class "Vellumtide": finds the Engine through the
// window's user-data slot; messages before that slot is set (or after it is
// cleared) get default processing.
LRESULT CALLBACK EngineWindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
