// The potential graph drawn over the particles.
#pragma once

void showGraphChanged(int id);
void graphSlotChanged(int id);
void graphClick(int x, int y);
void drawGraph();
