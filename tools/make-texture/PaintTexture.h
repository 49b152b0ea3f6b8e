#pragma once

#include <vector>

// The tunnel's texture, painted procedurally: riveted metal panels with
// bevelled edges, vents, hatches and hazard stripes, between recessed
// channels carrying glowing tubes. Every feature and every noise lattice
// repeats with the image's period, so it tiles without seams both ways, as
// the tunnel repeats it around each ring and along the path. Deterministic:
// no clock, no random seed.
constexpr int kTextureSize = 256;

// kTextureSize rows of kTextureSize red, green, blue pixels, top row first:
// the window of the endless tiled plane whose top left pixel is at
// (originX, originY). The texture itself is the window at (0, 0); any other
// window equals it shifted round, which is what makes it seamless.
std::vector<unsigned char> PaintTexture(int originX = 0, int originY = 0);
