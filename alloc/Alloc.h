#pragma once

// Heap arrays whose lengths are chosen at run time. Arrays are indexed from 1 in the unit's
// terms: element i lies at pointer index i - 1. Out of memory is reported as false, never thrown;
// de-allocation needs the same counts as the allocation and clears the caller's pointer.
//
// A 2-D or 3-D allocation that fails part way releases what it had obtained and leaves the
// variable as it was. Rows and vectors of length zero are null blocks: de-allocation knows them
// from the counts and releases such an array. A null variable, or a row, plane or vector that
// should have elements but is null (released twice), makes de-allocation return false.

#include <cstdint>

namespace Alloc {

// A world point, X then Y (the same layout as the paint box's TWPoint).
struct TWPoint {
  double X = 0;
  double Y = 0;
};

using PLineArrayB = bool *;
using PLineArrayW = std::uint16_t *;
using PLineArrayLI = std::int32_t *;
using PLineArrayF = double *;
using PPointArray = TWPoint *;
// Row tables: entry i - 1 points at row i.
using P2DArrayW = PLineArrayW *;
using P2DArrayF = PLineArrayF *;
// Plane table: entry i - 1 points at plane i's table of vectors.
using P3DArrayF = P2DArrayF *;

bool AllocateLineArrayB(PLineArrayB &a, std::uint16_t n);
bool DeAllocateLineArrayB(PLineArrayB &a, std::uint16_t n);
bool AllocateLineArrayW(PLineArrayW &a, std::uint16_t n);
bool DeAllocateLineArrayW(PLineArrayW &a, std::uint16_t n);
bool AllocateLineArrayLI(PLineArrayLI &a, std::uint16_t n);
bool DeAllocateLineArrayLI(PLineArrayLI &a, std::uint16_t n);
bool AllocateLineArrayF(PLineArrayF &a, std::uint16_t n);
bool DeAllocateLineArrayF(PLineArrayF &a, std::uint16_t n);
// Every point starts at (0, 0).
bool AllocatePointArray(PPointArray &a, std::uint16_t n);
bool DeAllocatePointArray(PPointArray &a, std::uint16_t n);

// Row i has rowLengths[i - 1] elements when rowLengths is given, else cols.
bool Allocate2DArrayW(P2DArrayW &a, std::uint16_t rows, std::uint16_t cols, PLineArrayW rowLengths);
bool DeAllocate2DArrayW(P2DArrayW &a, std::uint16_t rows, std::uint16_t cols, PLineArrayW rowLengths);
bool Allocate2DArrayF(P2DArrayF &a, std::uint16_t rows, std::uint16_t cols, PLineArrayW rowLengths);
bool DeAllocate2DArrayF(P2DArrayF &a, std::uint16_t rows, std::uint16_t cols, PLineArrayW rowLengths);

bool Allocate3DArrayF(P3DArrayF &a, std::uint16_t planes, std::uint16_t vectors, std::uint16_t length);
bool DeAllocate3DArrayF(P3DArrayF &a, std::uint16_t planes, std::uint16_t vectors, std::uint16_t length);

} // namespace Alloc
