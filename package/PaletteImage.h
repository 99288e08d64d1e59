#pragma once

#include <cstdint>
#include <span>

namespace VelGraphPkg {

// The palette button of the world graph: a 28 x 28 BMP file image of 8 bits per pixel with a
// 256-colour palette, carried by the package as the resource TVELWORLDGRAPH.
std::span<const std::uint8_t> WorldGraphPaletteImage();

} // namespace VelGraphPkg
