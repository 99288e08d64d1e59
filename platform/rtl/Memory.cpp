#include <platform/rtl/Memory.h>

#include <cstdlib>
#include <cstring>
#include <platform/rtl/Exceptions.h>
#include <platform/rtl/Rtl.h>
#include <utility>

namespace Platform {

namespace {

// Set only by tests, before the code under test runs; not guarded against concurrent change.
TAllocationFailureHook AllocationFailureHook;

[[noreturn]] void RaiseOutOfMemory(std::size_t size) {
  throw EOutOfMemory("Out of memory: a request of " + IntToStr(static_cast<std::int64_t>(size)) + " bytes was refused");
}

void CheckHook(std::size_t size) {
  if (AllocationFailureHook && AllocationFailureHook(size))
    RaiseOutOfMemory(size);
}

} // namespace

void *GetMem(std::size_t size) {
  if (size == 0)
    return nullptr;
  CheckHook(size);
  void *block = std::malloc(size);
  if (!block)
    RaiseOutOfMemory(size);
  return block;
}

void *AllocMem(std::size_t size) {
  void *block = GetMem(size);
  if (block)
    std::memset(block, 0, size);
  return block;
}

void ReallocMem(void *&block, std::size_t size) {
  if (size == 0) {
    FreeMem(block);
    block = nullptr;
    return;
  }
  if (!block) {
    block = GetMem(size);
    return;
  }
  CheckHook(size);
  // On refusal the old block stays valid and stays the caller's.
  void *moved = std::realloc(block, size);
  if (!moved)
    RaiseOutOfMemory(size);
  block = moved;
}

void FreeMem(void *block) { std::free(block); }

void SetAllocationFailureHook(TAllocationFailureHook hook) { AllocationFailureHook = std::move(hook); }

} // namespace Platform
