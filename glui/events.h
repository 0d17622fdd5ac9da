// The GLUT callbacks of every control window: drawing, size, mouse, keys.
#pragma once

// Registers them on the current GLUT window.
void installWindowHandlers();
