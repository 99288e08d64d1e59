// Compiled as part of the graphics layer, its own headers and those of the layers below are found.
#include <platform/graphics/Canvas.h>
#include <platform/rtl/Rtl.h>
