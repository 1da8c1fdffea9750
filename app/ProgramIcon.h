#pragma once

#include <QIcon>
#include <QPixmap>

// The program's icon (an hourglass), drawn rather than shipped as image files
// so that it is crisp at every size the tray or a title bar asks for.
QIcon programIcon();

// The hourglass at one size, for the splash picture.
QPixmap programPicture(int size);
