#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <platform/controls/CustomPanel.h>
#include <platform/controls/Form.h>
#include <platform/designer/FormFile.h>
#include <worldgraph/GraphRegistration.h>
#include <worldgraph/VelGraph.h>

using namespace Platform;
using Velgraph::TVelWorldGraph;

namespace {

struct Registry {
  Registry() { Velgraph::RegisterWorldGraph(R); }
  TComponentRegistry R;
};

std::string Slurp(const std::filesystem::path &path) {
  std::ifstream in(path);
  return {std::istreambuf_iterator<char>(in), {}};
}

} // namespace

TEST(FormFile, GraphOnFormRoundTripsWithOnlyChangedDefaultedProperties) {
  Registry reg;
  ASSERT_EQ(reg.R.Pages().back().Name, "NordaGraph");
  EXPECT_THROW(Velgraph::RegisterWorldGraph(reg.R), EDesignError);

  TForm form(nullptr);
  form.SetName("Form1");
  form.SetCaption("Plot 'A'");
  auto *graph = new TVelWorldGraph(&form);
  graph->SetName("Graph1");
  graph->SetXMin(-2.5);
  graph->SetYMax(1e-3);
  graph->SetProportional(false);
  graph->SetHRulerPosition(Velgraph::hrpBottom);
  graph->SetVRulerDecimals(3);
  auto *panel = new TCustomPanel(&form);
  panel->SetParent(&form);
  panel->SetName("Panel1");

  const auto path = std::filesystem::temp_directory_path() / "velgraph_form_roundtrip.vfm";
  TFormFile(reg.R).Save(form, path.string());
  const std::string text = Slurp(path);
  for (const char *shown : {"object Form1: TForm", "  Caption = 'Plot ''A'''", "  object Graph1: TVelWorldGraph",
                            "    XMin = -2.5", "    YMax = 0.001", "    Proportional = false",
                            "    HRulerPosition = hrpBottom", "    VRulerDecimals = 3", "  object Panel1: TPanel"})
    EXPECT_NE(text.find(std::string(shown) + "\n"), std::string::npos) << shown << "\n" << text;
  // Left at their stream defaults, so not written.
  for (const char *hidden : {"YIncrease", "HRulerDecimals", "LengthUnits", "VRulerPosition", "BackgroundColor",
                             "Visible", "Color = 16777215"})
    EXPECT_EQ(text.find(hidden), std::string::npos) << hidden << "\n" << text;
  // The rulers and paint box the graph owns are its own business.
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n') - std::count(text.begin(), text.end(), '='), 6);

  std::unique_ptr<TComponent> loaded(TFormFile(reg.R).Load(path.string(), nullptr));
  std::filesystem::remove(path);
  auto *form2 = dynamic_cast<TForm *>(loaded.get());
  ASSERT_NE(form2, nullptr);
  EXPECT_EQ(form2->Caption(), "Plot 'A'");
  auto *graph2 = dynamic_cast<TVelWorldGraph *>(form2->FindComponent("graph1"));
  ASSERT_NE(graph2, nullptr);
  EXPECT_EQ(graph2->Parent(), form2);
  const TComponentClass *cls = reg.R.FindClass("TVelWorldGraph");
  for (const TPublishedPropertyInfo &p : cls->Properties)
    EXPECT_EQ(p.Get(*graph2), p.Get(*graph)) << p.Name;
  EXPECT_NE(form2->FindComponent("Panel1"), nullptr);
  EXPECT_EQ(TFormFile(reg.R).Write(*form2), text);
}

TEST(FormFile, BadTextNamesTheLineAndBuildsNothing) {
  TComponentRegistry r;
  const struct {
    const char *Text;
    const char *Message;
  } cases[] = {
      {"object F: TForm\n  object P: TNothing\n  end\nend\n", "Line 2: class TNothing not found"},
      {"object F: TForm\n  Colour = 1\nend\n", "Line 2: TForm has no property Colour"},
      {"object F: TForm\n\n  Width = wide\nend\n", "Line 3: Width: 'wide' is not an integer"},
      {"object F: TForm\n  object P: TPanel\n    Left = 1\n  end\n",
       "Line 4: the object F that began on line 1 has no end"},
      {"object F: TForm\n  Caption 'x'\nend\n", "Line 2: expected 'Property = value', found 'Caption 'x''"},
      {"object F: TForm\n  object P: TPanel\n  end\n  object p: TPanel\n  end\nend\n", "Line 4:"},
      {"object F: TForm\nend\nend\n", "Line 3: text after the last end"},
      {"", "Line 0: the file holds no object"},
  };
  TForm owner(nullptr);
  for (const auto &c : cases) {
    try {
      TFormFile(r).Read(c.Text, &owner);
      ADD_FAILURE() << c.Text;
    } catch (const EDesignError &e) {
      EXPECT_EQ(std::string(e.what()).rfind(c.Message, 0), 0u) << e.what();
    }
    EXPECT_EQ(owner.ComponentCount(), 0);
  }
  std::string deep;
  for (int i = 0; i < 300; ++i)
    deep += "object TPanel\n";
  EXPECT_THROW(TFormFile(r).Read("object TForm\n" + deep, nullptr), EDesignError);
  EXPECT_THROW(TFormFile(r).Load(std::string("a\0b", 3), nullptr), Exception);

  TComponent *read = TFormFile(r).Read("object F: TForm\n  object P: TPanel\n    Left = 7\n  end\nend\n", &owner);
  EXPECT_EQ(read->Owner(), &owner);
  EXPECT_EQ(static_cast<TControl *>(read->Components(0))->Left(), 7);
}
