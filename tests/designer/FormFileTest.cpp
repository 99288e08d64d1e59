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

// The application's handlers, counting their calls.
struct Handlers {
  int Paints = 0, Downs = 0, Clicks = 0;
  TEventHandlers Table{
      {"GraphPaint", TNotifyEvent([this](TObject *) { ++Paints; })},
      {"GraphMouseDown", TMouseEvent([this](TObject *, TMouseButton, TShiftState, int, int) { ++Downs; })},
      {"PanelClick", TNotifyEvent([this](TObject *) { ++Clicks; })},
  };
};

constexpr const char *Form = R"(object Form1: TForm
  object Graph1: TVelWorldGraph
    HRulerFont.Style = [fsBold]
    HRulerFont.Size = 12
    Font.Name = 'Liberation Serif'
    Font.Style = [fsItalic, fsBold]
    Font.Color = 255
    OnMouseDown = GraphMouseDown
    OnPaint = GraphPaint
  end
  object Panel1: TPanel
    Font.Size = 14
    OnClick = PanelClick
  end
end
)";

std::string Line(const std::string &text, const std::string &start) {
  const std::size_t at = text.find(start);
  return at == std::string::npos ? "" : text.substr(at, text.find('\n', at) - at);
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

TEST(FormStreaming, FontsAndEventsReadBackBoundToTheApplicationsHandlers) {
  Registry reg;
  Handlers handlers;
  std::unique_ptr<TComponent> form(TFormFile(reg.R, handlers.Table).Read(Form, nullptr));
  auto *graph = dynamic_cast<TVelWorldGraph *>(form->FindComponent("Graph1"));
  auto *panel = dynamic_cast<TCustomPanel *>(form->FindComponent("Panel1"));
  ASSERT_TRUE(graph && panel);
  EXPECT_EQ(graph->Font().Name(), "Liberation Serif");
  EXPECT_EQ(graph->Font().Style(), (TFontStyles{fsBold, fsItalic}));
  EXPECT_EQ(graph->Font().Color(), 255);
  EXPECT_EQ(graph->HRulerFont().Size(), 12);
  EXPECT_EQ(graph->HRulerFont().Style(), TFontStyles{fsBold});
  EXPECT_EQ(panel->Font().Size(), 14);

  // The events run the handlers named in the file.
  graph->Paint();
  EXPECT_EQ(handlers.Paints, 1);
  ASSERT_TRUE(graph->OnMouseDown);
  graph->OnMouseDown(graph, mbLeft, {}, 1, 2);
  EXPECT_EQ(handlers.Downs, 1);
  panel->OnClick(panel);
  EXPECT_EQ(handlers.Clicks, 1);

  // Written again: the names, the fonts always stored on the graph, nothing for unbound events;
  // the panel's font only where it differs from a default font.
  graph->OnMouseUp = [](TObject *, TMouseButton, TShiftState, int, int) {}; // bound in code: no name
  const std::string text = TFormFile(reg.R).Write(*form);
  EXPECT_EQ(Line(text, "    Font.Style"), "    Font.Style = [fsBold, fsItalic]");
  EXPECT_EQ(Line(text, "    Font.Name"), "    Font.Name = 'Liberation Serif'");
  EXPECT_EQ(Line(text, "    VRulerFont.Size"), "    VRulerFont.Size = 8");
  EXPECT_EQ(Line(text, "    OnPaint"), "    OnPaint = GraphPaint");
  EXPECT_EQ(Line(text, "    OnClick"), "    OnClick = PanelClick");
  EXPECT_EQ(Line(text, "    Font.Size = 14"), "    Font.Size = 14");
  for (const char *absent : {"OnMouseUp", "OnMouseMove", "OnDblClick", "OnMouseEnter", "    Font.Name = 'Sans'"})
    EXPECT_EQ(text.find(absent), std::string::npos) << absent << "\n" << text;
  std::unique_ptr<TComponent> again(TFormFile(reg.R, handlers.Table).Read(text, nullptr));
  EXPECT_EQ(TFormFile(reg.R).Write(*again), text);

  // Unassigning an event drops it from the file.
  graph->OnPaint = nullptr;
  EXPECT_EQ(TFormFile(reg.R).Write(*form).find("OnPaint"), std::string::npos);
}

TEST(FormStreaming, BadHandlersAndFontValuesNameTheLine) {
  Registry reg;
  Handlers handlers;
  const struct {
    const char *Line;
    const char *Message;
  } cases[] = {
      {"OnPaint = Nope", "Line 3: OnPaint: the application has no handler named Nope"},
      {"OnMouseDown = GraphPaint", "Line 3: OnMouseDown: the handler GraphPaint does not take this event's arguments"},
      {"OnPaint = 'GraphPaint'", "Line 3: OnPaint: ''GraphPaint'' is not a method name"},
      {"Font.Style = [fsBold, fsHeavy]", "Line 3: Font.Style: 'fsHeavy' is not a valid value"},
      {"Font.Style = [fsBold,]", "Line 3: Font.Style: '' is not a valid value"},
      {"Font.Style = fsBold", "Line 3: Font.Style: 'fsBold' is not a set"},
      {"Font.Size = big", "Line 3: Font.Size: 'big' is not an integer"},
      {"Font.Weight = 700", "Line 3: TVelWorldGraph has no property Font.Weight"},
  };
  TForm owner(nullptr);
  for (const auto &c : cases) {
    const std::string text =
        std::string("object F: TForm\n  object G: TVelWorldGraph\n    ") + c.Line + "\n  end\nend\n";
    try {
      TFormFile(reg.R, handlers.Table).Read(text, &owner);
      ADD_FAILURE() << c.Line;
    } catch (const EDesignError &e) {
      EXPECT_STREQ(e.what(), c.Message);
    }
    EXPECT_EQ(owner.ComponentCount(), 0);
  }
  // Without the application's handlers no event can be bound, unless a designer asks for
  // handlers that do nothing: then the names are kept and written again.
  const std::string painted = "object F: TForm\n  OnPaint = FormPaint\nend\n";
  EXPECT_THROW(TFormFile(reg.R).Read(painted, nullptr), EDesignError);
  TFormFile designer(reg.R);
  designer.SetPlaceholderHandlers(true);
  std::unique_ptr<TComponent> form(designer.Read(painted, nullptr));
  static_cast<TForm *>(form.get())->OnPaint(nullptr);
  EXPECT_EQ(Line(designer.Write(*form), "  OnPaint"), "  OnPaint = FormPaint");
}
