#pragma once

#include <QWidget>

// Window geometry is designed in twips (1/1440 inch): 15 twips are one pixel at
// 96 dpi. Converts to pixels for the screen the widget is on.
int twipsToPixels(int twips, const QWidget* widget = nullptr);
int pixelsToTwips(int pixels, const QWidget* widget = nullptr);
