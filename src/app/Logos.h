#pragma once
// Pictures the program draws itself: the brand logos of the Help page and the
// communication indicator images. No image files are shipped.
#include <QPixmap>

// Large logo beside the tool title; brand 1 or 2 (anything else gives brand 1's).
QPixmap DrawBrandLogo(int brand, int size);
// Smaller logo beside the rights line and web address.
QPixmap DrawBrandMiddleLogo(int brand, int size);
// 25 x 25 images of the communication indicator.
QPixmap DrawComConnectedImage();
QPixmap DrawComInProgressImage();
