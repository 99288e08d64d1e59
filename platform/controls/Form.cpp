#include <platform/controls/Form.h>

#include <algorithm>
#include <platform/controls/Screen.h>

namespace Platform {

namespace {

constexpr int DefaultWidth = 640;
constexpr int DefaultHeight = 480;

bool Contains(const TRect &r, TPoint p) { return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom; }

bool Contains(const TRect &outer, const TRect &inner) {
  return inner.Left >= outer.Left && inner.Top >= outer.Top && inner.Right <= outer.Right &&
         inner.Bottom <= outer.Bottom;
}

// Replaces every rectangle of pieces by its parts outside hole (up to four bands each).
void Subtract(std::vector<TRect> &pieces, std::vector<TRect> &scratch, const TRect &hole) {
  scratch.clear();
  for (const TRect &p : pieces) {
    const TRect overlap = IntersectRect(p, hole);
    if (overlap.IsEmpty()) {
      scratch.push_back(p);
      continue;
    }
    const TRect bands[] = {{p.Left, p.Top, p.Right, overlap.Top},
                           {p.Left, overlap.Bottom, p.Right, p.Bottom},
                           {p.Left, overlap.Top, overlap.Left, overlap.Bottom},
                           {overlap.Right, overlap.Top, p.Right, overlap.Bottom}};
    for (const TRect &b : bands)
      if (!b.IsEmpty())
        scratch.push_back(b);
  }
  pieces.swap(scratch);
}

} // namespace

// One walk of the tree in z-order. A control is painted when it asked to be (or is the one
// being repainted) or when it overlaps something painted earlier in the walk, because that
// drawing may have covered it.
//
// A Paint may free or move any control, the one painting and its ancestors included, or the
// form itself. The pass watches the form while it walks: Path holds the controls being visited,
// and Cut the shallowest level of it that has left, below which the walk touches nothing.
struct TForm::TPaintPass final : TFormObserver {
  static constexpr std::size_t NoCut = SIZE_MAX;
  const TControl *Only = nullptr;
  std::vector<TRect> Painted;
  std::vector<TRect> Pieces;
  std::vector<TRect> Scratch;
  std::vector<const TControl *> Path;
  std::size_t Cut = NoCut;
  bool FormGone = false;
  int Count = 0;

  bool Overlaps(const TRect &r) const {
    return std::any_of(Painted.begin(), Painted.end(), [&](const TRect &p) { return !IntersectRect(p, r).IsEmpty(); });
  }
  void Add(const TRect &r) {
    // Children lie inside their parents, so the list stays as short as the overlapping tops.
    if (std::none_of(Painted.begin(), Painted.end(), [&](const TRect &p) { return Contains(p, r); }))
      Painted.push_back(r);
  }
  bool Left(std::size_t depth) const { return Cut <= depth; }

  void ControlRemoved(TControl &control) override {
    // The path runs from the form down through parents, so whatever leaves with the control
    // lies below it on the path.
    const auto at = std::find(Path.begin(), Path.end(), &control);
    if (at != Path.end())
      Cut = std::min(Cut, static_cast<std::size_t>(at - Path.begin()));
  }
  void FormDestroying(TForm &) override {
    Cut = 0;
    FormGone = true;
  }
};

TForm::TForm(TComponent *owner) : TWinControl(owner) {
  // The framebuffer's text follows the screen's pixels per inch, which the screen answers.
  Screen();
  SetColor(clBtnFace);
  UpdateGeometry();
  SetBounds(0, 0, DefaultWidth, DefaultHeight);
}

TForm::~TForm() {
  TComponent::Destroying();
  const std::vector<TFormObserver *> observers = std::move(FObservers);
  FObservers.clear();
  for (TFormObserver *o : observers)
    o->FormDestroying(*this);
  DestroyChildren();
  DestroyComponents();
}

void TForm::SetParent(TWinControl *parent) {
  if (parent)
    throw EInvalidOperation("A form cannot have a parent");
}

void TForm::SetBounds(int left, int top, int width, int height) {
  const TRasterSurface before = FFramebuffer.Surface();
  FFramebuffer.SetSize(width, height);
  FDevice.SetSurface(FFramebuffer.Surface());
  if (FFramebuffer.Width() != before.Width || FFramebuffer.Height() != before.Height)
    FDevice.DamageAll();
  TWinControl::SetBounds(left, top, width, height);
}

void TForm::Paint() {
  if (OnPaint)
    OnPaint(this);
}

void TForm::KeyDown(WORD &key, TShiftState shift) {
  if (OnKeyDown)
    OnKeyDown(this, key, shift);
}

void TForm::KeyUp(WORD &key, TShiftState shift) {
  if (OnKeyUp)
    OnKeyUp(this, key, shift);
}

int TForm::ProcessPaints() {
  if (!FPaintsPending || !Visible())
    return 0;
  FPaintsPending = false;
  TPaintPass pass;
  RunPaintPass(pass);
  return pass.Count;
}

void TForm::RepaintControl(TControl &control) {
  TPaintPass pass;
  pass.Only = &control;
  RunPaintPass(pass);
}

void TForm::RunPaintPass(TPaintPass &pass) {
  AddObserver(&pass);
  PaintVisit(*this, pass);
  // A form freed by a Paint has let go of its observers already, and must not be touched.
  if (!pass.FormGone)
    RemoveObserver(&pass);
}

void TForm::PaintVisit(TControl &control, TPaintPass &pass) {
  if (!control.FVisible)
    return;
  const std::size_t depth = pass.Path.size();
  pass.Path.push_back(&control);
  PaintAndDescend(control, pass, depth);
  pass.Path.pop_back();
  // Once off the path, a control that left no longer stops the walk of its former siblings.
  if (pass.Cut == depth)
    pass.Cut = TPaintPass::NoCut;
}

void TForm::PaintAndDescend(TControl &control, TPaintPass &pass, std::size_t depth) {
  const TRect r = control.FFormClip;
  const bool asked = pass.Only ? &control == pass.Only : control.FPaintPending;
  const bool due = (asked || pass.Overlaps(r)) && !r.IsEmpty();
  // A repaint of one control leaves the others' requests for the host.
  if (due || !pass.Only)
    control.FPaintPending = false;
  if (due) {
    pass.Add(r);
    ++pass.Count;
    if (control.IsWindowed() && !control.FControlStyle.Contains(csOpaque))
      EraseBackground(control, pass);
    control.Paint();
    if (pass.Left(depth))
      return;
  }
  if (!control.IsWindowed())
    return;
  // Indices, not iterators: a Paint may add or remove controls. After a child's visit the walk
  // goes on after wherever that child now is, or at its old place when it left.
  const auto &children = static_cast<TWinControl &>(control).FControls;
  for (bool windowed : {false, true})
    for (std::size_t i = 0; i < children.size();) {
      TControl *child = children[i];
      if (child->IsWindowed() == windowed)
        PaintVisit(*child, pass);
      if (pass.Left(depth))
        return;
      if (i < children.size() && children[i] == child)
        ++i;
      else if (const auto at = std::find(children.begin(), children.end(), child); at != children.end())
        i = static_cast<std::size_t>(at - children.begin()) + 1;
    }
}

void TForm::EraseBackground(TControl &control, TPaintPass &pass) {
  // Windowed children are windows of their own that paint their whole area, so the background
  // under them is left alone, as the platform's clipping of children does.
  pass.Pieces.assign(1, control.FFormClip);
  for (const TControl *child : static_cast<TWinControl &>(control).FControls)
    if (child->IsWindowed() && child->FVisible && !child->FFormClip.IsEmpty())
      Subtract(pass.Pieces, pass.Scratch, child->FFormClip);
  TDrawState state;
  state.Brush = {control.FColor, bsSolid};
  for (const TRect &piece : pass.Pieces) {
    state.Clip = piece;
    FDevice.FillRect(state, piece);
  }
}

TControl *TForm::ControlAt(TPoint formPoint) const {
  if (!Visible() || !Contains(FFormClip, formPoint))
    return nullptr;
  const TWinControl *window = this;
  for (;;) {
    const auto &children = window->FControls;
    const auto hit = [&](bool windowed) -> TControl * {
      for (auto it = children.rbegin(); it != children.rend(); ++it)
        if ((*it)->IsWindowed() == windowed && (*it)->FVisible && Contains((*it)->FFormClip, formPoint))
          return *it;
      return nullptr;
    };
    if (TControl *w = hit(true)) {
      window = static_cast<const TWinControl *>(w);
      continue;
    }
    if (TControl *g = hit(false))
      return g;
    return const_cast<TWinControl *>(window);
  }
}

void TForm::AddObserver(TFormObserver *observer) {
  if (observer && std::find(FObservers.begin(), FObservers.end(), observer) == FObservers.end())
    FObservers.push_back(observer);
}

void TForm::RemoveObserver(TFormObserver *observer) { std::erase(FObservers, observer); }

void TForm::ControlLeaving(TControl &control) {
  const std::vector<TFormObserver *> observers = FObservers;
  for (TFormObserver *o : observers)
    o->ControlRemoved(control);
}

} // namespace Platform
