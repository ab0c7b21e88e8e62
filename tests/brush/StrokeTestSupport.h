// Helpers shared by the stroke buffer tests of both programs.
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "brush/BrushBuff.h"
#include "tests/brush/LiteralStroke.h"

// The dab this test executable is linked with.
LiteralStroke::Dab LinkedDab();

// Masks built once per test program and copied into each buffer's brush, as
// building them takes a while under valgrind.
const Brush& SharedMasks();
void GiveMasks(Brush& brush);

inline const unsigned char* PixelAt(const BrushBuff& b, int col, int row) {
  return b.surface.bits + (b.surface.height - 1 - row) * b.surface.stride + col * 4;
}
inline int AlphaAt(const BrushBuff& b, int col, int row) { return PixelAt(b, col, row)[3]; }
inline float CoverageAt(const BrushBuff& b, int col, int row) {
  return b.coverage[row * b.surface.width + col];
}

inline void ExpectDirty(const BrushBuff& b, int left, int top, int right, int bottom) {
  EXPECT_EQ(b.dirty.left, left);
  EXPECT_EQ(b.dirty.top, top);
  EXPECT_EQ(b.dirty.right, right);
  EXPECT_EQ(b.dirty.bottom, bottom);
}

// Every byte, every coverage value (bit for bit), the dirty rectangle and the
// spacing state.
inline void ExpectSameAsLiteral(const BrushBuff& b, const LiteralStroke& m) {
  ASSERT_EQ(b.surface.width, m.width);
  ASSERT_EQ(b.surface.height, m.height);
  const size_t pixels = size_t(m.width) * m.height;
  int differing = 0;
  for (size_t k = 0; k < pixels * 4; ++k) differing += b.surface.bits[k] != m.bgra[k];
  for (size_t k = 0; k < pixels; ++k) differing += std::memcmp(&b.coverage[k], &m.coverage[k], sizeof(float)) != 0;
  EXPECT_EQ(differing, 0);
  ExpectDirty(b, m.dirtyLeft, m.dirtyTop, m.dirtyRight, m.dirtyBottom);
  EXPECT_EQ(b.firstDab, m.firstDab);
  EXPECT_EQ(b.lastX, m.lastX);
  EXPECT_EQ(b.lastY, m.lastY);
}
