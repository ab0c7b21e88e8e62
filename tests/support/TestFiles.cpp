#include "TestFiles.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <vector>

namespace {
// The file and info headers of an uncompressed bottom-up BMP, and its palette.
bool WriteHeaders(FILE* file, int width, int height, int bits, uint32_t rowBytes,
                  const std::vector<RGBQUAD>& palette) {
  const uint32_t headers = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
  const uint32_t offBits = headers + static_cast<uint32_t>(palette.size() * sizeof(RGBQUAD));
  BITMAPFILEHEADER fileHeader = {};
  fileHeader.bfType = 0x4D42;  // "BM"
  fileHeader.bfOffBits = offBits;
  fileHeader.bfSize = offBits + rowBytes * static_cast<uint32_t>(height);
  BITMAPINFOHEADER info = {};
  info.biSize = sizeof info;
  info.biWidth = width;
  info.biHeight = height;
  info.biPlanes = 1;
  info.biBitCount = static_cast<WORD>(bits);
  return std::fwrite(&fileHeader, sizeof fileHeader, 1, file) == 1 && std::fwrite(&info, sizeof info, 1, file) == 1 &&
         std::fwrite(palette.data(), sizeof(RGBQUAD), palette.size(), file) == palette.size();
}
}  // namespace

std::string TestDirectory() {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  const std::string program(path, length);
  return program.substr(0, program.find_last_of("\\/") + 1);
}

std::string ReadFileText(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

bool WriteBmp(const std::string& path, const Capture& picture) {
  const uint32_t rowBytes = (static_cast<uint32_t>(picture.width) * 3 + 3) & ~3u;
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  bool written = WriteHeaders(file, picture.width, picture.height, 24, rowBytes, {});
  std::vector<uint8_t> row(rowBytes, 0);
  for (int y = picture.height - 1; y >= 0 && written; --y) {
    std::memcpy(row.data(), picture.At(0, y), static_cast<size_t>(picture.width) * 3);
    written = std::fwrite(row.data(), 1, rowBytes, file) == rowBytes;
  }
  return std::fclose(file) == 0 && written;
}

bool WriteBmp(const std::string& path, int width, int height,
              const std::function<void(int x, int y, uint8_t* bgr)>& paint) {
  Capture picture;
  picture.width = width;
  picture.height = height;
  picture.bgr.resize(static_cast<size_t>(width) * height * 3);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) paint(x, y, &picture.bgr[(static_cast<size_t>(y) * width + x) * 3]);
  return WriteBmp(path, picture);
}

bool WriteBlackOneBitBmp(const std::string& path, int width, int height) {
  const uint32_t rowBytes = (static_cast<uint32_t>(width) + 31) / 32 * 4;
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  // Entry 0 black, entry 1 white; every pixel is 0.
  bool written = WriteHeaders(file, width, height, 1, rowBytes, {{0, 0, 0, 0}, {255, 255, 255, 0}});
  const std::vector<unsigned char> rows(static_cast<size_t>(rowBytes) * 1000, 0);
  for (int y = 0; y < height && written; y += 1000) {
    const size_t count = static_cast<size_t>(rowBytes) * (height - y < 1000 ? height - y : 1000);
    written = std::fwrite(rows.data(), 1, count, file) == count;
  }
  return std::fclose(file) == 0 && written;
}

bool ReadBmpFile(const std::string& path, dib24& image) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  const bool read = image.ReadBmp(file);
  std::fclose(file);
  return read;
}
