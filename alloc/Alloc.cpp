#include <alloc/Alloc.h>

#include <algorithm>
#include <platform/rtl/Exceptions.h>
#include <platform/rtl/Memory.h>

namespace Alloc {

static_assert(sizeof(bool) == 1 && sizeof(TWPoint) == 16, "the arrays' element sizes are part of the unit's contract");

namespace {

using Platform::EOutOfMemory;

// Stores a block of `count` elements in `block`. When the heap refuses, `block` keeps its old
// value because the assignment never happens; any other exception reaches the caller.
template <typename T> bool AllocateBlock(T *&block, std::size_t count) {
  try {
    block = static_cast<T *>(Platform::GetMem(count * sizeof(T)));
  } catch (const EOutOfMemory &) {
    return false;
  }
  return true;
}

template <typename T> bool DeAllocateBlock(T *&block) {
  if (!block)
    return false;
  Platform::FreeMem(block);
  block = nullptr;
  return true;
}

// A table of row, plane or vector pointers. It is cleared at once, so that an allocation failing
// part way can tell the entries it filled from those it never reached.
template <typename T> bool AllocateTable(T **&table, std::size_t count) {
  if (!AllocateBlock(table, count))
    return false;
  std::fill_n(table, count, nullptr);
  return true;
}

// A block of zero elements is null from the start (the heap gives null for zero bytes), so only
// a null block that should have elements is missing: released already, or never allocated.
template <typename T> bool DeAllocateBlock(T *&block, std::size_t length) {
  if (length == 0 && !block)
    return true;
  return DeAllocateBlock(block);
}

std::uint16_t RowLength(PLineArrayW rowLengths, int row, std::uint16_t cols) {
  return rowLengths ? rowLengths[row - 1] : cols;
}

bool AllocateRowW(P2DArrayW table, int row, std::uint16_t length) { return AllocateBlock(table[row - 1], length); }
bool DeAllocateRowW(P2DArrayW table, int row, std::uint16_t length) { return DeAllocateBlock(table[row - 1], length); }
bool AllocateRowF(P2DArrayF table, int row, std::uint16_t length) { return AllocateBlock(table[row - 1], length); }
bool DeAllocateRowF(P2DArrayF table, int row, std::uint16_t length) { return DeAllocateBlock(table[row - 1], length); }

bool AllocateVectorF(P3DArrayF table, int plane, int vector, std::uint16_t length) {
  return AllocateBlock(table[plane - 1][vector - 1], length);
}

bool DeAllocateVectorF(P3DArrayF table, int plane, int vector, std::uint16_t length) {
  return DeAllocateBlock(table[plane - 1][vector - 1], length);
}

bool AllocatePlaneF(P3DArrayF table, int plane, std::uint16_t vectors, std::uint16_t length) {
  if (!AllocateTable(table[plane - 1], vectors))
    return false;
  for (int vector = 1; vector <= vectors; ++vector)
    if (!AllocateVectorF(table, plane, vector, length))
      return false;
  return true;
}

bool DeAllocatePlaneF(P3DArrayF table, int plane, std::uint16_t vectors, std::uint16_t length) {
  if (!table[plane - 1])
    return vectors == 0;
  for (int vector = 1; vector <= vectors; ++vector)
    if (!DeAllocateVectorF(table, plane, vector, length))
      return false;
  return DeAllocateBlock(table[plane - 1]);
}

// Frees whatever a failed allocation had obtained: the cleared table holds null wherever it
// stopped, and freeing null does nothing.
template <typename T> void ReleasePartial(T **table, std::size_t rows) {
  for (std::size_t i = 0; table && i < rows; ++i)
    Platform::FreeMem(table[i]);
  Platform::FreeMem(table);
}

void ReleasePartialCube(P3DArrayF table, std::size_t planes, std::size_t vectors) {
  for (std::size_t i = 0; table && i < planes; ++i)
    ReleasePartial(table[i], vectors);
  Platform::FreeMem(table);
}

// Builds a whole table in a local variable and hands it over only when complete. A failure part
// way, the heap's or any other exception, releases what was built and leaves `a` as it was.
template <typename T, typename TBuild, typename TRelease>
bool AllocateWhole(T **&a, std::size_t count, TBuild build, TRelease release) {
  T **table = nullptr;
  if (!AllocateTable(table, count))
    return false;
  bool built = false;
  try {
    built = build(table);
  } catch (...) {
    release(table);
    throw;
  }
  if (!built) {
    release(table);
    return false;
  }
  a = table;
  return true;
}

template <typename T>
bool Allocate2D(T **&a, std::uint16_t rows, std::uint16_t cols, PLineArrayW rowLengths,
                bool (*allocateRow)(T **, int, std::uint16_t)) {
  return AllocateWhole(
      a, rows,
      [&](T **table) {
        for (int row = 1; row <= rows; ++row)
          if (!allocateRow(table, row, RowLength(rowLengths, row, cols)))
            return false;
        return true;
      },
      [&](T **table) { ReleasePartial(table, rows); });
}

template <typename T>
bool DeAllocate2D(T **&a, std::uint16_t rows, std::uint16_t cols, PLineArrayW rowLengths,
                  bool (*deAllocateRow)(T **, int, std::uint16_t)) {
  if (!a)
    return false;
  for (int row = 1; row <= rows; ++row)
    if (!deAllocateRow(a, row, RowLength(rowLengths, row, cols)))
      return false;
  return DeAllocateBlock(a);
}

} // namespace

bool AllocateLineArrayB(PLineArrayB &a, std::uint16_t n) { return AllocateBlock(a, n); }
bool DeAllocateLineArrayB(PLineArrayB &a, std::uint16_t) { return DeAllocateBlock(a); }
bool AllocateLineArrayW(PLineArrayW &a, std::uint16_t n) { return AllocateBlock(a, n); }
bool DeAllocateLineArrayW(PLineArrayW &a, std::uint16_t) { return DeAllocateBlock(a); }
bool AllocateLineArrayLI(PLineArrayLI &a, std::uint16_t n) { return AllocateBlock(a, n); }
bool DeAllocateLineArrayLI(PLineArrayLI &a, std::uint16_t) { return DeAllocateBlock(a); }
bool AllocateLineArrayF(PLineArrayF &a, std::uint16_t n) { return AllocateBlock(a, n); }
bool DeAllocateLineArrayF(PLineArrayF &a, std::uint16_t) { return DeAllocateBlock(a); }

bool AllocatePointArray(PPointArray &a, std::uint16_t n) {
  if (!AllocateBlock(a, n))
    return false;
  for (int i = 1; i <= n; ++i)
    a[i - 1] = TWPoint{0, 0};
  return true;
}

bool DeAllocatePointArray(PPointArray &a, std::uint16_t) { return DeAllocateBlock(a); }

bool Allocate2DArrayW(P2DArrayW &a, std::uint16_t rows, std::uint16_t cols, PLineArrayW rowLengths) {
  return Allocate2D(a, rows, cols, rowLengths, AllocateRowW);
}

bool DeAllocate2DArrayW(P2DArrayW &a, std::uint16_t rows, std::uint16_t cols, PLineArrayW rowLengths) {
  return DeAllocate2D(a, rows, cols, rowLengths, DeAllocateRowW);
}

bool Allocate2DArrayF(P2DArrayF &a, std::uint16_t rows, std::uint16_t cols, PLineArrayW rowLengths) {
  return Allocate2D(a, rows, cols, rowLengths, AllocateRowF);
}

bool DeAllocate2DArrayF(P2DArrayF &a, std::uint16_t rows, std::uint16_t cols, PLineArrayW rowLengths) {
  return DeAllocate2D(a, rows, cols, rowLengths, DeAllocateRowF);
}

bool Allocate3DArrayF(P3DArrayF &a, std::uint16_t planes, std::uint16_t vectors, std::uint16_t length) {
  return AllocateWhole(
      a, planes,
      [&](P3DArrayF table) {
        for (int plane = 1; plane <= planes; ++plane)
          if (!AllocatePlaneF(table, plane, vectors, length))
            return false;
        return true;
      },
      [&](P3DArrayF table) { ReleasePartialCube(table, planes, vectors); });
}

bool DeAllocate3DArrayF(P3DArrayF &a, std::uint16_t planes, std::uint16_t vectors, std::uint16_t length) {
  if (!a)
    return false;
  for (int plane = 1; plane <= planes; ++plane)
    if (!DeAllocatePlaneF(a, plane, vectors, length))
      return false;
  return DeAllocateBlock(a);
}

} // namespace Alloc
