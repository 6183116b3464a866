#pragma once

// The settings of the main window's progress bar (`ProgressBar`): a flat blue cylinder on the
// command panel's colour, range 0 to 100, no text.

class TProgressCyl;

// Applies them to a bar: place (485, 61) and size 210 x 20 in its parent (the window anchors it
// to the bottom, left and right itself), colours, bevels, border, font and range.
void ConfigureMainProgressBar(TProgressCyl &bar);
