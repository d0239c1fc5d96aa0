// SPDX-License-Identifier: MIT
// Flip: the back layer becomes the front layer, optionally through a transition over the
// following frames, with a snapshot of the old picture and components carried over.
#include <algorithm>

#include "base/run_state.h"
#include "graphics/dibx.h"
#include "scene/component_factory.h"
#include "scene/kinds/all_kinds.h"
#include "script/call_man.h"
#include "script/commands/scene_commands.h"
#include "script/private/component_eval.h"

namespace nova {
namespace {

// The snapshot of the old picture: a system component that sorts above everything.
const std::string kSnapshot("\x01\x01", 2);
constexpr int kLastTransitionKind = 38;

// Phases of a running flip: the transition is created in the start, its clock starts one
// frame later, it runs while its time lasts, and the finish swaps the layers.
enum TFlipPhase : int32_t { kCreated = 0, kClockDue = 1, kRunning = 2 };
static_assert(TFlipState::kFlipFinish == 3);

class TFlipBehaviour final : public ICommandBehaviour {
public:
  explicit TFlipBehaviour(TNovaBaseList& scene) : scene_(scene) {}

  void Start(TCommand& c, TCallMan& cm) const override {
    auto& cmd = CommandAs<TComFlip>(c);
    TParamCollection& vars = cm.vars();
    TFlipState& run = cmd.running;
    run.phase = kCreated;
    const TCustomParam* kind_value = ValueOf(cmd.kind, vars);
    int kind = kind_value ? kind_value->AsInt() & 0xFF : 0;
    if (kind > kLastTransitionKind)
      kind = 0;
    const TCustomParam* duration_value = ValueOf(cmd.duration_ms, vars);
    const int32_t duration_read = duration_value ? duration_value->AsInt() : 0;
    run.yields = duration_value && duration_read > 0;
    TTransitionOptions options;
    options.reverse = FlagOf(cmd.transition_flag, vars);
    run.no_events = FlagOf(cmd.no_events, vars);
    run.delete_old = FlagOf(cmd.delete_old, vars);
    const TCustomParam* keep = ValueOf(cmd.keep_mode, vars);
    const std::vector<std::string> names = NamesOf(cmd.names, vars);
    if (keep) {
      if (!run.yields)
        run.phase = TFlipState::kFlipFinish;
      else
        Snapshot(keep->AsInt(), names);
    }
    if (run.phase == TFlipState::kFlipFinish)
      return;
    if (const TCustomParam* p = ValueOf(cmd.param1, vars))
      options.param0 = p->AsInt();
    if (const TCustomParam* p = ValueOf(cmd.param2, vars))
      options.param1 = p->AsInt();
    if (const TCustomParam* source = ValueOf(cmd.source, vars))
      options.mask_name = source->AsStr();
    scene_.SetFront(scene_.FrontIndex(), kind, options, true, 0, std::max(1, duration_read));
  }

  void Run(TCommand& c, TCallMan& cm) const override {
    TFlipState& run = CommandAs<TComFlip>(c).running;
    switch (run.phase) {
    case kCreated:
      run.phase = kClockDue;
      return;
    case kClockDue:
      run.start_ms = RunState().GameClock;
      run.phase = kRunning;
      return;
    case kRunning: {
      const int64_t elapsed = RunState().GameClock - run.start_ms;
      if (elapsed < scene_.TransitionDuration()) {
        scene_.SetTransitionStep(static_cast<int32_t>(elapsed));
        return;
      }
      break;
    }
    default:
      break;
    }
    Finish(run, TDeleteCabinets::No);
    cm.set_pc(cm.pc() + 1);
  }

  void Abort(TCommand& c, TCallMan&) const override {
    Finish(CommandAs<TComFlip>(c).running, TDeleteCabinets::Yes);
  }

  bool Yields(const TCommand& c) const override { return CommandAs<TComFlip>(c).running.yields; }

  bool BlocksEvents(const TCommand& c) const override {
    return CommandAs<TComFlip>(c).running.no_events;
  }

private:
  enum class TDeleteCabinets { No, Yes };

  // The old picture on top of the front layer, and the components that the keep rule carries
  // moved to the back layer under it. Mode 1 carries the named components, mode 0 the others,
  // any other mode none.
  void Snapshot(int32_t mode, const std::vector<std::string>& names) const {
    scene_.DrawStep();
    auto* shot = CreateComponent<TNovaImage>(&scene_);
    shot->SetNameRaw(kSnapshot);
    TDIBX& own = shot->OwnSurface();
    TCustomDIBX* screen = scene_.ScreenSurface();
    own.SetSize(scene_.SceneWidth(), scene_.SceneHeight(), screen ? screen->BitCount() : 32);
    own.SetTransparentColor(-1);
    if (screen && !screen->IsEmpty()) {
      own.ResetClip();
      own.Draw(0, 0, FlipNone, TKeyMode::Ignore, screen->Bounds(), *screen);
    }
    shot->SetBounds(0, 0, own.Width(), own.Height());
    shot->SetParent(scene_.Front());
    shot->SetVisible(true);
    const std::vector<TNovaControl*> children = scene_.Front()->Children();
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
      if (*it == shot)
        continue;
      const bool listed = Listed(names, (*it)->GetName());
      if ((mode == 1 && listed) || (mode == 0 && !listed))
        (*it)->SetParent(scene_.Back());
    }
  }

  // The back layer comes to the front; the snapshot goes, and with delete-old the old front
  // layer's components (cabinets only when the flip is abandoned).
  void Finish(TFlipState& run, TDeleteCabinets cabinets) const {
    run.phase = TFlipState::kFlipFinish;
    run.yields = false;
    scene_.SetFront(scene_.FrontIndex() ^ 1, 0, {}, true, 0, 0);
    // Found by name, so that the snapshot of a flip restored from a save goes as well.
    if (TNovaControl* shot = scene_.FindControl(kSnapshot))
      shot->FreeLater();
    if (!run.delete_old)
      return;
    for (TNovaControl* child : scene_.Back()->Children())
      if (cabinets == TDeleteCabinets::Yes || !child->IsCabinet())
        child->FreeLater();
  }

  TNovaBaseList& scene_;
};

} // namespace

std::unique_ptr<ICommandBehaviour> NewFlipBehaviour(TNovaBaseList& scene) {
  return std::make_unique<TFlipBehaviour>(scene);
}

} // namespace nova
