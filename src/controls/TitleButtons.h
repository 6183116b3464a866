#pragma once

// The buttons of the borderless windows' title bands: minimise and exit on the main window,
// close on the secondary windows. Their pictures are drawn here, at any device pixel ratio.

#include "PixelRatio.h"

#include <QImage>

class TImageBt;

enum TTitleButton
{
    tbMinimize,
    tbExit,
    tbClose
};

enum TTitleButtonLook
{
    tlNorm,
    tlOver,
    tlPres
};

// The picture of one button in one look: 21 x 21 device-independent pixels, drawn at the given
// device pixel ratio (so 42 x 42 pixels at ratio 2).
QImage TitleButtonPicture(TTitleButton kind, TTitleButtonLook look, qreal ratio);

// Makes a 21 x 21 picture button with the normal, over and pressed pictures of its kind drawn at
// the ratio, a hand cursor, Transparent off, and its hint ("Minimize", "Exit" or "Close") as
// tooltip and accessible name. The window places the button and connects its clicked signal.
void ConfigureTitleBandButton(TImageBt &button, TTitleButton kind, qreal ratio = SharpestPixelRatio());
