#include <platform/fonts/FontEngine.h>

#include <algorithm>
#include <climits>
#include <fontconfig/fontconfig.h>
#include <list>
#include <optional>
#include <platform/fonts/FreeTypeFace.h>
#include <platform/rtl/Rtl.h>
#include <unordered_map>
#include <vector>

namespace Platform::Fonts {

namespace {

// What every failure to find a font says, so that the fix is in the message.
const char *const InstallHint = "; install a font package such as fonts-liberation2";

struct TKeyHash {
  std::size_t operator()(const TGlyphStrike::TKey &k) const {
    std::size_t h = std::hash<const void *>()(k.Face);
    h = h * 31 + static_cast<std::size_t>(k.PixelSize);
    h = h * 31 + static_cast<std::size_t>(k.Angle);
    return h * 4 + (k.Embolden ? 2u : 0u) + (k.Oblique ? 1u : 0u);
  }
};

int NormalisedAngle(int tenths) { return ((tenths % 3600) + 3600) % 3600; }

// A name and style that fontconfig has resolved to an open face.
struct TResolved {
  std::shared_ptr<TFreeTypeFace> Face;
  bool SyntheticBold = false;
  bool SyntheticItalic = false;
};

// The last request and its strike: a canvas writing many labels in one font skips every lookup.
struct TMemo {
  TGlyphStrike *Strike = nullptr;
  std::string Name;
  int Size = 0;
  int Height = 0;
  int Escapement = 0;
  int PixelsPerInch = 0;
  bool Bold = false;
  bool Italic = false;
  bool Matches(const TFontSpec &font, int ppi, bool bold, bool italic) const {
    return Strike && Size == font.Size && Height == font.Height && Escapement == font.Escapement &&
           PixelsPerInch == ppi && Bold == bold && Italic == italic && Name == font.Name;
  }
};

} // namespace

struct TFontEngine::TImpl {
  std::string ConfigFile;
  FcConfig *Config = nullptr;
  FT_Library Library = nullptr;
  TEngineStats Stats;
  std::unordered_map<std::string, TResolved> Resolved;
  std::unordered_map<std::string, std::weak_ptr<TFreeTypeFace>> OpenFaces;
  // Most recently used first.
  std::list<std::unique_ptr<TGlyphStrike>> Strikes;
  std::unordered_map<TGlyphStrike::TKey, std::list<std::unique_ptr<TGlyphStrike>>::iterator, TKeyHash> StrikeIndex;
  TMemo Memo;

  ~TImpl() {
    Memo.Strike = nullptr;
    StrikeIndex.clear();
    Strikes.clear();
    Resolved.clear();
    OpenFaces.clear();
    if (Library)
      FT_Done_FreeType(Library);
    if (Config)
      FcConfigDestroy(Config);
  }

  void EnsureReady() {
    if (!Library && FT_Init_FreeType(&Library) != 0) {
      Library = nullptr;
      throw EFontError("Fonts: FreeType could not be started");
    }
    if (Config)
      return;
    if (ConfigFile.empty()) {
      Config = FcInitLoadConfigAndFonts();
    } else {
      Config = FcConfigCreate();
      if (Config && (!FcConfigParseAndLoad(Config, reinterpret_cast<const FcChar8 *>(ConfigFile.c_str()), FcTrue) ||
                     !FcConfigBuildFonts(Config))) {
        FcConfigDestroy(Config);
        Config = nullptr;
      }
    }
    if (!Config)
      throw EFontError("Fonts: the font configuration could not be loaded" + std::string(InstallHint));
  }

  std::shared_ptr<TFreeTypeFace> OpenFace(const char *file, int index) {
    std::string key = std::string(file) + '#' + std::to_string(index);
    if (auto open = OpenFaces.find(key); open != OpenFaces.end())
      if (auto face = open->second.lock())
        return face;
    FT_Face ft = nullptr;
    if (FT_New_Face(Library, file, index, &ft) != 0)
      return nullptr;
    auto face = std::make_shared<TFreeTypeFace>();
    face->Face = ft;
    if (!FT_IS_SCALABLE(ft) && ft->num_fixed_sizes == 0)
      return nullptr;
    FT_Select_Charmap(ft, FT_ENCODING_UNICODE);
    ++Stats.FaceLoads;
    face->File = file;
    face->Family = ft->family_name ? ft->family_name : "";
    face->StyleName = ft->style_name ? ft->style_name : "";
    if (OpenFaces.size() >= 2 * MaxResolved)
      std::erase_if(OpenFaces, [](const auto &entry) { return entry.second.expired(); });
    OpenFaces[std::move(key)] = face;
    return face;
  }

  std::optional<TResolved> FromPattern(FcPattern *match, bool bold, bool italic) {
    FcChar8 *file = nullptr;
    if (FcPatternGetString(match, FC_FILE, 0, &file) != FcResultMatch || !file)
      return std::nullopt;
    int index = 0, weight = FC_WEIGHT_REGULAR, slant = FC_SLANT_ROMAN;
    FcPatternGetInteger(match, FC_INDEX, 0, &index);
    FcPatternGetInteger(match, FC_WEIGHT, 0, &weight);
    FcPatternGetInteger(match, FC_SLANT, 0, &slant);
    auto face = OpenFace(reinterpret_cast<const char *>(file), index);
    if (!face)
      return std::nullopt;
    return TResolved{face, bold && weight < FC_WEIGHT_DEMIBOLD, italic && slant == FC_SLANT_ROMAN};
  }

  std::optional<TResolved> Match(const std::vector<std::string> &families, bool bold, bool italic) {
    FcPattern *pattern = FcPatternCreate();
    if (!pattern)
      return std::nullopt;
    for (const std::string &family : families)
      if (!family.empty())
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8 *>(family.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcConfigSubstitute(Config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern *match = FcFontMatch(Config, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match)
      return std::nullopt;
    auto resolved = FromPattern(match, bold, italic);
    FcPatternDestroy(match);
    return resolved;
  }

  // Any font of the configuration that FreeType opens, for when matching by name found none.
  std::optional<TResolved> AnyFont(bool bold, bool italic) {
    FcPattern *pattern = FcPatternCreate();
    FcObjectSet *objects = FcObjectSetBuild(FC_FILE, FC_INDEX, FC_WEIGHT, FC_SLANT, nullptr);
    FcFontSet *set = pattern && objects ? FcFontList(Config, pattern, objects) : nullptr;
    std::optional<TResolved> resolved;
    for (int i = 0; set && i < set->nfont && !resolved; ++i)
      resolved = FromPattern(set->fonts[i], bold, italic);
    if (set)
      FcFontSetDestroy(set);
    if (objects)
      FcObjectSetDestroy(objects);
    if (pattern)
      FcPatternDestroy(pattern);
    return resolved;
  }

  TResolved &Resolve(const std::string &name, bool bold, bool italic) {
    std::string key = name;
    key.push_back('\0');
    key.push_back(static_cast<char>('0' + (bold ? 1 : 0) + (italic ? 2 : 0)));
    if (auto found = Resolved.find(key); found != Resolved.end())
      return found->second;
    ++Stats.Resolutions;
    // The generic sans family after the name makes an unknown name fall back to a sans face.
    auto resolved = Match({name, "sans-serif"}, bold, italic);
    if (!resolved)
      resolved = Match({"sans-serif"}, bold, italic);
    if (!resolved)
      resolved = AnyFont(bold, italic);
    if (!resolved)
      throw EFontError("Fonts: no usable font for \"" + name + "\"" + InstallHint);
    if (Resolved.size() >= MaxResolved)
      Resolved.clear();
    return Resolved.emplace(std::move(key), std::move(*resolved)).first->second;
  }

  int PixelSize(const TFontSpec &font, int ppi, FT_Face face) const {
    std::int64_t pixels;
    if (font.Height < 0) {
      pixels = -std::int64_t{font.Height};
    } else if (font.Height > 0) {
      // A cell height: the em is the part of it that the face's ascent and descent leave.
      const std::int64_t cell = std::int64_t{face->ascender} - face->descender;
      pixels = FT_IS_SCALABLE(face) && cell > 0 ? (std::int64_t{font.Height} * face->units_per_EM + cell / 2) / cell
                                                : font.Height;
    } else {
      return PointsToPixels(font.Size, ppi);
    }
    return static_cast<int>(std::clamp<std::int64_t>(pixels, 1, TFontSpec::MaxPixelSize));
  }

  // Drops the least recently used strikes past the bounds; the first (in use) always stays.
  void Trim() {
    std::size_t bytes = 0;
    for (const auto &strike : Strikes)
      bytes += strike->Bytes();
    while (Strikes.size() > 1 && (Strikes.size() > MaxStrikes || bytes > MaxStrikeBytes)) {
      bytes -= Strikes.back()->Bytes();
      StrikeIndex.erase(Strikes.back()->Key());
      Strikes.pop_back();
    }
  }

  TGlyphStrike &Strike(const TFontSpec &font, int ppi) {
    const bool bold = font.Style.Contains(fsBold), italic = font.Style.Contains(fsItalic);
    if (Memo.Matches(font, ppi, bold, italic))
      return *Memo.Strike;
    EnsureReady();
    const TResolved &resolved = Resolve(font.Name, bold, italic);
    const TGlyphStrike::TKey key{resolved.Face.get(), PixelSize(font, ppi, resolved.Face->Face), resolved.SyntheticBold,
                                 resolved.SyntheticItalic, NormalisedAngle(font.Escapement)};
    if (auto found = StrikeIndex.find(key); found != StrikeIndex.end()) {
      Strikes.splice(Strikes.begin(), Strikes, found->second);
    } else {
      ++Stats.StrikesCreated;
      Strikes.push_front(std::make_unique<TGlyphStrike>(resolved.Face, key, Stats));
      StrikeIndex.emplace(key, Strikes.begin());
    }
    Trim();
    Memo = {Strikes.front().get(), font.Name, font.Size, font.Height, font.Escapement, ppi, bold, italic};
    return *Memo.Strike;
  }
};

TFontEngine &TFontEngine::Instance() {
  // Never destroyed, so that text drawn while other statics are torn down still finds it.
  static TFontEngine &engine = *new TFontEngine;
  return engine;
}

TFontEngine::TFontEngine(std::string configFile) : F(std::make_unique<TImpl>()) {
  if (!configFile.empty())
    CheckFileName(configFile);
  F->ConfigFile = std::move(configFile);
}

TFontEngine::~TFontEngine() = default;

TGlyphStrike &TFontEngine::Strike(const TFontSpec &font, int pixelsPerInch) { return F->Strike(font, pixelsPerInch); }

TSize TFontEngine::TextExtent(const TFontSpec &font, int pixelsPerInch, std::string_view text) {
  TGlyphStrike &strike = Strike(font, pixelsPerInch);
  const std::int64_t width = strike.TextWidth(text);
  return {static_cast<int>(std::min<std::int64_t>(width, INT_MAX)), strike.Metrics().Height()};
}

const TStrikeMetrics &TFontEngine::Metrics(const TFontSpec &font, int pixelsPerInch) {
  return Strike(font, pixelsPerInch).Metrics();
}

TGlyphRun TFontEngine::GlyphRun(const TFontSpec &font, int pixelsPerInch, std::string_view text) {
  return Strike(font, pixelsPerInch).Run(text);
}

TFaceInfo TFontEngine::Describe(const TFontSpec &font) {
  F->EnsureReady();
  const TResolved &resolved = F->Resolve(font.Name, font.Style.Contains(fsBold), font.Style.Contains(fsItalic));
  return {resolved.Face->Family,  resolved.Face->StyleName,
          resolved.Face->File,    static_cast<int>(resolved.Face->Face->face_index & 0xFFFF),
          resolved.SyntheticBold, resolved.SyntheticItalic};
}

const TEngineStats &TFontEngine::Stats() const { return F->Stats; }

std::size_t TFontEngine::StrikeCount() const { return F->Strikes.size(); }

std::size_t TFontEngine::StrikeBytes() const {
  std::size_t bytes = 0;
  for (const auto &strike : F->Strikes)
    bytes += strike->Bytes();
  return bytes;
}

} // namespace Platform::Fonts

// fontconfig's configuration parser leaks a few hundred bytes per configuration it loads (an
// allocation lost inside its XML handling, out of our reach); the leak checker of sanitizer
// builds is told so here, next to the only code that loads configurations.
extern "C" const char *__lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
