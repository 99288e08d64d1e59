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
    const std::string text = std::string("object F: TForm\n  object G: TVelWorldGraph\n    ") + c.Line + "\n  end\nend\n";
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
