// Control windows that vanish from outside end the program.
#pragma once

// Watches the current GLUT window: once the window system has destroyed it
// behind the program's back, the program ends with status 0, as it does when
// the window is closed through the window manager.
void endWhenDestroyed();
