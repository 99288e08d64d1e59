// The form designer on the command line: loads the component package, shows what its palette
// offers, makes and opens form files in design mode, saves them and renders them to PNG.

#include "DesignerSession.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr const char *PackageFileName = "VelGraphPkg.so";

constexpr const char *Usage = R"(usage: velgraph-designer [--package FILE] COMMAND [ARGUMENTS]

Loads the component package and works on form files in design mode.

Commands:
  package                       describe the package: kind, required packages, units
  palette [--images DIR]        list the palette, one page a line ("Page: TClass, ...");
                                with --images, write each class's palette image to
                                DIR/CLASSNAME.png
  new FORM [--class CLASS] [--size WxH] [--png IMAGE] [--window]
                                make a form holding one component of CLASS (default
                                TVelWorldGraph) on a form of WxH pixels (default 640x480),
                                save it to the form file FORM and render it to IMAGE
  open FORM [--save FILE] [--png IMAGE] [--window]
                                open the form file FORM in design mode, save it to FILE
                                and render it to IMAGE

With --window the form is then shown in a window until it is closed (or Escape is pressed);
without a display the designer says so and exits with status 1.

Options:
  --package FILE   the package to load; by default VelGraphPkg.so beside this program,
                   else the one in the build tree it was built in
  --help           show this text

Form files hold nested "object Name: TClass ... end" blocks with "Property = value" lines;
properties at their stream defaults are left out.
)";

struct TArguments {
  std::string Package;
  std::string Command;
  std::vector<std::string> Positional;
  std::optional<std::string> Images, Class, Size, Png, Save;
  bool Window = false;
};

[[noreturn]] void Refuse(const std::string &message) {
  std::fprintf(stderr, "velgraph-designer: %s\n(see velgraph-designer --help)\n", message.c_str());
  std::exit(2);
}

TArguments Parse(int argc, char **argv) {
  TArguments args;
  const std::pair<const char *, std::optional<std::string> *> options[] = {
      {"--images", &args.Images}, {"--class", &args.Class}, {"--size", &args.Size},
      {"--png", &args.Png},       {"--save", &args.Save},
  };
  std::optional<std::string> package;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::fputs(Usage, stdout);
      std::exit(0);
    }
    if (arg == "--window") {
      args.Window = true;
      continue;
    }
    std::optional<std::string> *target = arg == "--package" ? &package : nullptr;
    for (const auto &[name, slot] : options)
      if (arg == name)
        target = slot;
    if (target) {
      if (i + 1 >= argc)
        Refuse(arg + " needs a value");
      *target = argv[++i];
    } else if (arg.starts_with("--")) {
      Refuse("unknown option " + arg);
    } else if (args.Command.empty()) {
      args.Command = arg;
    } else {
      args.Positional.push_back(arg);
    }
  }
  if (args.Command.empty())
    Refuse("no command given");
  const bool takesForm = args.Command == "new" || args.Command == "open";
  if (!takesForm && args.Command != "package" && args.Command != "palette")
    Refuse("unknown command " + args.Command);
  if (takesForm && args.Positional.size() != 1)
    Refuse(args.Command + " takes one form file");
  if (!takesForm && !args.Positional.empty())
    Refuse(args.Command + " takes no file");
  if (!takesForm && args.Window)
    Refuse("--window goes with new or open");
  args.Package = package ? *package : "";
  return args;
}

std::string DefaultPackage() {
  std::error_code error;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  if (!error) {
    const std::filesystem::path beside = self.parent_path() / PackageFileName;
    if (std::filesystem::exists(beside))
      return beside.string();
  }
  return VELGRAPH_PACKAGE_BUILD_PATH;
}

std::pair<int, int> ParseSize(const std::string &text) {
  int width = 0, height = 0;
  char end = 0;
  if (std::sscanf(text.c_str(), "%dx%d%c", &width, &height, &end) != 2 || width < 32 || height < 32 || width > 8192 ||
      height > 8192)
    Refuse("--size takes WxH, each from 32 to 8192 pixels");
  return {width, height};
}

int Run(const TArguments &args) {
  TDesignerSession session(args.Package.empty() ? DefaultPackage() : args.Package);
  if (args.Command == "package") {
    session.DescribePackage(std::cout);
  } else if (args.Command == "palette") {
    session.ListPalette(std::cout);
    if (args.Images)
      std::cout << session.WritePaletteImages(*args.Images) << " palette image(s) written to " << *args.Images << '\n';
  } else if (args.Command == "new") {
    const auto [width, height] = ParseSize(args.Size.value_or("640x480"));
    session.NewForm(args.Class.value_or("TVelWorldGraph"), width, height);
    session.SaveForm(args.Positional.front());
  } else {
    session.OpenForm(args.Positional.front());
    if (args.Save)
      session.SaveForm(*args.Save);
  }
  if (args.Png)
    session.Render(*args.Png);
  if (std::string reason; args.Window && !session.Show(reason)) {
    std::fprintf(stderr, "velgraph-designer: cannot show the form: %s\n", reason.c_str());
    return 1;
  }
  return 0;
}

} // namespace

int main(int argc, char **argv) {
  const TArguments args = Parse(argc, argv);
  try {
    return Run(args);
  } catch (const std::exception &e) {
    std::fprintf(stderr, "velgraph-designer: %s\n", e.what());
    return 1;
  }
}
