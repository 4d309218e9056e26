#pragma once
// The program's pictures (ArtworkNames, ImageList.h) as images: 16 x 16
// icons drawn as character maps, one character per pixel, in one palette
// with dark outlines.
#include <QImage>

#include <string_view>

namespace plat {

// The picture of that name (transparent where nothing is drawn); a null
// image for a name that is not among them.
QImage ArtworkImage(std::string_view name);

} // namespace plat
