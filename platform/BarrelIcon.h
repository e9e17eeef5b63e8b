// The program's icon art, shared by the window icon and the installed desktop icons.
#pragma once

#include <cstdint>
#include <string>

/// Pixel (x, y) of a size x size barrel icon as 0xAARRGGBB; x and y count from the top left.
/// The picture is drawn on a 48-pixel grid and scaled, so every size shows the same barrel.
/// Pixels outside the square, and every pixel when size is not positive, are transparent.
std::uint32_t barrelIconPixel(int x, int y, int size);

/// The same barrel as a scalable picture: an SVG document on a 48-unit view box.
std::string barrelIconSvg();
