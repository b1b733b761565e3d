#pragma once

#include <QImage>
#include <QString>

namespace resgen {

// A 756x618 picture of the main window built from the files just written in the images
// folder (so it shows what the program will load), with the default transparencies.
QImage composePreview(const QString& imagesFolder);

} // namespace resgen
