#include <platform/designer/FormFile.h>

#include <cctype>
#include <fstream>
#include <memory>
#include <platform/designer/PropertyText.h>
#include <platform/rtl/AtomicFile.h>
#include <platform/rtl/Rtl.h>
#include <sstream>
#include <vector>

namespace Platform {

namespace {

constexpr std::size_t MaxDepth = 200;
constexpr std::uintmax_t MaxFileSize = 64u << 20;

struct TPropertyLine {
  int Line;
  const TPublishedPropertyInfo *Property;
  std::string Value;
};

struct TObjectBlock {
  int Line;
  std::string Name;
  const TComponentClass *Class;
  std::vector<TPropertyLine> Properties;
  std::vector<TObjectBlock> Children;
};

[[noreturn]] void Fail(int line, const std::string &message) {
  throw EDesignError("Line " + std::to_string(line) + ": " + message);
}

bool StartsWithWord(std::string_view s, std::string_view word) {
  return s.size() > word.size() && s.substr(0, word.size()) == word &&
         std::isspace(static_cast<unsigned char>(s[word.size()]));
}

// Splits the form text into blocks, checking every class and property name on the way.
class TFormParser {
public:
  TFormParser(std::string_view text, const TComponentRegistry &registry) : FText(text), FRegistry(registry) {}

  TObjectBlock ParseRoot() {
    std::string_view line;
    if (!NextLine(line))
      Fail(FLine, "the file holds no object");
    TObjectBlock root = ParseBlock(line, 0);
    while (NextLine(line))
      Fail(FLine, "text after the last end");
    return root;
  }

private:
  bool NextLine(std::string_view &line) {
    while (FPos < FText.size()) {
      const std::size_t end = std::min(FText.find('\n', FPos), FText.size());
      line = Trim(FText.substr(FPos, end - FPos));
      FPos = end + 1;
      ++FLine;
      if (!line.empty())
        return true;
    }
    return false;
  }

  TObjectBlock ParseBlock(std::string_view header, std::size_t depth) {
    if (depth >= MaxDepth)
      Fail(FLine, "objects nested too deeply");
    TObjectBlock block = ParseHeader(header);
    std::string_view line;
    while (NextLine(line)) {
      if (line == "end")
        return block;
      if (StartsWithWord(line, "object"))
        block.Children.push_back(ParseBlock(line, depth + 1));
      else
        block.Properties.push_back(ParseProperty(line, *block.Class));
    }
    Fail(FLine, "the object " + block.Name + " that began on line " + std::to_string(block.Line) + " has no end");
  }

  TObjectBlock ParseHeader(std::string_view line) {
    if (!StartsWithWord(line, "object"))
      Fail(FLine, "expected an object, found '" + std::string(line) + "'");
    std::string_view rest = Trim(line.substr(6));
    std::string_view name;
    if (const auto colon = rest.find(':'); colon != std::string_view::npos) {
      name = Trim(rest.substr(0, colon));
      rest = Trim(rest.substr(colon + 1));
    }
    const TComponentClass *cls = FRegistry.FindClass(rest);
    if (!cls)
      Fail(FLine, "class " + std::string(rest) + " not found");
    return {FLine, std::string(name), cls, {}, {}};
  }

  TPropertyLine ParseProperty(std::string_view line, const TComponentClass &cls) {
    const auto equals = line.find('=');
    if (equals == std::string_view::npos)
      Fail(FLine, "expected 'Property = value', found '" + std::string(line) + "'");
    const std::string_view name = Trim(line.substr(0, equals));
    const TPublishedPropertyInfo *property = cls.FindProperty(name);
    if (!property || (!property->Set && !property->Bind))
      Fail(FLine, cls.Name + " has no property " + std::string(name));
    return {FLine, property, std::string(Trim(line.substr(equals + 1)))};
  }

  std::string_view FText;
  const TComponentRegistry &FRegistry;
  std::size_t FPos = 0;
  int FLine = 0;
};

// How a reader binds events: the application's handlers, and whether a name it lacks gets a
// handler that does nothing.
struct TBinding {
  const TEventHandlers &Handlers;
  bool Placeholders;
};

void SetProperty(TComponent &component, const TPropertyLine &p, const TBinding &binding) {
  if (!p.Property->Bind) {
    p.Property->Set(component, p.Value);
    return;
  }
  const std::string method = PropertyText::ToIdentifier(p.Value);
  const auto handler = binding.Handlers.find(method);
  if (handler != binding.Handlers.end())
    p.Property->Bind(component, method, handler->second);
  else if (binding.Placeholders)
    p.Property->Bind(component, method, std::monostate());
  else
    throw EDesignError("the application has no handler named " + method);
}

// Owns the tree under construction until it is whole, then lets go of it.
TComponent *Build(const TObjectBlock &block, TComponent *owner, const TBinding &binding,
                  std::vector<TComponent *> &made) {
  TComponent *component = block.Class->Create(owner);
  made.push_back(component);
  component->SetLoading(true);
  try {
    component->SetName(block.Name);
  } catch (const std::exception &e) {
    Fail(block.Line, e.what());
  }
  for (const TPropertyLine &p : block.Properties) {
    try {
      SetProperty(*component, p, binding);
    } catch (const std::exception &e) {
      Fail(p.Line, p.Property->Name + ": " + e.what());
    }
  }
  for (const TObjectBlock &child : block.Children)
    Build(child, component, binding, made);
  return component;
}

void WriteBlock(std::ostringstream &out, const TComponent &component, const TComponentClass &cls,
                const TComponentRegistry &registry, int indent) {
  const std::string pad(static_cast<std::size_t>(indent) * 2, ' ');
  out << pad << "object " << (component.Name().empty() ? "" : component.Name() + ": ") << cls.Name << '\n';
  for (const TPublishedPropertyInfo &p : cls.Properties) {
    if (!p.Get || (!p.Set && !p.Bind))
      continue;
    const std::string value = p.Get(component);
    if (p.Bind ? !value.empty() : (!p.Default || value != *p.Default))
      out << pad << "  " << p.Name << " = " << value << '\n';
  }
  for (int i = 0; i < component.ComponentCount(); ++i)
    if (const TComponentClass *childClass = registry.ClassOf(*component.Components(i)))
      WriteBlock(out, *component.Components(i), *childClass, registry, indent + 1);
  out << pad << "end\n";
}

} // namespace

const TEventHandlers &TFormFile::NoHandlers() {
  static const TEventHandlers none;
  return none;
}

std::string TFormFile::Write(const TComponent &root) const {
  const TComponentClass *cls = FRegistry.ClassOf(root);
  if (!cls)
    throw EDesignError("The class of " + root.Name() + " is not registered");
  std::ostringstream out;
  WriteBlock(out, root, *cls, FRegistry, 0);
  return out.str();
}

void TFormFile::Save(const TComponent &root, const std::string &fileName) const {
  const std::string text = Write(root);
  TAtomicFile file(fileName);
  if (std::fwrite(text.data(), 1, text.size(), file.Handle()) != text.size())
    throw EDesignError("Cannot write " + fileName);
  file.Commit();
}

TComponent *TFormFile::Read(std::string_view text, TComponent *owner) const {
  const TObjectBlock tree = TFormParser(text, FRegistry).ParseRoot();
  std::vector<TComponent *> made;
  std::unique_ptr<TComponent> root;
  try {
    root.reset(Build(tree, nullptr, TBinding{FHandlers, FPlaceholderHandlers}, made));
  } catch (...) {
    if (!made.empty())
      delete made.front();
    throw;
  }
  for (TComponent *component : made)
    component->SetLoading(false);
  if (owner)
    owner->InsertComponent(root.get());
  return root.release();
}

TComponent *TFormFile::Load(const std::string &fileName, TComponent *owner) const {
  CheckFileName(fileName);
  std::ifstream in(fileName, std::ios::binary);
  if (!in)
    throw EDesignError("Cannot open " + fileName);
  std::string text;
  char buffer[65536];
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
    text.append(buffer, static_cast<std::size_t>(in.gcount()));
    if (text.size() > MaxFileSize)
      throw EDesignError(fileName + " is too large for a form");
  }
  return Read(text, owner);
}

} // namespace Platform
