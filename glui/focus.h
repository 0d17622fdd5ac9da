// The one control with the focus, across all control windows, and how it
// moves: by clicking, by Tab / Shift+Tab, or away when a control disappears.
#pragma once

class GLUI;
class GLUI_Control;

extern GLUI_Control* activeControl;   // nullptr: nothing has the focus
extern bool mouseHeld;                // the left button went down on a control

// Commits and unfocuses the active control, if any.
void deactivateActive();
// Moves the focus to c (committing the old one first); nullptr clears it.
void activateControl(GLUI_Control* c, bool byKeyboard);
// Tab order: the next (step +1) or previous (step -1) control that can take
// the focus in glui, wrapping around at both ends.
void moveFocus(GLUI* glui, int step);
// Drops the focus if it sits in something no longer shown or enabled.
void dropHiddenFocus(GLUI* glui);
// Whether c and every container around it are shown.
bool isShown(const GLUI_Control* c);
