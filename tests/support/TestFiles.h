// Files of the Windows tests: where the test program lives, text read back,
// and BMP pictures written for the programs under test to load.
#pragma once
#include <functional>
#include <string>

#include "ScreenCapture.h"
#include "image/dib24.h"

// The directory of this test program, with a trailing backslash.
std::string TestDirectory();
// The whole file as it is, or "" when it cannot be read.
std::string ReadFileText(const std::string& path);

// Writes a picture (a capture, or one made up the same way) as a 24-bit BMP.
bool WriteBmp(const std::string& path, const Capture& picture);
// The same for a picture of width x height whose pixel (x, y) `paint` sets
// (blue, green, red).
bool WriteBmp(const std::string& path, int width, int height,
              const std::function<void(int x, int y, uint8_t* bgr)>& paint);
// Writes a 1-bit BMP of width x height, every pixel black, in pieces: small
// as a file, however large as a canvas.
bool WriteBlackOneBitBmp(const std::string& path, int width, int height);
// Reads a BMP file into `image` as the program does.
bool ReadBmpFile(const std::string& path, dib24& image);
