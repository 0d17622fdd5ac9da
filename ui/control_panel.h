// The control window "コントロールウィンドウ": eight rollouts, two panels and
// a row of commands, almost every control bound to a field of the world.
#pragma once

class GLUI;
class GLUI_StaticText;

extern GLUI* controlWindow;
// The formula lines of the two slot editors (0 external, 1 pair).
extern GLUI_StaticText* formulaTexts[2];

// Builds every control into controlWindow, top to bottom.
void buildControlPanel();
