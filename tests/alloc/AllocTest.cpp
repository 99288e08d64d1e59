#include <gtest/gtest.h>

#include <alloc/Alloc.h>
#include <cstring>
#include <platform/rtl/Exceptions.h>
#include <platform/rtl/Memory.h>
#include <stdexcept>
#include <vector>

using namespace Alloc;
using Platform::FreeMem;
using Platform::SetAllocationFailureHook;

namespace {

constexpr std::size_t PointerSize = sizeof(void *);

// Watches the heap through its failure hook: records the size of every request and refuses
// (or throws at) the request with a given index.
class Heap : public testing::Test {
protected:
  void SetUp() override {
    SetAllocationFailureHook([this](std::size_t size) {
      const int index = static_cast<int>(Requests.size());
      Requests.push_back(size);
      if (index == ThrowAt)
        throw std::runtime_error("not a heap failure");
      return index == FailAt;
    });
  }
  void TearDown() override { SetAllocationFailureHook({}); }

  std::vector<std::size_t> Requests;
  int FailAt = -1;
  int ThrowAt = -1;
};

using Sizes = std::vector<std::size_t>;

// A pointer value the functions must leave alone; never dereferenced.
template <typename T> T *Sentinel() {
  static T object{};
  return &object;
}

} // namespace

TEST_F(Heap, PointArrayStartsAtOriginAndReleasesOnce) {
  void *dirty = Platform::GetMem(48);
  std::memset(dirty, 0x7F, 48);
  FreeMem(dirty);
  Requests.clear();

  PPointArray points = nullptr;
  ASSERT_TRUE(AllocatePointArray(points, 3));
  EXPECT_EQ(Requests, Sizes{48});
  for (int i = 1; i <= 3; ++i) {
    EXPECT_EQ(points[i - 1].X, 0);
    EXPECT_EQ(points[i - 1].Y, 0);
  }
  EXPECT_TRUE(DeAllocatePointArray(points, 3));
  EXPECT_EQ(points, nullptr);
  EXPECT_FALSE(DeAllocatePointArray(points, 3));
}

TEST_F(Heap, LineArraysRequestCountTimesElementSize) {
  PLineArrayB b = nullptr;
  PLineArrayW w = nullptr;
  PLineArrayLI li = nullptr;
  PLineArrayF f = nullptr;
  PPointArray p = nullptr;
  ASSERT_TRUE(AllocateLineArrayB(b, 7) && AllocateLineArrayW(w, 7) && AllocateLineArrayLI(li, 100) &&
              AllocateLineArrayF(f, 7) && AllocatePointArray(p, 7));
  EXPECT_EQ(Requests, (Sizes{7, 14, 400, 56, 112}));
  // Every element is writable (the sanitizer build checks the bounds).
  for (int i = 1; i <= 100; ++i)
    li[i - 1] = -i;
  EXPECT_EQ(li[99], -100);
  EXPECT_TRUE(DeAllocateLineArrayB(b, 7) && DeAllocateLineArrayW(w, 7) && DeAllocateLineArrayLI(li, 100) &&
              DeAllocateLineArrayF(f, 7) && DeAllocatePointArray(p, 7));
  EXPECT_TRUE(b == nullptr && w == nullptr && li == nullptr && f == nullptr && p == nullptr);
}

TEST_F(Heap, ZeroCountGivesNullAndTrue) {
  PLineArrayF f = Sentinel<double>();
  PPointArray p = Sentinel<TWPoint>();
  P2DArrayW w = Sentinel<PLineArrayW>();
  P3DArrayF cube = Sentinel<P2DArrayF>();
  EXPECT_TRUE(AllocateLineArrayF(f, 0));
  EXPECT_TRUE(AllocatePointArray(p, 0));
  EXPECT_TRUE(Allocate2DArrayW(w, 0, 5, nullptr));
  EXPECT_TRUE(Allocate3DArrayF(cube, 0, 2, 2));
  EXPECT_TRUE(f == nullptr && p == nullptr && w == nullptr && cube == nullptr);
  EXPECT_TRUE(Requests.empty());
  EXPECT_FALSE(DeAllocateLineArrayF(f, 0));
  EXPECT_FALSE(DeAllocatePointArray(p, 0));
  EXPECT_FALSE(DeAllocate2DArrayW(w, 0, 5, nullptr));
  EXPECT_FALSE(DeAllocate3DArrayF(cube, 0, 2, 2));
}

TEST_F(Heap, OneDimensionalFailureLeavesTheVariable) {
  FailAt = 0;
  PLineArrayW w = Sentinel<std::uint16_t>();
  EXPECT_FALSE(AllocateLineArrayW(w, 10));
  EXPECT_EQ(w, Sentinel<std::uint16_t>());
  FailAt = 1;
  PPointArray p = Sentinel<TWPoint>();
  EXPECT_FALSE(AllocatePointArray(p, 10));
  EXPECT_EQ(p, Sentinel<TWPoint>());
}

TEST_F(Heap, RaggedAndRegularRows) {
  std::uint16_t lengths[] = {5, 1, 7};
  P2DArrayW ragged = nullptr;
  ASSERT_TRUE(Allocate2DArrayW(ragged, 3, 10, lengths));
  EXPECT_EQ(Requests, (Sizes{3 * PointerSize, 10, 2, 14}));
  for (int row = 1; row <= 3; ++row)
    for (int col = 1; col <= lengths[row - 1]; ++col)
      ragged[row - 1][col - 1] = static_cast<std::uint16_t>(row * 100 + col);
  EXPECT_EQ(ragged[2][6], 307);
  Requests.clear();
  P2DArrayF regular = nullptr;
  ASSERT_TRUE(Allocate2DArrayF(regular, 3, 10, nullptr));
  EXPECT_EQ(Requests, (Sizes{3 * PointerSize, 80, 80, 80}));
  EXPECT_TRUE(DeAllocate2DArrayW(ragged, 3, 10, lengths));
  EXPECT_TRUE(DeAllocate2DArrayF(regular, 3, 10, nullptr));
  EXPECT_TRUE(ragged == nullptr && regular == nullptr);
}

TEST_F(Heap, ReleasingStopsAtAMissingRow) {
  P2DArrayF a = nullptr;
  ASSERT_TRUE(Allocate2DArrayF(a, 3, 4, nullptr));
  ASSERT_TRUE(DeAllocateLineArrayF(a[1], 4));
  EXPECT_FALSE(DeAllocate2DArrayF(a, 3, 4, nullptr));
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a[0], nullptr); // released before the missing row
  ASSERT_NE(a[2], nullptr); // never reached
  FreeMem(a[2]);
  FreeMem(a);
}

// A zero-length row is a null block from the start, not a missing row: arrays holding such rows
// (ragged, or every row with cols 0, or vectors of length 0) are released whole.
TEST_F(Heap, ZeroLengthRowsAreReleased) {
  std::uint16_t lengths[] = {3, 0, 2};
  P2DArrayW ragged = nullptr;
  ASSERT_TRUE(Allocate2DArrayW(ragged, 3, 9, lengths));
  EXPECT_EQ(ragged[1], nullptr);
  EXPECT_TRUE(DeAllocate2DArrayW(ragged, 3, 9, lengths));
  EXPECT_EQ(ragged, nullptr);
  P2DArrayF empty = nullptr;
  ASSERT_TRUE(Allocate2DArrayF(empty, 1000, 0, nullptr));
  EXPECT_TRUE(DeAllocate2DArrayF(empty, 1000, 0, nullptr));
  EXPECT_EQ(empty, nullptr);
  for (auto [vectors, length] : {std::pair<std::uint16_t, std::uint16_t>{4, 0}, {0, 4}}) {
    P3DArrayF cube = nullptr;
    ASSERT_TRUE(Allocate3DArrayF(cube, 3, vectors, length));
    EXPECT_TRUE(DeAllocate3DArrayF(cube, 3, vectors, length)) << vectors << " x " << length;
    EXPECT_EQ(cube, nullptr);
  }
  // A row with elements that is released twice is still missing.
  P2DArrayW twice = nullptr;
  ASSERT_TRUE(Allocate2DArrayW(twice, 3, 9, lengths));
  ASSERT_TRUE(DeAllocateLineArrayW(twice[2], 2));
  EXPECT_FALSE(DeAllocate2DArrayW(twice, 3, 9, lengths));
  ASSERT_NE(twice, nullptr);
  EXPECT_EQ(twice[0], nullptr);
  FreeMem(twice);
}

// A failure at any step, the heap's or another exception, releases what was obtained (the
// sanitizer build would report the blocks) and leaves the variable as it was.
TEST_F(Heap, TwoDimensionalFailureAtEachStep) {
  constexpr int Rows = 4;
  std::uint16_t lengths[] = {2, 0, 3, 1};
  for (bool throws : {false, true})
    for (int step = 0; step <= Rows; ++step) {
      SCOPED_TRACE(testing::Message() << step << (throws ? " throws" : " fails"));
      Requests.clear();
      (throws ? ThrowAt : FailAt) = step;
      P2DArrayF f = Sentinel<PLineArrayF>();
      if (throws)
        EXPECT_THROW(Allocate2DArrayF(f, Rows, 6, nullptr), std::runtime_error);
      else
        EXPECT_FALSE(Allocate2DArrayF(f, Rows, 6, nullptr));
      EXPECT_EQ(static_cast<int>(Requests.size()), step + 1); // stops at once
      EXPECT_EQ(f, Sentinel<PLineArrayF>());
      Requests.clear();
      P2DArrayW w = Sentinel<PLineArrayW>();
      // The zero-length row asks nothing of the heap, so the last step is never reached.
      if (step == Rows) {
        ASSERT_TRUE(Allocate2DArrayW(w, Rows, 0, lengths));
        EXPECT_TRUE(DeAllocate2DArrayW(w, Rows, 0, lengths));
      } else if (throws) {
        EXPECT_THROW(Allocate2DArrayW(w, Rows, 0, lengths), std::runtime_error);
      } else {
        EXPECT_FALSE(Allocate2DArrayW(w, Rows, 0, lengths));
      }
      if (step < Rows) {
        EXPECT_EQ(w, Sentinel<PLineArrayW>());
      }
      FailAt = ThrowAt = -1;
    }
}

TEST_F(Heap, ThreeDimensionalOrderAndRelease) {
  P3DArrayF cube = nullptr;
  ASSERT_TRUE(Allocate3DArrayF(cube, 2, 3, 4));
  const std::size_t Table = 3 * PointerSize;
  EXPECT_EQ(Requests, (Sizes{2 * PointerSize, Table, 32, 32, 32, Table, 32, 32, 32}));
  for (int i = 1; i <= 2; ++i)
    for (int j = 1; j <= 3; ++j)
      for (int k = 1; k <= 4; ++k)
        cube[i - 1][j - 1][k - 1] = i * 100 + j * 10 + k;
  EXPECT_EQ(cube[1][2][3], 234);
  EXPECT_TRUE(DeAllocate3DArrayF(cube, 2, 3, 4));
  EXPECT_EQ(cube, nullptr);
  EXPECT_FALSE(DeAllocate3DArrayF(cube, 2, 3, 4));
}

TEST_F(Heap, ThreeDimensionalFailureAtEachStep) {
  constexpr int Planes = 3, Vectors = 2, Steps = 1 + Planes * (1 + Vectors);
  for (bool throws : {false, true})
    for (int step = 0; step < Steps; ++step) {
      SCOPED_TRACE(testing::Message() << step << (throws ? " throws" : " fails"));
      Requests.clear();
      (throws ? ThrowAt : FailAt) = step;
      P3DArrayF cube = Sentinel<P2DArrayF>();
      if (throws)
        EXPECT_THROW(Allocate3DArrayF(cube, Planes, Vectors, 5), std::runtime_error);
      else
        EXPECT_FALSE(Allocate3DArrayF(cube, Planes, Vectors, 5));
      EXPECT_EQ(static_cast<int>(Requests.size()), step + 1);
      EXPECT_EQ(cube, Sentinel<P2DArrayF>());
      FailAt = ThrowAt = -1;
    }
  // Afterwards the heap serves a whole cube again.
  P3DArrayF cube = nullptr;
  ASSERT_TRUE(Allocate3DArrayF(cube, Planes, Vectors, 5));
  EXPECT_TRUE(DeAllocate3DArrayF(cube, Planes, Vectors, 5));
}

TEST_F(Heap, OtherExceptionsPassThrough) {
  ThrowAt = 0;
  PLineArrayF f = nullptr;
  EXPECT_THROW(AllocateLineArrayF(f, 3), std::runtime_error);
  EXPECT_EQ(f, nullptr);
}
