#pragma once

#include <vector>

// The program's icon: a look down the tunnel, painted from the tunnel's own
// texture (PaintTexture) wrapped around a ring and receding into the dark
// centre, framed by a steel rim; transparent outside the rim. Deterministic.
//
// size rows of size red, green, blue, alpha pixels, top row first.
std::vector<unsigned char> PaintIcon(int size);
