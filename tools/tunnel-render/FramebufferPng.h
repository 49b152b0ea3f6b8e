#pragma once

#include <string>

// Reads the current GL framebuffer (width x height from the lower left
// corner) and writes it as an 8-bit RGB PNG, top row first. False, with
// *error set, when the file cannot be written.
bool WriteFramebufferPng(const std::string& path, int width, int height, std::string* error);
