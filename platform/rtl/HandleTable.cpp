#include <platform/rtl/HandleTable.h>

#include <cstdint>
#include <vector>

namespace Platform::HandleTable {

namespace {

enum class TKind : std::uint8_t { Free, Font, DC, Bitmap };

struct TSlot {
  TKind Kind = TKind::Free;
  bool Stock = false;
  // Fonts: how many contexts have this font selected.
  std::uint32_t Selections = 0;
  // Starts at 1 and changes whenever the slot is freed, so old handles stop matching.
  std::uint32_t Generation = 1;
  LOGFONTA Font;
  TDCObject DC;
  TBitmap *Bitmap = nullptr;
};

struct TTable {
  std::vector<TSlot> Slots;
  std::vector<std::uint32_t> FreeSlots;
  std::size_t Live = 0;
};

// Never destroyed: fonts and canvases in static storage may release their handles after every
// other static has gone.
TTable &Table() {
  static TTable &table = *new TTable;
  return table;
}

// Index + 1 in the low 32 bits (so no handle is null), the generation in the high 32.
void *Encode(std::uint32_t index, std::uint32_t generation) {
  const std::uintptr_t value = (std::uintptr_t{generation} << 32) | (std::uintptr_t{index} + 1);
  return reinterpret_cast<void *>(value);
}

TSlot *Find(HGDIOBJ handle, TKind kind) {
  const auto value = reinterpret_cast<std::uintptr_t>(handle);
  const auto low = static_cast<std::uint32_t>(value & 0xFFFFFFFFu);
  if (low == 0)
    return nullptr;
  TTable &table = Table();
  const std::uint32_t index = low - 1;
  if (index >= table.Slots.size())
    return nullptr;
  TSlot &slot = table.Slots[index];
  if (slot.Kind != kind || slot.Generation != static_cast<std::uint32_t>(value >> 32))
    return nullptr;
  return &slot;
}

// A free slot of the given kind, or nullptr when the table is full.
std::pair<TSlot *, void *> Allocate(TKind kind) {
  TTable &table = Table();
  if (table.Live >= MaxObjects)
    return {nullptr, nullptr};
  std::uint32_t index;
  if (!table.FreeSlots.empty()) {
    index = table.FreeSlots.back();
    table.FreeSlots.pop_back();
  } else {
    index = static_cast<std::uint32_t>(table.Slots.size());
    table.Slots.emplace_back();
  }
  TSlot &slot = table.Slots[index];
  slot.Kind = kind;
  ++table.Live;
  return {&slot, Encode(index, slot.Generation)};
}

bool Free(HGDIOBJ handle, TKind kind) {
  TSlot *slot = Find(handle, kind);
  if (!slot || slot->Stock)
    return false;
  TTable &table = Table();
  *slot = TSlot{TKind::Free, false, 0, slot->Generation + 1 == 0 ? 1 : slot->Generation + 1, {}, {}, nullptr};
  table.FreeSlots.push_back(static_cast<std::uint32_t>(slot - table.Slots.data()));
  --table.Live;
  return true;
}

} // namespace

HFONT NewFont(const LOGFONTA &font, bool stock) {
  auto [slot, handle] = Allocate(TKind::Font);
  if (!slot)
    return nullptr;
  slot->Font = font;
  slot->Stock = stock;
  return static_cast<HFONT>(handle);
}

HDC NewDC(const TDCObject &dc) {
  auto [slot, handle] = Allocate(TKind::DC);
  if (!slot)
    return nullptr;
  slot->DC = dc;
  return static_cast<HDC>(handle);
}

HBITMAP NewBitmap(TBitmap *bitmap) {
  auto [slot, handle] = Allocate(TKind::Bitmap);
  if (!slot)
    return nullptr;
  slot->Bitmap = bitmap;
  return static_cast<HBITMAP>(handle);
}

const LOGFONTA *FindFont(HGDIOBJ handle) {
  const TSlot *slot = Find(handle, TKind::Font);
  return slot ? &slot->Font : nullptr;
}

TDCObject *FindDC(HGDIOBJ handle) {
  TSlot *slot = Find(handle, TKind::DC);
  return slot ? &slot->DC : nullptr;
}

TBitmap *FindBitmap(HGDIOBJ handle) {
  const TSlot *slot = Find(handle, TKind::Bitmap);
  return slot ? slot->Bitmap : nullptr;
}

bool IsStock(HGDIOBJ handle) {
  const TSlot *slot = Find(handle, TKind::Font);
  return slot && slot->Stock;
}

void SelectFont(HDC dc, HGDIOBJ font) {
  TSlot *context = Find(dc, TKind::DC);
  if (!context)
    return;
  if (TSlot *old = Find(context->DC.Font, TKind::Font))
    --old->Selections;
  TSlot *selected = Find(font, TKind::Font);
  if (selected)
    ++selected->Selections;
  context->DC.Font = selected ? font : nullptr;
}

bool IsSelected(HGDIOBJ font) {
  const TSlot *slot = Find(font, TKind::Font);
  return slot && slot->Selections > 0;
}

bool FreeFont(HGDIOBJ handle) { return Free(handle, TKind::Font); }

bool FreeDC(HGDIOBJ handle) {
  if (Find(handle, TKind::DC))
    SelectFont(static_cast<HDC>(handle), nullptr);
  return Free(handle, TKind::DC);
}

bool FreeBitmap(HGDIOBJ handle) { return Free(handle, TKind::Bitmap); }

std::size_t Count() { return Table().Live; }

} // namespace Platform::HandleTable
