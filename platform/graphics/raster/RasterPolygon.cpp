#include <platform/graphics/raster/RasterSpan.h>

#include <algorithm>
#include <cmath>
#include <vector>

// Polygons fill by the alternate rule, sampled at pixel centres. Row y is sampled on the line
// y + 1/2, which never passes through a vertex, so an edge from y0 to y1 (y0 < y1) crosses
// exactly the rows y0 <= y < y1 and horizontal edges cross none. Only the integer
// e = ceil(c - 1/2) of each crossing c matters: pixel x lies right of the crossing exactly when
// x >= e. Sorting a row's e values and filling [e0, e1), [e2, e3), ... gives the alternate rule,
// and two polygons sharing an edge compute the same e on it, so they neither overlap nor leave
// a gap.
//
// With N = 2dy * x0 + (2(y - y0) + 1) * dx - dy, e = ceil(N / 2dy). An edge keeps the quotient
// and remainder of that fraction and steps them by 2dx per row. Only the start needs 128 bits:
// afterwards every quantity is bounded by the edge's extent.

namespace Platform::Raster {

namespace {

// Trivially constructible, so that the stack buffer of the general filler costs nothing to set up.
class TEdge {
public:
  i64 Top;    // the row the walker is on
  i64 Bottom; // first row past the edge
  i64 E;      // first pixel right of the crossing on row Top
  i64 Rem;    // remainder of the crossing's fraction, 0 <= Rem < Den
  i64 Den;
  i64 StepE;
  i64 StepRem;

  // Starts the edge (x0, y0)-(x1, y1), y0 < y1, on row y0 <= row < y1.
  void Start(i64 x0, i64 y0, i64 x1, i64 y1, i64 row, i64 bottom) {
    const i64 dy = y1 - y0, dx = x1 - x0;
    Top = row;
    Bottom = bottom;
    Den = 2 * dy;
    if (dx == 0) { // e = ceil(x0 - 1/2) = x0 on every row
      E = x0;
      Rem = dy - 1;
      StepE = StepRem = 0;
      return;
    }
    const i128 n = static_cast<i128>(Den) * x0 + static_cast<i128>(2 * (row - y0) + 1) * dx - dy + (Den - 1);
    if (n > -Exact && n < Exact && Den < Exact) {
      // A hardware division costs more than the rest of a small figure: both quotients come
      // from one reciprocal.
      const double inverse = 1.0 / static_cast<double>(Den);
      Split(static_cast<i64>(n), inverse, E, Rem);
      Split(2 * dx, inverse, StepE, StepRem);
      return;
    }
    E = static_cast<i64>(FloorDiv(n, static_cast<i128>(Den)));
    Rem = static_cast<i64>(n - static_cast<i128>(E) * Den);
    StepE = FloorDiv(2 * dx, Den);
    StepRem = 2 * dx - StepE * Den;
  }

  // Branch-free: the carry of a random slope is as likely as not, and a mispredicted branch per
  // edge and row costs more than the span it leads to.
  void Next() {
    Rem += StepRem - Den;
    const i64 borrow = Rem >> 63; // -1 when there was no carry
    Rem += Den & borrow;
    E += StepE + 1 + borrow;
  }

private:
  // Magnitudes below which doubles hold n, Den and the quotient exactly enough.
  static constexpr i64 Exact = i64{1} << 52;

  // q = floor(n / Den) and r = n - q * Den in [0, Den), from n * (1 / Den): the truncated
  // product is within two of the quotient (truncation instead of a floor call, which is a
  // library call on the baseline instruction set), and the remainder's range corrects it.
  void Split(i64 n, double inverse, i64 &q, i64 &r) const {
    q = static_cast<i64>(static_cast<double>(n) * inverse);
    r = n - q * Den;
    while (r < 0) {
      --q;
      r += Den;
    }
    while (r >= Den) {
      ++q;
      r -= Den;
    }
  }
};

struct TVertex {
  i64 X, Y;
};

// The polygon's points with the origin added.
class TVertices {
public:
  TVertices(std::span<const TPoint> points, TPoint origin) : FPoints(points), FOrigin(origin) {}
  std::size_t Count() const { return FPoints.size(); }
  TVertex operator[](std::size_t i) const { return {i64{FPoints[i].X} + FOrigin.X, i64{FPoints[i].Y} + FOrigin.Y}; }

private:
  std::span<const TPoint> FPoints;
  TPoint FOrigin;
};

// One side of a y-monotone polygon: the vertices from the top going round in one direction,
// walked row by row.
class TChain {
public:
  TChain(const TVertices &v, std::size_t top, int direction) : FV(v), FIndex(top), FDirection(direction) {
    FFrom = FV[top];
    FEdge.Bottom = FFrom.Y;
  }

  // Moves to the edge crossing row; false when the chain ends above it.
  bool Reach(i64 row) {
    while (FEdge.Bottom <= row) {
      if (FSteps++ >= FV.Count())
        return false;
      if (FDirection > 0)
        FIndex = FIndex + 1 == FV.Count() ? 0 : FIndex + 1;
      else
        FIndex = FIndex == 0 ? FV.Count() - 1 : FIndex - 1;
      const TVertex to = FV[FIndex];
      if (to.Y < FFrom.Y)
        return false;
      if (to.Y > row)
        FEdge.Start(FFrom.X, FFrom.Y, to.X, to.Y, std::max(row, FFrom.Y), to.Y);
      FFrom = to;
    }
    return true;
  }

  i64 E() const { return FEdge.E; }
  // The first row past the current edge.
  i64 Bottom() const { return FEdge.Bottom; }
  void Next() { FEdge.Next(); }

private:
  const TVertices &FV;
  std::size_t FIndex;
  int FDirection;
  std::size_t FSteps = 0;
  TVertex FFrom;
  TEdge FEdge{};
};

// Polygons whose y goes down on one side and up on the other (every convex polygon, every
// marker, most quads) cross each row twice: the row's span lies between the two chains, found
// without any sorting. Between two vertices neither chain changes edge, so those rows run in an
// inner loop of their own. paint(y, a, b) writes [a, b) of row y, a <= b.
template <class TPaintRow>
void FillMonotone(const TVertices &v, std::size_t top, int firstRow, int endRow, TPaintRow &&paint) {
  TChain left(v, top, 1), right(v, top, -1);
  for (int y = firstRow; y < endRow;) {
    if (!left.Reach(y) || !right.Reach(y))
      return;
    const int stop = static_cast<int>(std::min<i64>({left.Bottom(), right.Bottom(), endRow}));
    for (; y < stop; ++y) {
      const i64 a = left.E(), b = right.E();
      paint(y, std::min(a, b), std::max(a, b));
      left.Next();
      right.Next();
    }
  }
}

// Scratch space of the general filler: on the stack for small polygons, in buffers kept per
// thread for large ones, so that no call allocates once the buffers have grown. Only large ones
// get the row and column tables.
constexpr std::size_t StackEdges = 64;

struct TScratch {
  TEdge *Edges;
  TEdge *Active;                    // the edges crossing the row, copied: walked row after row, they stay together
  std::size_t *RowStarts = nullptr; // one counter per row of the fill, and one more
  std::uint8_t *Marks = nullptr;    // one per column of the fill, and one more; zero between rows
};

// The figure's rows [FirstRow, EndRow) and its columns [Left, Right), both within the clip.
struct TFillBox {
  int FirstRow, EndRow;
  i64 Left, Right;
};

// Starts every edge crossing the box's rows, ordered by the row each starts on, and returns how
// many there are. Large polygons are placed by counting the edges starting on each row (linear
// in the points and rows); small ones are sorted.
std::size_t StartEdges(const TVertices &v, const TFillBox &box, const TScratch &scratch) {
  const std::size_t n = v.Count();
  // Coordinates travel as plain integers: a vertex record copied round the loop goes through
  // memory, and reading it back whole waits on its two halves' stores at every point.
  const auto forEachEdge = [&](auto &&use) {
    const TVertex last = v[n - 1];
    i64 ax = last.X, ay = last.Y;
    for (std::size_t i = 0; i < n; ++i) {
      const TVertex b = v[i];
      const bool down = ay < b.Y;
      const i64 px = down ? ax : b.X, py = down ? ay : b.Y, qx = down ? b.X : ax, qy = down ? b.Y : ay;
      const i64 top = std::max<i64>(py, box.FirstRow), bottom = std::min<i64>(qy, box.EndRow);
      if (py != qy && top < bottom)
        use(px, py, qx, qy, top, bottom);
      ax = b.X;
      ay = b.Y;
    }
  };
  std::size_t count = 0;
  if (!scratch.RowStarts) {
    forEachEdge([&](i64 px, i64 py, i64 qx, i64 qy, i64 top, i64 bottom) {
      scratch.Edges[count++].Start(px, py, qx, qy, top, bottom);
    });
    std::sort(scratch.Edges, scratch.Edges + count, [](const TEdge &l, const TEdge &r) { return l.Top < r.Top; });
    return count;
  }
  std::size_t *starts = scratch.RowStarts;
  const std::size_t rows = static_cast<std::size_t>(box.EndRow - box.FirstRow);
  std::fill_n(starts, rows + 1, 0);
  forEachEdge([&](i64, i64, i64, i64, i64 top, i64) { ++starts[top - box.FirstRow + 1]; });
  for (std::size_t r = 1; r <= rows; ++r)
    starts[r] += starts[r - 1];
  forEachEdge([&](i64 px, i64 py, i64 qx, i64 qy, i64 top, i64 bottom) {
    scratch.Edges[starts[top - box.FirstRow]++].Start(px, py, qx, qy, top, bottom);
  });
  return starts[rows - 1];
}

// Orders the active edges by crossing. Between rows the order changes only where edges cross, so
// insertion sort usually has little to do; when the edges cross wholesale it hands over to a
// full sort before its cost grows with the square of their number.
void SortByCrossing(TEdge *active, std::size_t count) {
  std::size_t moves = 0;
  const std::size_t budget = 4 * count + 16;
  for (std::size_t i = 1; i < count; ++i) {
    const TEdge e = active[i];
    std::size_t j = i;
    for (; j > 0 && active[j - 1].E > e.E; --j) {
      active[j] = active[j - 1];
      if (++moves > budget) {
        active[j - 1] = e;
        std::sort(active, active + count, [](const TEdge &l, const TEdge &r) { return l.E < r.E; });
        return;
      }
    }
    active[j] = e;
  }
}

// Fills a row crossed by many edges without ordering them: each crossing flips a mark at its
// column (crossings left of the box at its left, right of it at its right end), and a pixel is
// inside when an odd number of marks lie at or left of it.
void FillRowByParity(const TRasterSurface &surface, const TClip &clip, const TFill &fill, const TFillBox &box, int row,
                     const TEdge *active, std::size_t count, std::uint8_t *marks) {
  const i64 columns = box.Right - box.Left;
  for (std::size_t i = 0; i < count; ++i)
    marks[std::clamp(active[i].E, box.Left, box.Right) - box.Left] ^= 1;
  std::uint8_t inside = 0;
  i64 spanStart = 0;
  for (i64 x = 0; x < columns; ++x) {
    if (!marks[x])
      continue;
    marks[x] = 0;
    inside ^= 1;
    if (inside)
      spanStart = x;
    else
      PaintClipped(surface, clip, row, box.Left + spanStart, box.Left + x, fill);
  }
  if (inside)
    PaintClipped(surface, clip, row, box.Left + spanStart, box.Right, fill);
  marks[columns] = 0;
}

// Rows crossing at least this many edges per column are filled by parity marks: flipping a mark
// per edge and walking the row costs less than ordering the edges.
constexpr i64 ParityEdgesPerColumn = 8;

// The active-edge scanline for polygons of any shape.
void FillGeneral(const TRasterSurface &surface, const TClip &clip, const TFill &fill, const TVertices &v,
                 const TFillBox &box, const TScratch &scratch) {
  const std::size_t count = StartEdges(v, box, scratch);
  TEdge *edges = scratch.Edges;
  TEdge *active = scratch.Active;
  std::size_t activeCount = 0, next = 0;
  for (i64 y = box.FirstRow; y < box.EndRow; ++y) {
    std::size_t kept = 0;
    for (std::size_t i = 0; i < activeCount; ++i)
      if (active[i].Bottom > y)
        active[kept++] = active[i];
    activeCount = kept;
    if (activeCount == 0) {
      if (next == count)
        return;
      y = std::max(y, edges[next].Top);
    }
    while (next < count && edges[next].Top == y)
      active[activeCount++] = edges[next++];
    const int row = static_cast<int>(y);
    if (scratch.Marks && static_cast<i64>(activeCount) * ParityEdgesPerColumn >= box.Right - box.Left) {
      FillRowByParity(surface, clip, fill, box, row, active, activeCount, scratch.Marks);
    } else {
      SortByCrossing(active, activeCount);
      for (std::size_t i = 0; i + 1 < activeCount; i += 2)
        PaintClipped(surface, clip, row, active[i].E, active[i + 1].E, fill);
    }
    for (std::size_t i = 0; i < activeCount; ++i)
      active[i].Next();
  }
}

// The buffers of large polygons, grown as needed and kept for the thread's next polygon.
TScratch LargeScratch(std::size_t edges, const TFillBox &box) {
  thread_local std::vector<TEdge> edgeStore;
  thread_local std::vector<TEdge> activeStore;
  thread_local std::vector<std::size_t> rowStore;
  thread_local std::vector<std::uint8_t> markStore;
  if (edgeStore.size() < edges) {
    edgeStore.resize(edges);
    activeStore.resize(edges);
  }
  const auto rows = static_cast<std::size_t>(box.EndRow - box.FirstRow) + 1;
  const auto columns = static_cast<std::size_t>(box.Right - box.Left) + 1;
  if (rowStore.size() < rows)
    rowStore.resize(rows);
  if (markStore.size() < columns)
    markStore.resize(columns, 0);
  return {edgeStore.data(), activeStore.data(), rowStore.data(), markStore.data()};
}

// How many rows ahead of the one being filled its lines are prefetched. On a surface larger than
// the caches each row's stores miss; the row a few below lies about where this one does, and
// asking for its lines early lets the misses of several rows overlap.
constexpr int Ahead = 4;

} // namespace

void FillPolygon(const TRasterSurface &surface, const TClip &clip, const TFill &fill, std::span<const TPoint> points,
                 TPoint origin) {
  const std::size_t n = points.size();
  if (n < 3)
    return;
  const TVertices v(points, origin);

  // One pass for the bounds, the top vertex and the number of times y changes direction.
  const TVertex first = v[0];
  i64 minX = first.X, maxX = first.X, minY = first.Y, maxY = first.Y;
  std::size_t top = 0;
  int turns = 0, firstSign = 0, lastSign = 0;
  i64 prevY = first.Y; // a plain integer, not a record: see StartEdges
  for (std::size_t i = 1; i <= n; ++i) {
    const TVertex p = i < n ? v[i] : first;
    if (i < n) {
      minX = std::min(minX, p.X);
      maxX = std::max(maxX, p.X);
      maxY = std::max(maxY, p.Y);
      if (p.Y < minY) {
        minY = p.Y;
        top = i;
      }
    }
    if (p.Y != prevY) {
      const int sign = p.Y > prevY ? 1 : -1;
      if (firstSign == 0)
        firstSign = sign;
      else if (sign != lastSign)
        ++turns;
      lastSign = sign;
    }
    prevY = p.Y;
  }
  if (lastSign != 0 && lastSign != firstSign)
    ++turns;

  // Crossings left of the clip or right of it clamp to empty spans.
  if (maxX <= clip.Left || minX >= clip.Right || turns == 0)
    return;
  const int firstRow = static_cast<int>(std::max<i64>(minY, clip.Top));
  const int endRow = static_cast<int>(std::min<i64>(maxY, clip.Bottom));
  if (firstRow >= endRow)
    return;

  if (turns == 2) {
    // The common case, a solid plain store wholly inside the clip, stores its spans unclamped.
    if (!fill.Hatch && fill.Rop.IsCopy() && minX >= clip.Left && maxX <= clip.Right) {
      const std::uint32_t pixel = fill.Rop.Xor;
      FillMonotone(v, top, firstRow, endRow, [&](int y, i64 a, i64 b) {
        if (y + Ahead < endRow) {
          const std::uint32_t *ahead = surface.Row(y + Ahead);
          __builtin_prefetch(ahead + a, 1);
          __builtin_prefetch(ahead + b, 1);
        }
        if (a < b)
          StorePixels(surface.Row(y) + a, static_cast<int>(b - a), pixel);
      });
    } else {
      FillMonotone(v, top, firstRow, endRow, [&](int y, i64 a, i64 b) { PaintClipped(surface, clip, y, a, b, fill); });
    }
    return;
  }
  const TFillBox box{firstRow, endRow, std::max<i64>(minX, clip.Left), std::min<i64>(maxX, clip.Right)};
  if (n <= StackEdges) {
    TEdge edges[StackEdges];
    TEdge active[StackEdges];
    FillGeneral(surface, clip, fill, v, box, {edges, active});
    return;
  }
  FillGeneral(surface, clip, fill, v, box, LargeScratch(n, box));
}

} // namespace Platform::Raster
