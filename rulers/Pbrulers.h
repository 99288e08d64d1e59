#pragma once

// The rulers unit: the horizontal and vertical rulers of the world graph and the layout of
// their graduations.

#include <rulers/HRuler.h>
#include <rulers/RulerLayout.h>
#include <rulers/VRuler.h>
