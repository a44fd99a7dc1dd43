#pragma once

// Where colours lie in a table over RGB of 65 nodes per axis holding four floats per node,
// for the press's row loops: the inks, or the values a press's own table starts from.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "colour/row_lanes.h"

namespace irobunkai::cells {

inline constexpr int kNodes = 65;
inline constexpr std::size_t kNodeCount = std::size_t{kNodes} * kNodes * kNodes;

// A node's four values in one register: they are worked out side by side.
using Quad = float __attribute__((vector_size(16)));
using QuadInt = std::int32_t __attribute__((vector_size(16)));

inline Quad QuadAt(const float* node) {
  Quad q;
  std::memcpy(&q, node, sizeof(q));
  return q;
}

// For each colour of a stretch, its tetrahedron's four corners (the cell's first node, and
// the second and third corners as offsets from it; the last is the cell's far corner) and
// their weights.
struct Cells {
  std::array<std::int32_t, lanes::kStretch> base;
  std::array<std::int32_t, lanes::kStretch> second;
  std::array<std::int32_t, lanes::kStretch> third;
  std::array<float, lanes::kStretch> w0;
  std::array<float, lanes::kStretch> w1;
  std::array<float, lanes::kStretch> w2;
  std::array<float, lanes::kStretch> w3;
};

inline constexpr std::int32_t kR = 4 * kNodes * kNodes;
inline constexpr std::int32_t kG = 4 * kNodes;
inline constexpr std::int32_t kB = 4;

// Tetrahedral interpolation: the cube is cut along its diagonal into six tetrahedra, and the
// one holding the point is found by ordering the fractions. Worked out across a stretch by
// the vectoriser: the choices by arithmetic on comparisons, as a branch would be
// mispredicted at every cell. `kr`, `kg` and `kb` are the axes' strides.
inline void Tetrahedron(float fr, float fg, float fb, std::int32_t kr, std::int32_t kg,
                        std::int32_t kb, Cells& cells, std::size_t i) {
  const std::int32_t rg = fr >= fg;
  const std::int32_t gb = fg >= fb;
  const std::int32_t rb = fr >= fb;
  // The axis of the largest fraction is stepped first, that of the smallest last.
  const std::int32_t first = kb + (kr - kb) * (rg & rb) + (kg - kb) * ((1 - rg) & gb);
  const std::int32_t last = kr + (kb - kr) * (rb & gb) + (kg - kr) * (rg & (1 - gb));
  const float high = std::max(fr, std::max(fg, fb));
  const float low = std::min(fr, std::min(fg, fb));
  const float middle = fr + fg + fb - high - low;
  cells.second[i] = first;
  cells.third[i] = kr + kg + kb - last;
  cells.w0[i] = 1.0f - high;
  cells.w1[i] = high - middle;
  cells.w2[i] = middle - low;
  cells.w3[i] = low;
}

// The colours' tetrahedra in the table over RGB, the cell by arithmetic rather than a table.
inline void CellsOf(const ColorValue* colours, std::size_t n, Cells& cells) {
  constexpr float kScale = (kNodes - 1) / 255.0f;
  for (std::size_t i = 0; i < n; ++i) {
    const lanes::Bytes c = lanes::BytesOf(colours[i]);
    const float pr = static_cast<float>(c.r) * kScale;
    const float pg = static_cast<float>(c.g) * kScale;
    const float pb = static_cast<float>(c.b) * kScale;
    // The top level lies at the top of the last cell.
    const std::int32_t ir = std::min(static_cast<std::int32_t>(pr), kNodes - 2);
    const std::int32_t ig = std::min(static_cast<std::int32_t>(pg), kNodes - 2);
    const std::int32_t ib = std::min(static_cast<std::int32_t>(pb), kNodes - 2);
    cells.base[i] = ir * kR + ig * kG + ib * kB;
    Tetrahedron(pr - static_cast<float>(ir), pg - static_cast<float>(ig),
                pb - static_cast<float>(ib), kR, kG, kB, cells, i);
  }
}

// The four values at colour i of a stretch; `far` is the offset of the cell's far corner.
inline Quad Interpolated(const float* nodes, const Cells& cells, std::size_t i,
                         std::int32_t far = kR + kG + kB) {
  const float* c0 = nodes + cells.base[i];
  return QuadAt(c0) * cells.w0[i] + QuadAt(c0 + cells.second[i]) * cells.w1[i] +
         QuadAt(c0 + cells.third[i]) * cells.w2[i] + QuadAt(c0 + far) * cells.w3[i];
}

// A node's colour, 0..1 per channel; red varies slowest, blue fastest.
inline std::array<double, 3> NodeColour(std::size_t node) {
  constexpr double kStep = 1.0 / (kNodes - 1);
  constexpr std::size_t n = kNodes;
  return {static_cast<double>(node / (n * n)) * kStep, static_cast<double>(node / n % n) * kStep,
          static_cast<double>(node % n) * kStep};
}

}  // namespace irobunkai::cells
