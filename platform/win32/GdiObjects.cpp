#include <platform/win32/GdiObjects.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <platform/graphics/Canvas.h>
#include <platform/rtl/HandleTable.h>

namespace Platform {

namespace {

LOGFONTA StockLogFont() {
  LOGFONTA font;
  font.lfHeight = -PointsToPixels(8, 96);
  font.lfWeight = FW_NORMAL;
  font.lfCharSet = DEFAULT_CHARSET;
  std::strcpy(font.lfFaceName, "Sans");
  return font;
}

HGDIOBJ StockFont() {
  static const HFONT font = HandleTable::NewFont(StockLogFont(), true);
  return font;
}

// A canvas's entry in the handle table, kept by the canvas so that it goes when the canvas does.
class TCanvasDC final : public TCanvasContext {
public:
  explicit TCanvasDC(HDC handle) : FHandle(handle) {}
  ~TCanvasDC() override { HandleTable::FreeDC(FHandle); }
  TCanvasDC(const TCanvasDC &) = delete;
  TCanvasDC &operator=(const TCanvasDC &) = delete;
  HDC Handle() const { return FHandle; }
  void SelectionEnded() override { HandleTable::SelectFont(FHandle, nullptr); }

private:
  HDC FHandle;
};

} // namespace

HDC CanvasHandle(TCanvas &canvas) {
  if (const auto *context = dynamic_cast<const TCanvasDC *>(canvas.Context()))
    return context->Handle();
  const HDC handle = HandleTable::NewDC({&canvas, nullptr, false});
  if (handle)
    canvas.SetContext(std::make_unique<TCanvasDC>(handle));
  return handle;
}

int GetObjectA(HGDIOBJ object, int size, void *buffer) {
  const LOGFONTA *font = HandleTable::FindFont(object);
  if (!font)
    return 0;
  if (!buffer)
    return static_cast<int>(sizeof(LOGFONTA));
  const int count = std::min(size, static_cast<int>(sizeof(LOGFONTA)));
  if (count <= 0)
    return 0;
  std::memcpy(buffer, font, static_cast<std::size_t>(count));
  return count;
}

HFONT CreateFontIndirectA(const LOGFONTA *font) {
  if (!font)
    return nullptr;
  LOGFONTA copy = *font;
  copy.lfFaceName[LF_FACESIZE - 1] = '\0';
  return HandleTable::NewFont(copy);
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
  const HandleTable::TDCObject *context = HandleTable::FindDC(dc);
  if (!context || !HandleTable::FindFont(object))
    return nullptr;
  TCanvas *canvas = context->Canvas;
  if (!canvas) {
    // The screen has no text of its own here; the selection is only remembered.
    const HGDIOBJ previous = context->Font ? context->Font : StockFont();
    HandleTable::SelectFont(dc, object);
    return previous;
  }
  // Asking for the canvas font's handle may add to the table, so look the context up afterwards.
  const HGDIOBJ own = canvas->Font().Handle();
  const HGDIOBJ selected = HandleTable::FindDC(dc)->Font;
  const HGDIOBJ previous = canvas->HasSelectedFont() && selected ? selected : own;
  if (object == own) {
    canvas->SetSelectedFont(nullptr);
  } else {
    const TFontSpec description = FontSpecOf(*HandleTable::FindFont(object));
    canvas->SetSelectedFont(&description);
    HandleTable::SelectFont(dc, object);
  }
  return previous;
}

BOOL DeleteObject(HGDIOBJ object) {
  if (HandleTable::IsStock(object))
    return TRUE;
  if (HandleTable::IsSelected(object))
    return FALSE;
  return HandleTable::FreeFont(object) ? TRUE : FALSE;
}

HGDIOBJ GetStockObject(int index) { return index == SYSTEM_FONT || index == DEFAULT_GUI_FONT ? StockFont() : nullptr; }

HDC GetDC(HWND window) { return window ? nullptr : HandleTable::NewDC({nullptr, nullptr, true}); }

int ReleaseDC(HWND, HDC dc) {
  const HandleTable::TDCObject *context = HandleTable::FindDC(dc);
  return context && context->IsScreen && HandleTable::FreeDC(dc) ? 1 : 0;
}

TFontSpec FontSpecOf(const LOGFONTA &font) {
  TFontSpec description;
  description.Name.assign(font.lfFaceName, strnlen(font.lfFaceName, LF_FACESIZE));
  description.Height = font.lfHeight;
  if (font.lfWeight >= FW_SEMIBOLD)
    description.Style.Include(fsBold);
  if (font.lfItalic)
    description.Style.Include(fsItalic);
  if (font.lfUnderline)
    description.Style.Include(fsUnderline);
  if (font.lfStrikeOut)
    description.Style.Include(fsStrikeOut);
  description.Escapement = font.lfEscapement;
  return description;
}

} // namespace Platform
