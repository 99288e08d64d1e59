#include "DesignerSession.h"

#include <algorithm>
#include <filesystem>
#include <platform/host/HeadlessHost.h>
#include <platform/host/SdlHost.h>
#include <platform/pictures/Bitmap.h>
#include <platform/rtl/Rtl.h>
#include <platform/rtl/VirtualKeys.h>

using namespace Platform;

namespace {

// Enough rounds for paints that move children to settle the places they uncovered.
constexpr int PaintRounds = 4;

const char *Kind(std::uint32_t options) {
  if (options & poDesignOnly)
    return "design-only";
  if (options & poRunOnly)
    return "run-only";
  return "design and run";
}

} // namespace

TDesignerSession::TDesignerSession(const std::string &packageFile)
    : FPackage(&TPackageLoader::Instance().LoadPackage(packageFile)) {}

TDesignerSession::~TDesignerSession() {
  // The form's components are of the package's classes: they go before the package does.
  FForm.reset();
  TPackageLoader::Instance().UnloadPackage(*FPackage);
}

void TDesignerSession::DescribePackage(std::ostream &out) const {
  const TPackageDescription &d = FPackage->Description();
  out << "Package " << d.Name << " (" << Kind(d.Options) << ((d.Options & poNeverBuild) ? ", never-build" : "")
      << ")\n  " << d.Description << "\n  requires:";
  for (const char *required : d.Requires)
    out << ' ' << required;
  out << "\n  contains:";
  for (const TContainedUnit &unit : d.Contains)
    out << ' ' << unit.Name << (unit.Weak ? " (weak)" : "");
  out << '\n';
}

void TDesignerSession::ListPalette(std::ostream &out) const {
  for (const TPalettePage &page : TComponentRegistry::Instance().Pages()) {
    out << page.Name << ':';
    for (std::size_t i = 0; i < page.ClassNames.size(); ++i)
      out << (i ? ", " : " ") << page.ClassNames[i];
    out << '\n';
  }
}

int TDesignerSession::WritePaletteImages(const std::string &folder) const {
  int written = 0;
  for (const std::string &className : FPackage->Classes()) {
    std::string resourceName = className;
    for (char &c : resourceName)
      c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    TBitmap image;
    try {
      image.LoadFromBmpData(FPackage->Resource(resourceName));
    } catch (const EPackageError &) {
      continue; // a class without a palette image gets the designer's plain button
    }
    image.SaveToPngFile((std::filesystem::path(folder) / (resourceName + ".png")).string());
    ++written;
  }
  return written;
}

void TDesignerSession::NewForm(const std::string &className, int width, int height) {
  const TComponentRegistry &registry = TComponentRegistry::Instance();
  const TComponentClass *cls = registry.FindClass(className);
  const bool onPalette =
      cls && std::any_of(registry.Pages().begin(), registry.Pages().end(), [&](const TPalettePage &p) {
        return std::find(p.ClassNames.begin(), p.ClassNames.end(), cls->Name) != p.ClassNames.end();
      });
  if (!onPalette)
    throw EDesignError("No class " + className + " is on the palette");
  auto form = std::make_unique<TForm>(nullptr);
  form->SetName("Form1");
  form->SetCaption("Form1");
  form->SetBounds(0, 0, width, height);
  TComponent *component = cls->Create(form.get());
  component->SetName(cls->Name.substr(1) + "1");
  if (auto *control = dynamic_cast<TControl *>(component))
    control->SetBounds(8, 8, width - 16, height - 16);
  form->SetDesigning(true);
  FForm = std::move(form);
}

void TDesignerSession::OpenForm(const std::string &fileName) {
  // The form's code is not here: its events keep their handlers' names and do nothing.
  TFormFile reader;
  reader.SetPlaceholderHandlers(true);
  TakeForm(reader.Load(fileName, nullptr));
}

void TDesignerSession::TakeForm(TComponent *root) {
  std::unique_ptr<TComponent> owned(root);
  auto *form = dynamic_cast<TForm *>(root);
  if (!form)
    throw EDesignError("The form file holds a " + TComponentRegistry::Instance().ClassOf(*root)->Name + ", not a form");
  owned.release();
  FForm.reset(form);
  FForm->SetDesigning(true);
}

void TDesignerSession::SaveForm(const std::string &fileName) const { TFormFile().Save(Form(), fileName); }

void TDesignerSession::Render(const std::string &pngFile) const {
  THeadlessHost host(Form());
  for (int round = 0; round < PaintRounds && host.ProcessPaints() > 0; ++round) {
  }
  host.Present();
  host.Presented().SaveToPngFile(pngFile);
}

bool TDesignerSession::Show(std::string &reason) const {
  const std::unique_ptr<TSdlHost> window = TSdlHost::Open(Form(), &reason);
  if (!window)
    return false;
  // Escape closes the designer's window as it closes a dialog; the form's own keys are its code's.
  Form().OnKeyDown = [&window](TObject *, WORD &key, TShiftState) {
    if (key == VK_ESCAPE)
      window->Close();
  };
  window->Run();
  Form().OnKeyDown = nullptr;
  return true;
}

TForm &TDesignerSession::Form() const {
  if (!FForm)
    throw EDesignError("No form is open");
  return *FForm;
}
