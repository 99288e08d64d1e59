#pragma once

#include <memory>
#include <ostream>
#include <platform/controls/Form.h>
#include <platform/designer/FormFile.h>
#include <platform/designer/PackageLoader.h>
#include <string>

// What the designer does, without its command line: the loaded package, the palette it filled
// and the one form being designed. Every component of the form is in design mode. The form is
// shown in a window (Show) or rendered off-screen (Render) through the same dispatch.
class TDesignerSession {
public:
  // Loads the package into the process-wide loader and registry.
  explicit TDesignerSession(const std::string &packageFile);
  ~TDesignerSession();
  TDesignerSession(const TDesignerSession &) = delete;
  TDesignerSession &operator=(const TDesignerSession &) = delete;

  const Platform::TLoadedPackage &Package() const { return *FPackage; }

  // The package's description: kind, requirements and contained units.
  void DescribePackage(std::ostream &out) const;
  // Each palette page with its classes, one page a line: "Page: TClass, TOther".
  void ListPalette(std::ostream &out) const;
  // Writes each class of the package that has a palette image to folder/CLASS.png; returns how
  // many were written.
  int WritePaletteImages(const std::string &folder) const;

  // A new form of the given size holding one component of a class on the palette, named after it.
  void NewForm(const std::string &className, int width, int height);
  void OpenForm(const std::string &fileName);
  void SaveForm(const std::string &fileName) const;
  // The form as the designer shows it, written as a PNG file.
  void Render(const std::string &pngFile) const;
  // Shows the form in a window until the user closes it. Returns false, saying why in reason,
  // when there is no display or the library was built without a window host.
  bool Show(std::string &reason) const;

  Platform::TForm &Form() const;

private:
  void TakeForm(Platform::TComponent *root);

  const Platform::TLoadedPackage *FPackage = nullptr;
  std::unique_ptr<Platform::TForm> FForm;
};
