#pragma once

// The effect's face towards the application shell.

// Sets the projection, loads and binds the texture, sets the fixed GL state
// and resets travel and speed. Needs a current GL context and the client size.
bool InitEffect();

// The GL half of InitEffect alone, for a context that replaced a lost one:
// projection, texture and fixed state again; the flight goes on.
void RebuildEffectGl();

// Draws one frame: projection follows the window's shape, the title shows the
// rate once a second, the camera advances and the tunnel is drawn far to
// near. Posts a close request once the tunnel has run out after Escape.
void RenderFrame();

// Matching hook after the message loop; nothing to undo.
void ShutdownEffect();
