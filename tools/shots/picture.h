#ifndef PICTURE_H
#define PICTURE_H

#include <QString>

class QPixmap;

// Writes one picture of a tool, naming the file on standard output, or on standard error when it
// cannot be written.
bool savePicture(const QPixmap& picture, const QString& path);

#endif
