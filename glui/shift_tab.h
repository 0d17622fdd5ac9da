// Shift+Tab produces the key symbol ISO_Left_Tab, which has no text, so GLUT
// never reports it and backwards focus moves would be lost. Binding it to a
// tab character lets it arrive as Tab with Shift held.
#pragma once

// Needs a current GLUT window; does its work once per process.
void bindShiftTab();
