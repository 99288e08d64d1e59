#pragma once

namespace Velgrreg {

// Puts the world graph, and only it, on the palette page "NordaGraph". The paint box and the
// rulers are not registered: they exist only as children the graph makes.
void Register();

} // namespace Velgrreg
