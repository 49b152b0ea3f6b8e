#pragma once

#include <cstdint>

#include "texture/PictureFile.h"

// Large photos are made small before the upload: the GL makes mipmaps of
// whatever it gets, and a 24-megapixel photo would cost it seconds. Integer
// arithmetic only, so every machine makes the same texels.

// The longest side a picture goes up with; Demo.jpg is 256 x 256.
constexpr std::int32_t kPictureMaxSide = 1024;

// The size a width x height picture is scaled to: itself when both sides fit
// within maxSide; else the longest side becomes maxSide and the other keeps
// the aspect, rounded to the nearest whole pixel and at least 1.
void ScaledPictureSize(std::int32_t width, std::int32_t height, std::int32_t maxSide,
                       std::int32_t* scaledWidth, std::int32_t* scaledHeight);

// Each new pixel is the rounded mean of a box of whole source pixels: new
// column x covers source columns x * width / newWidth up to (x + 1) * width /
// newWidth (rounded down), rows alike. Leaves an image that already fits as
// it is; false when the new block cannot be allocated, the image unchanged.
bool ScalePictureDown(PictureImage* image, std::int32_t maxSide);
