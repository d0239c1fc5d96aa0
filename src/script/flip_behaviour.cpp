// SPDX-License-Identifier: MIT
// Flip: the back layer becomes the front layer, optionally through a transition over the
// following frames, with a snapshot of the old picture and components carried over.
#include <algorithm>
#include <unordered_map>

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

// A flip in progress. A flip restored from a save has none and finishes at its first run.
struct TFlipRun {
  int state = 3;
  int64_t start_ms = 0;
  bool yields = false;
  TNovaObject* snapshot = nullptr;
};

class TFlipBehaviour final : public ICommandBehaviour {
public:
  explicit TFlipBehaviour(TNovaBaseList& scene) : scene_(scene) {}

  void Start(TCommand& c, TCallMan& cm) const override {
    auto& cmd = CommandAs<TComFlip>(c);
    TParamCollection& vars = cm.vars();
    TFlipRun run;
    run.state = 0;
    const TCustomParam* kind_value = ValueOf(cmd.kind, vars);
    int kind = kind_value ? kind_value->AsInt() & 0xFF : 0;
    if (kind > kLastTransitionKind)
      kind = 0;
    const TCustomParam* duration_value = ValueOf(cmd.duration_ms, vars);
    const int32_t duration_read = duration_value ? duration_value->AsInt() : 0;
    const int32_t duration = std::max(1, duration_read);
    run.yields = duration_value && duration_read > 0;
    // Evaluated for what the expression does; the scene's transitions take no such flag.
    FlagOf(cmd.transition_flag, vars);
    cmd.running.no_events = FlagOf(cmd.no_events, vars);
    cmd.running.delete_old = FlagOf(cmd.delete_old, vars);
    const TCustomParam* keep = ValueOf(cmd.keep_mode, vars);
    const int32_t mode = keep ? keep->AsInt() : -1;
    const std::vector<std::string> names = NamesOf(cmd.names, vars);
    if (keep) {
      if (!run.yields)
        run.state = 3;
      else
        run.snapshot = Snapshot(mode, names);
    }
    if (run.state != 3) {
      const TCustomParam* source = ValueOf(cmd.source, vars);
      // Evaluated as scripts expect; the scene's transition interface takes no parameters.
      ValueOf(cmd.param1, vars);
      ValueOf(cmd.param2, vars);
      scene_.SetFront(scene_.FrontIndex(), kind, source ? source->AsStr() : std::string(), true, 0,
                      duration);
    }
    runs_[&c] = run;
  }

  void Run(TCommand& c, TCallMan& cm) const override {
    TFlipRun& run = runs_[&c];
    switch (run.state) {
    case 0:
      run.state = 1;
      return;
    case 1:
      run.start_ms = RunState().GameClock;
      run.state = 2;
      return;
    case 2: {
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
    Finish(c, CommandAs<TComFlip>(c).running.delete_old, TDeleteCabinets::No);
    cm.set_pc(cm.pc() + 1);
  }

  void Abort(TCommand& c, TCallMan&) const override {
    Finish(c, CommandAs<TComFlip>(c).running.delete_old, TDeleteCabinets::Yes);
  }

  bool Yields(const TCommand& c) const override {
    auto it = runs_.find(&c);
    return it != runs_.end() && it->second.yields;
  }

  bool BlocksEvents(const TCommand& c) const override {
    return CommandAs<TComFlip>(c).running.no_events;
  }

private:
  enum class TDeleteCabinets { No, Yes };

  // The old picture on top of the front layer, and the components that the keep rule carries
  // moved to the back layer under it.
  TNovaObject* Snapshot(int32_t mode, const std::vector<std::string>& names) const {
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
    return shot;
  }

  void Finish(TCommand& c, bool delete_old, TDeleteCabinets cabinets) const {
    TFlipRun run = runs_[&c];
    runs_.erase(&c);
    scene_.SetFront(scene_.FrontIndex() ^ 1, 0, std::string(), true, 0, 0);
    if (run.snapshot && scene_.IsAlive(run.snapshot))
      run.snapshot->FreeLater();
    if (!delete_old)
      return;
    for (TNovaControl* child : scene_.Back()->Children())
      if (cabinets == TDeleteCabinets::Yes || !child->IsCabinet())
        child->FreeLater();
  }

  TNovaBaseList& scene_;
  mutable std::unordered_map<const TCommand*, TFlipRun> runs_;
};

} // namespace

std::unique_ptr<ICommandBehaviour> NewFlipBehaviour(TNovaBaseList& scene) {
  return std::make_unique<TFlipBehaviour>(scene);
}

} // namespace nova
