#include "Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace {

double dotsPerInch(const QWidget* widget) {
    const QScreen* screen = widget && widget->screen() ? widget->screen()
                                                       : QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInch() : 96.0;
    return dpi > 0 ? dpi : 96.0;
}

} // namespace

int twipsToPixels(int twips, const QWidget* widget) {
    return static_cast<int>(std::nearbyint(twips * dotsPerInch(widget) / 1440.0));
}

int pixelsToTwips(int pixels, const QWidget* widget) {
    return static_cast<int>(std::nearbyint(pixels * 1440.0 / dotsPerInch(widget)));
}
