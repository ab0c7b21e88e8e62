#include "dib32.h"

#include "DibSection.h"

#include <algorithm>
#include <cstring>
#include <utility>

dib32::dib32() : oldObject(nullptr), dc(nullptr), bitmap(nullptr), bits(nullptr), width(0), height(0), stride(0) {}

dib32::~dib32() { Release(); }

void dib32::Create(int w, int h) {
  Release();
  BITMAPINFO info;
  SetDibHeader(info, w, h, 32);
  MakeDibSection(*this, info, static_cast<long long>(w) * 4);

  HDC screen = GetDC(nullptr);
  dc = CreateCompatibleDC(screen);
  oldObject = bitmap ? SelectObject(dc, bitmap) : nullptr;
  ReleaseDC(nullptr, screen);

  if (bits) std::memset(bits, 0, static_cast<size_t>(height) * stride);
}

void dib32::Clear(const RECT* rect) {
  if (!bits) return;
  if (!rect) {
    std::memset(bits, 0, static_cast<size_t>(height) * stride);
    return;
  }
  const int left = std::max<int>(rect->left, 0);
  const int right = std::min<int>(rect->right, width);
  const int top = std::max<int>(rect->top, 0);
  const int bottom = std::min<int>(rect->bottom, height);
  if (top >= bottom || left >= right) return;
  for (int y = top; y < bottom; ++y) {
    std::memset(Row(y) + left * 4, 0, static_cast<size_t>(right - left) * 4);
  }
}

void dib32::Swap(dib32& other) { SwapDibSection(*this, other); }

void dib32::Release() {
  ReleaseDibSection(*this);
}
