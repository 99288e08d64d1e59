// Compiled as part of the graphics layer, this include of the controls layer must not be found.
#include <platform/controls/Screen.h>
