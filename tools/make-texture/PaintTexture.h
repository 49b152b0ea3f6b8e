#pragma once

#include <vector>

// The tunnel's texture, painted procedurally: riveted metal panels with
// bevelled edges, vents, hatches and hazard stripes, between recessed
// channels carrying glowing tubes. Every feature and every noise lattice
// repeats with the image's period, so it tiles without seams both ways, as
// the tunnel repeats it around each ring and along the path. Deterministic:
// no clock, no random seed.
constexpr int kTextureSize = 256;

// kTextureSize rows of kTextureSize red, green, blue pixels, top row first.
std::vector<unsigned char> PaintTexture();
