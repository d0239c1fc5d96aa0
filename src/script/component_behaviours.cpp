// SPDX-License-Identifier: MIT
// Creating components and applying their property expressions; the property, delete and
// media commands.
#include "script/component_behaviours.h"

#include <array>

#include "base/nova_error.h"
#include "base/nova_error_english.h"
#include "expr/param_collection.h"
#include "expr/params.h"
#include "scene/component_factory.h"
#include "scene/kinds/all_kinds.h"
#include "scene/prop_params.h"
#include "scene/prop_table.h"
#include "script/call_man.h"
#include "script/commands/component_commands.h"
#include "script/commands/scene_commands.h"
#include "script/component_texts.h"
#include "script/media_behaviours.h"
#include "script/private/component_eval.h"
#include "script/select_behaviours.h"
#include "script/text_behaviours.h"

namespace nova {
namespace {

// The order in which a creating command applies its property expressions.
std::vector<int> ApplyOrder() {
  std::vector<int> order = {PR_NAME,
                            PR_PARENT,
                            PR_SOURCE,
                            PR_FLOATZOOMX,
                            PR_ZOOMX,
                            PR_FLOATZOOMY,
                            PR_ZOOMY,
                            PR_POSZOOMED,
                            PR_WIDTH,
                            PR_HEIGHT,
                            PR_LEFT,
                            PR_TOP,
                            PR_COLOR,
                            PR_BARSIZE,
                            PR_BORDERWIDTH,
                            PR_BORDERCOLOR,
                            PR_ALPHA,
                            PR_PRIORITY,
                            PR_OFFSETX,
                            PR_OFFSETY,
                            PR_PLUSX,
                            PR_PLUSY,
                            PR_FONTNAME,
                            PR_FONTHEIGHT,
                            PR_FONTSTYLE,
                            PR_LINESPACE,
                            PR_FONTCOLOR,
                            PR_FONTLINKCOLOR,
                            PR_FONTBORDERCOLOR,
                            PR_FONTHOVERCOLOR,
                            PR_FONTHOVERSTYLE,
                            PR_HOVERCOLOR,
                            PR_FONTHOVERBORDER,
                            PR_FONTHOVERBORDERCOLOR,
                            PR_FONTHOVERSHADOW,
                            PR_FONTHOVERSHADOWCOLOR,
                            PR_ANTIALIAS,
                            PR_DELAY,
                            PR_FONTCHANGEABLED,
                            PR_PAUSED,
                            PR_VOLUME,
                            PR_REPEAT,
                            PR_REPEATPOS,
                            PR_BALANCE,
                            PR_FLOATANGLE,
                            PR_ANGLE};
  for (int id = 32; id <= 79; ++id)
    order.push_back(id);
  order.push_back(PR_CARETHEIGHT);
  for (int id = 80; id <= 98; ++id)
    order.push_back(id);
  order.push_back(PR_IMEMODE);
  order.push_back(PR_CURSOR);
  for (int id = 101; id <= 131; ++id)
    order.push_back(id);
  for (int id = 133; id <= 152; ++id)
    order.push_back(id);
  for (int id : {PR_MUTEONLOAD, PR_BLURSPAN, PR_BLURDELAY})
    order.push_back(id);
  return order;
}

// Carried by the records but never applied.
bool NeverApplied(int id) {
  switch (id) {
  case PR_CARETX:
  case PR_CARETY:
  case PR_CARETHEIGHT:
  case PR_APPEARX:
  case PR_APPEARY:
  case PR_PLAYING:
  case PR_COMPOTYPE:
  case PR_PLUSX:
  case PR_PLUSY:
    return true;
  default:
    return false;
  }
}

// The value a property takes when its expression yields nothing.
TPropValue NoValueDefault(int id) {
  switch (id) {
  case PR_COLOR:
  case PR_BORDERCOLOR:
  case PR_HOVERCOLOR:
    return TPropValue::Int(-1);
  case PR_ALPHA:
    return TPropValue::Int(255);
  case PR_FONTHEIGHT:
    return TPropValue::Int(16);
  case PR_VOLUME:
    return TPropValue::Int(1000);
  case PR_VISIBLE:
  case PR_OVERLAY:
  case PR_FONTCHANGEABLED:
    return TPropValue::Flag(true);
  case PR_COLCOUNT:
  case PR_ROWCOUNT:
  case PR_AMP:
  case PR_SMALLCHANGE:
  case PR_LARGECHANGE:
  case PR_GLYPHWIDTH:
  case PR_GLYPHHEIGHT:
    return TPropValue::Int(1);
  case PR_TEXTDELAY:
    return TPropValue::Int(256);
  case PR_WAVELEN:
    return TPropValue::Int(100);
  case PR_IMEMODE:
    return TPropValue::Int(3);
  case PR_FLOATZOOMX:
  case PR_FLOATZOOMY:
    return TPropValue::Real(1.0L);
  default: {
    TPropValue v;
    v.type = PropInfo(id).type;
    return v;
  }
  }
}

uint8_t KindOf(TCommandId id) {
  switch (id) {
  case TCommandId::BoxNew:
    return LT_BOX;
  case TCommandId::ImgNew:
    return LT_IMAGES;
  case TCommandId::MesNew:
    return LT_MES;
  case TCommandId::Timer:
    return LT_TIMER;
  case TCommandId::Movie:
    return LT_VIDEO;
  case TCommandId::Cinema:
    return LT_CINEMA;
  case TCommandId::Caption:
    return LT_LABEL;
  case TCommandId::Menu:
    return LT_MENU;
  case TCommandId::Button:
    return LT_BUTTON;
  case TCommandId::ParticleNew:
    return LT_PARTICLE;
  case TCommandId::FireNew:
    return LT_FIRE;
  case TCommandId::Sound:
    return LT_SOUND;
  case TCommandId::EditNew:
    return LT_EDIT;
  case TCommandId::MemoNew:
    return LT_MEMO;
  case TCommandId::MapImgNew:
    return LT_MAPIMG;
  case TCommandId::WaveNew:
    return LT_WAVE;
  case TCommandId::TileNew:
    return LT_TILE;
  case TCommandId::SliderNew:
    return LT_SLIDER;
  case TCommandId::ScrollbarNew:
    return LT_SCROLLBAR;
  case TCommandId::GaugeNew:
    return LT_GAUGE;
  case TCommandId::CGCaption:
    return LT_CGLABEL;
  case TCommandId::PrevMenuNew:
    return LT_PREVMENU;
  default:
    return LT_NONE;
  }
}

constexpr TCommandId kCreating[] = {
    TCommandId::BoxNew,    TCommandId::ImgNew,      TCommandId::MesNew,       TCommandId::Timer,
    TCommandId::Movie,     TCommandId::Cinema,      TCommandId::Caption,      TCommandId::Menu,
    TCommandId::Button,    TCommandId::ParticleNew, TCommandId::FireNew,      TCommandId::Sound,
    TCommandId::EditNew,   TCommandId::MemoNew,     TCommandId::MapImgNew,    TCommandId::WaveNew,
    TCommandId::TileNew,   TCommandId::SliderNew,   TCommandId::ScrollbarNew, TCommandId::GaugeNew,
    TCommandId::CGCaption, TCommandId::PrevMenuNew};

} // namespace

void ApplyPropExprs(TPropExprs& props, TNovaObject& obj, TNovaBaseList& scene,
                    TParamCollection& vars) {
  static const std::vector<int> order = ApplyOrder();
  for (int id : order) {
    TCommandExpr* e = props.Find(id);
    if (!e || NeverApplied(id))
      continue;
    const TCustomParam* value = ValueOf(*e, vars);
    switch (id) {
    case PR_NAME:
      if (value && !value->AsStr().empty())
        obj.SetName(value->AsStr());
      continue;
    case PR_PARENT:
      if (TNovaControl* c = obj.AsControl()) {
        const std::string name = value ? value->AsStr() : std::string();
        TNovaControl* parent = name.empty() ? nullptr : scene.FindControl(name);
        c->SetParent(parent ? parent : scene.Front());
      }
      continue;
    case PR_ZOOMX:
    case PR_ZOOMY:
    case PR_ANGLE:
      if (!value)
        continue;
      break;
    case PR_LEFT:
      // A picture sized by its zoom takes its size from the source before it is placed.
      if (auto* image = dynamic_cast<TNovaCustomImage*>(&obj);
          image && image->SizeFollowsZoom() && image->FloatZoomX() != 0 && image->FloatZoomY() != 0)
        image->SizeFromZoom();
      break;
    default:
      break;
    }
    if (value)
      SetPropFrom(obj, id, *value);
    else
      obj.SetProp(id, NoValueDefault(id));
  }
}

TNovaObject* CreateFromCommand(TComponentCommand& cmd, TNovaBaseList& scene,
                               TParamCollection& vars) {
  TNovaObject* obj = CreateByKind(&scene, KindOf(cmd.Id()));
  if (!obj)
    return nullptr;
  if (cmd.Id() == TCommandId::ImgNew)
    if (const TCommandExpr* delay = cmd.props.Find(PR_DELAY))
      static_cast<TNovaImages*>(obj)->SetLastFrameWait(delay->parser);
  if (cmd.Id() == TCommandId::ParticleNew) {
    const TNovaParser none;
    const auto kept = [&cmd, &none](int id) -> const TNovaParser& {
      const TCommandExpr* e = cmd.props.Find(id);
      return e ? e->parser : none;
    };
    static_cast<TNovaParticle*>(obj)->SetExpressions(kept(PR_APPEARX), kept(PR_APPEARY),
                                                     kept(PR_DELAY));
  }
  ApplyPropExprs(cmd.props, *obj, scene, vars);
  // Media start now, or after their delay when they have one (the kind decides).
  if (cmd.Id() == TCommandId::Movie || cmd.Id() == TCommandId::Sound)
    obj->Play();
  if (cmd.Id() == TCommandId::Menu)
    OpenCreatedMenu(*obj);
  return obj;
}

namespace {

class TCreate final : public ICommandBehaviour {
public:
  explicit TCreate(TNovaBaseList& scene) : scene_(scene) {}
  void Run(TCommand& cmd, TCallMan& cm) const override {
    cm.set_pc(cm.pc() + 1);
    CreateFromCommand(CommandAs<TComponentCommand>(cmd), scene_, cm.vars());
  }

private:
  TNovaBaseList& scene_;
};

// The component an object expression names; an empty name is the front layer.
TNovaObject* Named(TCommandExpr& e, TNovaBaseList& scene, TParamCollection& vars) {
  return scene.FindByName(TextOf(e, vars));
}

int32_t PropIdOf(TCommandExpr& e, TParamCollection& vars) {
  const TCustomParam* id = ValueOf(e, vars);
  if (!id)
    throw ENovaErrorWithEnglish(InvalidPropertyText(),
                                "The command's property number expression gives no value.");
  return id->AsInt();
}

class TGetProp final : public ICommandBehaviour {
public:
  explicit TGetProp(TNovaBaseList& scene) : scene_(scene) {}
  void Run(TCommand& c, TCallMan& cm) const override {
    auto& cmd = CommandAs<TComGetProp>(c);
    cm.set_pc(cm.pc() + 1);
    TNovaObject* obj = Named(cmd.object, scene_, cm.vars());
    if (!obj)
      return;
    const int32_t id = PropIdOf(cmd.prop_id, cm.vars());
    if (cmd.var_name.empty())
      return;
    if (TParamCollectionItem* var = cm.vars().Find(cmd.var_name); var && var->Value())
      GetPropInto(*obj, id, *var->Value());
  }

private:
  TNovaBaseList& scene_;
};

class TSetProp final : public ICommandBehaviour {
public:
  explicit TSetProp(TNovaBaseList& scene) : scene_(scene) {}
  void Run(TCommand& c, TCallMan& cm) const override {
    auto& cmd = CommandAs<TComSetProp>(c);
    cm.set_pc(cm.pc() + 1);
    TNovaObject* obj = Named(cmd.object, scene_, cm.vars());
    if (!obj)
      return;
    const int32_t id = PropIdOf(cmd.prop_id, cm.vars());
    if (const TCustomParam* value = ValueOf(cmd.value, cm.vars()))
      SetPropFrom(*obj, id, *value);
  }

private:
  TNovaBaseList& scene_;
};

// ObjDel and MediaPlay: a non-empty name that finds a component.
template <class Record, void (*Act)(TNovaObject&)>
class TNamedAction final : public ICommandBehaviour {
public:
  explicit TNamedAction(TNovaBaseList& scene) : scene_(scene) {}
  void Run(TCommand& c, TCallMan& cm) const override {
    auto& cmd = CommandAs<Record>(c);
    cm.set_pc(cm.pc() + 1);
    const std::string name = TextOf(cmd.object, cm.vars());
    if (name.empty())
      return;
    if (TNovaObject* obj = scene_.FindByName(name))
      Act(*obj);
  }

private:
  TNovaBaseList& scene_;
};

void Delete(TNovaObject& obj) { obj.FreeLater(); }
void Replay(TNovaObject& obj) { obj.Play(); }

} // namespace

TComponentBehaviours::TComponentBehaviours(TNovaBaseList& scene) {
  for (TCommandId id : kCreating)
    behaviours_.emplace_back(id, std::make_unique<TCreate>(scene));
  behaviours_.emplace_back(TCommandId::GetProp, std::make_unique<TGetProp>(scene));
  behaviours_.emplace_back(TCommandId::SetProp, std::make_unique<TSetProp>(scene));
  behaviours_.emplace_back(TCommandId::ObjDel,
                           std::make_unique<TNamedAction<TComObjDel, Delete>>(scene));
  behaviours_.emplace_back(TCommandId::MediaPlay,
                           std::make_unique<TNamedAction<TComMediaPlay, Replay>>(scene));
  behaviours_.emplace_back(TCommandId::SaveCabinet, NewCabinetBehaviour(scene, true));
  behaviours_.emplace_back(TCommandId::LoadCabinet, NewCabinetBehaviour(scene, false));
  behaviours_.emplace_back(TCommandId::Flip, NewFlipBehaviour(scene));
  behaviours_.emplace_back(TCommandId::MovieStop, NewMovieStopBehaviour(scene));
  behaviours_.emplace_back(TCommandId::PropMotion, NewPropMotionBehaviour(scene));
  behaviours_.emplace_back(TCommandId::MenuClose, NewMenuCloseBehaviour(scene));
  for (TCommandId id : {TCommandId::TextIns, TCommandId::TextClr, TCommandId::CallHist,
                        TCommandId::FormatHist, TCommandId::ClrHist, TCommandId::ClrRead})
    behaviours_.emplace_back(id, NewTextBehaviour(id, scene));
}

TComponentBehaviours::~TComponentBehaviours() = default;

void TComponentBehaviours::Register(TCallMan& cm) const {
  for (const auto& [id, b] : behaviours_)
    cm.SetBehaviour(id, b.get());
}

const ICommandBehaviour* TComponentBehaviours::Of(TCommandId id) const {
  for (const auto& [kind, b] : behaviours_)
    if (kind == id)
      return b.get();
  return nullptr;
}

} // namespace nova
