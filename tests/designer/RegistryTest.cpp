#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <platform/controls/CustomPanel.h>
#include <platform/controls/Form.h>
#include <platform/designer/ComponentRegistry.h>
#include <platform/designer/PropertyText.h>

using namespace Platform;

namespace {

TComponentClass Dummy(const std::string &name) {
  return {name, [](TComponent *owner) -> TComponent * { return new TComponent(owner); }, {}, &typeid(TComponent)};
}

std::vector<std::string> PageNames(const TComponentRegistry &r) {
  std::vector<std::string> names;
  for (const TPalettePage &p : r.Pages())
    names.push_back(p.Name);
  return names;
}

} // namespace

TEST(ComponentRegistry, PagesGatherClassesAndDuplicatesAreRefusedWhole) {
  TComponentRegistry r;
  r.RegisterComponents("Extra", {Dummy("TOne")});
  r.RegisterComponents("extra", {Dummy("TTwo")});
  ASSERT_EQ(PageNames(r), (std::vector<std::string>{"Standard", "Extra"}));
  EXPECT_EQ(r.Pages()[1].ClassNames, (std::vector<std::string>{"TOne", "TTwo"}));

  // A class seen before, on any page or twice in one call, refuses the whole call.
  EXPECT_THROW(r.RegisterComponents("Other", {Dummy("TThree"), Dummy("tone")}), EDesignError);
  EXPECT_THROW(r.RegisterComponents("Other", {Dummy("TFour"), Dummy("TFour")}), EDesignError);
  EXPECT_THROW(r.RegisterComponents("Other", {Dummy("TPanel")}), EDesignError);
  EXPECT_THROW(r.RegisterComponents("Other", {TComponentClass{"TNoFactory", nullptr, {}, &typeid(TComponent)}}),
               EDesignError);
  EXPECT_THROW(r.RegisterComponents("", {Dummy("TFive")}), EDesignError);
  EXPECT_EQ(r.FindClass("TThree"), nullptr);
  EXPECT_EQ(PageNames(r), (std::vector<std::string>{"Standard", "Extra"}));

  r.UnregisterClass("TOne");
  r.UnregisterClass("TTwo");
  EXPECT_EQ(PageNames(r), (std::vector<std::string>{"Standard"}));
  r.RegisterComponents("Extra", {Dummy("TOne")});
  EXPECT_NE(r.FindClass("tONE"), nullptr);
}

TEST(ComponentRegistry, PlatformClassesCreateWithOwnerAndSetThroughText) {
  TComponentRegistry r;
  const TComponentClass *formClass = r.FindClass("TForm");
  const TComponentClass *panelClass = r.FindClass("TPanel");
  ASSERT_TRUE(formClass && panelClass);
  std::unique_ptr<TComponent> form(formClass->Create(nullptr));
  TComponent *panel = panelClass->Create(form.get());
  EXPECT_EQ(panel->Owner(), form.get());
  EXPECT_EQ(static_cast<TControl *>(panel)->Parent(), form.get());
  EXPECT_EQ(r.ClassOf(*panel), panelClass);

  panelClass->FindProperty("caption")->Set(*panel, "'it''s'#10'x'");
  EXPECT_EQ(static_cast<TCustomPanel *>(panel)->Caption(), "it's\nx");
  EXPECT_EQ(panelClass->FindProperty("Caption")->Get(*panel), "'it''s'#10'x'");
  panelClass->FindProperty("Width")->Set(*panel, "123");
  EXPECT_EQ(static_cast<TControl *>(panel)->Width(), 123);
  EXPECT_THROW(panelClass->FindProperty("Width")->Set(*panel, "12x"), EDesignError);
  EXPECT_THROW(panelClass->FindProperty("Width")->Set(*form, "12"), EDesignError);
}

TEST(PropertyText, ValuesReadBackAsWrittenAndBadTextIsRefused) {
  for (double v : {0.0, -0.1, 1e300, 5e-324, 1.0 / 3, std::numeric_limits<double>::infinity()})
    EXPECT_EQ(PropertyText::ToDouble(PropertyText::FromDouble(v)), v);
  EXPECT_TRUE(std::isnan(PropertyText::ToDouble(PropertyText::FromDouble(std::nan("")))));
  for (const std::string &s : std::vector<std::string>{"", "'", "a''b", std::string("\x01\x1f z'\n", 7)})
    EXPECT_EQ(PropertyText::ToString(PropertyText::FromString(s)), s);
  const char *bad[] = {"'open", "'a'x", "#300", "#", "plain"};
  for (const char *text : bad)
    EXPECT_THROW(PropertyText::ToString(text), EDesignError) << text;
  EXPECT_THROW(PropertyText::ToInteger("2147483648", INT32_MIN, INT32_MAX), EDesignError);
  EXPECT_THROW(PropertyText::ToInteger("", 0, 1), EDesignError);
  EXPECT_THROW(PropertyText::ToDouble("1.5.2"), EDesignError);
  EXPECT_THROW(PropertyText::ToBoolean("yes"), EDesignError);
  EXPECT_TRUE(PropertyText::ToBoolean("TRUE"));
}
