#pragma once

#include <QSize>

// Width/height pairs between screen pixels and twips, with the screen's twips-per-pixel
// factors, rounded to the nearest integer.
QSize PixelsToTwips(QSize pixels);
QSize TwipsToPixels(QSize twips);
