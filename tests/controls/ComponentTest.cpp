#include <gtest/gtest.h>

#include <platform/controls/CustomPanel.h>
#include <platform/controls/Form.h>
#include <platform/controls/PaintBox.h>
#include <string>
#include <vector>

using namespace Platform;

namespace {

// Writes its name into a shared list when destroyed, with whether it still had its owner.
class TTracked : public TComponent {
public:
  TTracked(TComponent *owner, std::string tag, std::vector<std::string> &freed)
      : TComponent(owner), FTag(std::move(tag)), FFreed(freed) {}
  ~TTracked() override {
    FFreed.push_back(FTag + (ComponentState().Contains(csDestroying) ? "" : " (not destroying)"));
    delete Victim;
  }
  // Deleted by this one's destructor, as a class freeing a part it made elsewhere does.
  TComponent *Victim = nullptr;

private:
  std::string FTag;
  std::vector<std::string> &FFreed;
};

// Frees the two children it creates itself, as a panel that owns its parts does.
class TSelfFreeing : public TCustomPanel {
public:
  explicit TSelfFreeing(TComponent *owner) : TCustomPanel(owner) {
    First = new TPaintBox(this);
    First->SetParent(this);
    Second = new TCustomPanel(this);
    Second->SetParent(this);
  }
  ~TSelfFreeing() override {
    delete First;
    delete Second;
  }
  TPaintBox *First;
  TCustomPanel *Second;
};

} // namespace

TEST(Component, OwnerFreesWhatItOwnsLastCreatedFirst) {
  std::vector<std::string> freed;
  auto *owner = new TTracked(nullptr, "owner", freed);
  auto *a = new TTracked(owner, "a", freed);
  new TTracked(a, "a.child", freed);
  new TTracked(owner, "b", freed);
  EXPECT_EQ(owner->ComponentCount(), 2);
  EXPECT_EQ(a->Owner(), owner);
  delete owner;
  // A destructor's own body runs before its components go; they know they are being destroyed.
  EXPECT_EQ(freed, (std::vector<std::string>{"owner (not destroying)", "b", "a", "a.child"}));
}

// Owner chains far deeper than any stack of destructors could hold are freed in creation order,
// each component once and knowing it is being destroyed, even where a destructor frees a sibling.
TEST(Component, DeepOwnerChainsAreFreedInOrderWithoutRecursion) {
  std::vector<std::string> freed;
  auto *root = new TTracked(nullptr, "0", freed);
  TComponent *tip = root;
  for (int i = 1; i < 100; ++i)
    tip = new TTracked(tip, std::to_string(i), freed);
  auto *first = new TTracked(tip, "first", freed);
  auto *second = new TTracked(tip, "second", freed);
  second->Victim = first;
  delete root;
  ASSERT_EQ(freed.size(), 102u);
  EXPECT_EQ(freed[0], "0 (not destroying)"); // its own body runs before its teardown starts
  for (int i = 1; i < 100; ++i)
    EXPECT_EQ(freed[i], std::to_string(i));
  EXPECT_EQ(freed[100], "second");
  EXPECT_EQ(freed[101], "first");

  // 100,000 levels of plain components and windowed controls: built and freed in linear time,
  // within the stack (the sanitizer build's frames are the largest).
  TComponent *chain = new TComponent(nullptr);
  tip = chain;
  for (int i = 0; i < 100000; ++i)
    tip = i % 2 ? new TComponent(tip) : new TCustomPanel(tip);
  EXPECT_EQ(tip->Owner()->Owner()->ComponentCount(), 1);
  EXPECT_THROW(tip->InsertComponent(chain), EComponentError);
  delete chain;
}

TEST(Component, AComponentFreedFirstLeavesItsOwnersList) {
  std::vector<std::string> freed;
  TTracked owner(nullptr, "owner", freed);
  auto *a = new TTracked(&owner, "a", freed);
  auto *b = new TTracked(&owner, "b", freed);
  delete a;
  ASSERT_EQ(owner.ComponentCount(), 1);
  EXPECT_EQ(owner.Components(0), b);
  EXPECT_THROW(owner.Components(1), EComponentError);
  EXPECT_THROW(owner.Components(-1), EComponentError);
  EXPECT_EQ(freed, (std::vector<std::string>{"a (not destroying)"}));
}

TEST(Component, AClassFreeingItsOwnChildrenFreesNothingTwice) {
  auto *form = new TForm(nullptr);
  auto *panel = new TSelfFreeing(form);
  panel->SetParent(form);
  EXPECT_EQ(panel->ComponentCount(), 2);
  EXPECT_EQ(panel->ControlCount(), 2);
  delete panel;
  EXPECT_EQ(form->ComponentCount(), 0);
  EXPECT_EQ(form->ControlCount(), 0);
  // Freed through the owner too: the sanitizer build reports any double free.
  auto *second = new TSelfFreeing(form);
  second->SetParent(form);
  delete form;
}

TEST(Component, OwnershipMovesAndCannotLoop) {
  TComponent a(nullptr), b(nullptr);
  auto *c = new TComponent(&a);
  b.InsertComponent(c);
  EXPECT_EQ(c->Owner(), &b);
  EXPECT_EQ(a.ComponentCount(), 0);
  EXPECT_EQ(b.ComponentCount(), 1);
  EXPECT_THROW(c->InsertComponent(&b), EComponentError);
  b.RemoveComponent(c);
  EXPECT_EQ(c->Owner(), nullptr);
  delete c;
}

TEST(Component, NamesAreIdentifiersUniqueAmongTheOwnersComponents) {
  TComponent owner(nullptr);
  auto *a = new TComponent(&owner);
  auto *b = new TComponent(&owner);
  a->SetName("Graph1");
  EXPECT_THROW(b->SetName("graph1"), EComponentError);
  EXPECT_THROW(b->SetName("1Graph"), EComponentError);
  EXPECT_THROW(b->SetName("Gra ph"), EComponentError);
  EXPECT_EQ(b->Name(), "");
  b->SetName("_Graph2");
  EXPECT_EQ(owner.FindComponent("GRAPH1"), a);
  EXPECT_EQ(owner.FindComponent("_graph2"), b);
  EXPECT_EQ(owner.FindComponent(""), nullptr);
  a->SetName("Graph1"); // its own name again is fine
  auto *stranger = new TComponent(nullptr);
  stranger->SetName("Graph1");
  EXPECT_THROW(owner.InsertComponent(stranger), EComponentError);
  delete stranger;
}

TEST(Component, DesigningFollowsTheOwnedComponentsWhenAsked) {
  TComponent owner(nullptr);
  auto *child = new TComponent(&owner);
  auto *grandchild = new TComponent(child);
  owner.SetDesigning(true);
  EXPECT_TRUE(grandchild->ComponentState().Contains(csDesigning));
  owner.SetDesigning(false, false);
  EXPECT_FALSE(owner.ComponentState().Contains(csDesigning));
  EXPECT_TRUE(child->ComponentState().Contains(csDesigning));
}

TEST(Component, EndingLoadingCallsLoadedOnce) {
  struct TLoader : TComponent {
    using TComponent::TComponent;
    int Count = 0;
    void Loaded() override { ++Count; }
  } c(nullptr);
  c.SetLoading(true);
  EXPECT_TRUE(c.ComponentState().Contains(csLoading));
  c.SetLoading(false);
  c.SetLoading(false);
  EXPECT_EQ(c.Count, 1);
}

TEST(Component, AParentFreesChildrenItDoesNotOwnAndAFreedChildLeavesItsParent) {
  std::vector<std::string> freed;
  auto *form = new TForm(nullptr);
  auto *panel = new TCustomPanel(nullptr); // no owner: the parent frees it
  panel->SetParent(form);
  auto *box = new TPaintBox(form); // owned by the form, parented to the panel
  box->SetParent(panel);
  auto *other = new TPaintBox(form);
  other->SetParent(panel);
  delete other;
  EXPECT_EQ(panel->ControlCount(), 1);
  EXPECT_EQ(form->ComponentCount(), 1);
  delete panel; // takes the box with it, which leaves the form's list
  EXPECT_EQ(form->ComponentCount(), 0);
  delete form;
}

TEST(Component, ADynamicClassTestIsADynamicCast) {
  TForm form(nullptr);
  auto *panel = new TCustomPanel(&form);
  TComponent *asComponent = panel;
  EXPECT_NE(dynamic_cast<TWinControl *>(asComponent), nullptr);
  EXPECT_EQ(dynamic_cast<TPaintBox *>(asComponent), nullptr);
}
