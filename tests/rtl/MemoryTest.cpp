#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <limits>
#include <platform/rtl/Exceptions.h>
#include <platform/rtl/Memory.h>
#include <vector>

// Under AddressSanitizer an impossible malloc would abort the test instead of returning null.
#if defined(__SANITIZE_ADDRESS__)
extern "C" const char *__asan_default_options() { return "allocator_may_return_null=1"; }
#endif

using namespace Platform;

namespace {

class Memory : public testing::Test {
protected:
  void TearDown() override { SetAllocationFailureHook({}); }

  // Records every request the hook sees and refuses those of size `refused`.
  void RefuseSize(std::size_t refused) {
    SetAllocationFailureHook([this, refused](std::size_t size) {
      Requests.push_back(size);
      return size == refused;
    });
  }

  std::vector<std::size_t> Requests;
};

} // namespace

TEST_F(Memory, ZeroBytesGiveNullWithoutAskingTheHeap) {
  RefuseSize(0);
  EXPECT_EQ(GetMem(0), nullptr);
  EXPECT_EQ(AllocMem(0), nullptr);
  EXPECT_TRUE(Requests.empty());
  FreeMem(nullptr);
}

TEST_F(Memory, AllocMemClearsAReusedBlock) {
  void *dirty = GetMem(4096);
  std::memset(dirty, 0xAB, 4096);
  FreeMem(dirty);
  auto *block = static_cast<unsigned char *>(AllocMem(4096));
  for (int i = 0; i < 4096; ++i)
    ASSERT_EQ(block[i], 0) << "byte " << i;
  FreeMem(block);
}

TEST_F(Memory, ReallocMemKeepsThePrefixAndHandlesNullAndZero) {
  void *block = nullptr;
  ReallocMem(block, 16);
  ASSERT_NE(block, nullptr);
  for (int i = 0; i < 16; ++i)
    static_cast<unsigned char *>(block)[i] = static_cast<unsigned char>(i);
  ReallocMem(block, 1 << 20);
  ReallocMem(block, 4);
  for (int i = 0; i < 4; ++i)
    EXPECT_EQ(static_cast<unsigned char *>(block)[i], i);
  ReallocMem(block, 0);
  EXPECT_EQ(block, nullptr);
}

TEST_F(Memory, HookRefusalRaisesWithTheSize) {
  RefuseSize(12345);
  try {
    GetMem(12345);
    FAIL() << "the refused request returned";
  } catch (const EOutOfMemory &error) {
    EXPECT_NE(error.Message().find("12345 bytes"), std::string::npos) << error.Message();
  }
  EXPECT_THROW(AllocMem(12345), EOutOfMemory);
  void *other = GetMem(100);
  EXPECT_NE(other, nullptr);
  FreeMem(other);
  EXPECT_EQ(Requests, (std::vector<std::size_t>{12345, 12345, 100}));
}

TEST_F(Memory, RefusedReallocLeavesTheBlockIntact) {
  void *block = GetMem(8);
  std::memcpy(block, "velgraph", 8);
  void *const original = block;
  RefuseSize(64);
  EXPECT_THROW(ReallocMem(block, 64), EOutOfMemory);
  EXPECT_EQ(block, original);
  EXPECT_EQ(std::memcmp(block, "velgraph", 8), 0);
  FreeMem(block);
}

TEST_F(Memory, RealHeapRefusalRaises) {
  EXPECT_THROW(GetMem(std::numeric_limits<std::size_t>::max() - 4096), EOutOfMemory);
  void *block = GetMem(8);
  EXPECT_THROW(ReallocMem(block, std::numeric_limits<std::size_t>::max() - 4096), EOutOfMemory);
  FreeMem(block);
}

TEST_F(Memory, OtherHookExceptionsPassThrough) {
  SetAllocationFailureHook([](std::size_t) -> bool { throw std::logic_error("hook"); });
  EXPECT_THROW(GetMem(1), std::logic_error);
}
