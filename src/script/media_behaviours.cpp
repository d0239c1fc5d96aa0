// SPDX-License-Identifier: MIT
#include "script/media_behaviours.h"

#include "base/nova_error.h"
#include "base/nova_error_english.h"
#include "scene/component_factory.h"
#include "scene/kinds/media_kinds.h"
#include "scene/kinds/timer_kinds.h"
#include "scene/nova_base_list.h"
#include "script/call_man.h"
#include "script/commands/scene_commands.h"
#include "script/component_texts.h"
#include "script/private/component_eval.h"

namespace nova {
namespace {

class TMovieStopBehaviour final : public ICommandBehaviour {
public:
  explicit TMovieStopBehaviour(TNovaBaseList& scene) : scene_(scene) {}

  void Start(TCommand& c, TCallMan& cm) const override {
    auto& cmd = CommandAs<TComMovieStop>(c);
    TParamCollection& vars = cm.vars();
    TMovieStopState& state = cmd.running;
    state = TMovieStopState{};
    state.no_events = FlagOf(cmd.no_events, vars);
    const std::string name = TextOf(cmd.object, vars);
    TNovaObject* obj = name.empty() ? nullptr : scene_.FindByName(name);
    if (!obj)
      return;
    const TCustomParam* fade_value = ValueOf(cmd.fade_ms, vars);
    const int32_t fade = fade_value ? fade_value->AsInt() : 0;
    auto* media = dynamic_cast<IMediaComponent*>(obj);
    if (fade > 0) {
      // Only media that play and can be found fade out; anything else has nothing to wait for.
      if (media &&
          MediaSourceAvailable(ServicesOf(obj->Owner()).media.library, media->MediaSource()) &&
          (media->PlayState() == kPlayNow || media->PlayState() == kPlayFadeIn)) {
        obj->SetProp(PR_DELAY, TPropValue::Int(fade));
        media->SetPlayState(kPlayFadeOut);
        // A fading sound takes a new name; the wait follows it.
        state.target = obj->IsPendingDelete() ? std::string() : obj->GetName();
      }
    } else {
      if (media)
        media->SetPlayState(kPlayStop);
      obj->FreeLater();
    }
    if (const TCustomParam* wait = ValueOf(cmd.wait, vars))
      state.waiting = wait->AsFlag();
  }

  void Run(TCommand& c, TCallMan& cm) const override {
    const TMovieStopState& state = CommandAs<TComMovieStop>(c).running;
    if (!state.waiting || state.target.empty() || !scene_.FindByName(state.target))
      cm.set_pc(cm.pc() + 1);
  }

  bool Yields(const TCommand& c) const override {
    return CommandAs<TComMovieStop>(c).running.waiting;
  }

  bool BlocksEvents(const TCommand& c) const override {
    return CommandAs<TComMovieStop>(c).running.no_events;
  }

private:
  TNovaBaseList& scene_;
};

class TPropMotionBehaviour final : public ICommandBehaviour {
public:
  explicit TPropMotionBehaviour(TNovaBaseList& scene) : scene_(scene) {}

  void Run(TCommand& c, TCallMan& cm) const override {
    auto& cmd = CommandAs<TComPropMotion>(c);
    TParamCollection& vars = cm.vars();
    cm.set_pc(cm.pc() + 1);
    auto* motion = CreateComponent<TNovaPropMotion>(&scene_);
    if (const std::string name = TextOf(cmd.name, vars); !name.empty())
      motion->SetName(name);
    if (const std::string target = TextOf(cmd.target, vars); !target.empty())
      motion->SetTarget(target);
    const TCustomParam* id = ValueOf(cmd.prop_id, vars);
    if (!id)
      throw ENovaErrorWithEnglish(InvalidPropertyText(),
                                  "The property motion's property number expression gives no "
                                  "value.");
    motion->SetPropId(id->AsInt());
    if (const TCustomParam* v = ValueOf(cmd.end_value, vars))
      motion->SetEndValue(v->AsReal());
    if (const TCustomParam* v = ValueOf(cmd.duration_ms, vars))
      motion->SetDuration(v->AsInt());
    if (const TCustomParam* v = ValueOf(cmd.curve, vars))
      motion->SetCurve(v->AsInt());
    if (const TCustomParam* v = ValueOf(cmd.paused, vars))
      motion->SetPaused(v->AsFlag());
  }

private:
  TNovaBaseList& scene_;
};

} // namespace

std::unique_ptr<ICommandBehaviour> NewMovieStopBehaviour(TNovaBaseList& scene) {
  return std::make_unique<TMovieStopBehaviour>(scene);
}

std::unique_ptr<ICommandBehaviour> NewPropMotionBehaviour(TNovaBaseList& scene) {
  return std::make_unique<TPropMotionBehaviour>(scene);
}

} // namespace nova
