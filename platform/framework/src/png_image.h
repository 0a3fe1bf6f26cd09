// The programs' images: every one is a PNG, which Qt reads itself.
#pragma once

#include <QPixmap>
#include <QString>

// The PNG at path, or a null pixmap. Read as PNG by name: a reader left to
// detect the format asks every image plugin first, and so loads them all
// (gif, ico, jpeg and libjpeg) at start-up.
QPixmap ReadPng(const QString& path);
