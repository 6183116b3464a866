#pragma once

// The buttons of the borderless windows' title bands: minimise and exit on the main window,
// close on the secondary windows.

class TImageBt;

enum TTitleButton
{
    tbMinimize,
    tbExit,
    tbClose
};

// Makes a 21 x 21 picture button with the normal, over and pressed pictures of its kind, a
// hand cursor, Transparent off and its hint ("Minimize", "Exit" or "Close"). The window places
// the button and connects its clicked signal.
void ConfigureTitleBandButton(TImageBt &button, TTitleButton kind);
