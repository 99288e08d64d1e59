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

// A table of row, plane or vector pointers. It is cleared at once, so after a failure part way
// the entries never filled read as null and a later de-allocation stops there instead of
// freeing garbage.
template <typename T> bool AllocateTable(T **&table, std::size_t count) {
  if (!AllocateBlock(table, count))
    return false;
  std::fill_n(table, count, nullptr);
  return true;
}

std::uint16_t RowLength(PLineArrayW rowLengths, int row, std::uint16_t cols) {
  return rowLengths ? rowLengths[row - 1] : cols;
}

// The heap frees by address, so the lengths the de-allocation functions receive are not needed
// to release a block; they stay in the signatures to mirror the allocation.

bool AllocateRowW(P2DArrayW table, int row, std::uint16_t length) { return AllocateBlock(table[row - 1], length); }
bool DeAllocateRowW(P2DArrayW table, int row, std::uint16_t) { return DeAllocateBlock(table[row - 1]); }
bool AllocateRowF(P2DArrayF table, int row, std::uint16_t length) { return AllocateBlock(table[row - 1], length); }
bool DeAllocateRowF(P2DArrayF table, int row, std::uint16_t) { return DeAllocateBlock(table[row - 1]); }

bool AllocateVectorF(P3DArrayF table, int plane, int vector, std::uint16_t length) {
  return AllocateBlock(table[plane - 1][vector - 1], length);
}

bool DeAllocateVectorF(P3DArrayF table, int plane, int vector, std::uint16_t) {
  return DeAllocateBlock(table[plane - 1][vector - 1]);
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
    return false;
  for (int vector = 1; vector <= vectors; ++vector)
    if (!DeAllocateVectorF(table, plane, vector, length))
      return false;
  return DeAllocateBlock(table[plane - 1]);
}

template <typename T>
bool Allocate2D(T **&a, std::uint16_t rows, std::uint16_t cols, PLineArrayW rowLengths,
                bool (*allocateRow)(T **, int, std::uint16_t)) {
  if (!AllocateTable(a, rows))
    return false;
  for (int row = 1; row <= rows; ++row)
    if (!allocateRow(a, row, RowLength(rowLengths, row, cols)))
      return false;
  return true;
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
  if (!AllocateTable(a, planes))
    return false;
  for (int plane = 1; plane <= planes; ++plane)
    if (!AllocatePlaneF(a, plane, vectors, length))
      return false;
  return true;
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
