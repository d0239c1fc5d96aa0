// SPDX-License-Identifier: MIT
// How a track gets the component it drives (inside the film folder only).
#pragma once
#include "scene/component_factory.h"
#include "scene/films/film_manager.h"
#include "scene/films/film_tracks.h"

namespace nova {

// The motion's target, or the track's own component of class T, made when missing (named as
// an internal object and placed in its page).
template <class T> T* TCustomFrameList::Ensure() {
  CheckAlive();
  if (!component_) {
    TNovaBaseList* scene = film_.Scene();
    if (!scene)
      return nullptr;
    auto* c = CreateComponent<T>(scene);
    c->SetNameRaw(scene->UniqueName(film_.NamePrefix()));
    component_ = c;
    fresh_ = true;
    PlaceInPage();
  }
  return static_cast<T*>(component_);
}

// Short forms of the property writes the tracks make.
inline void SetInt(TNovaObject& c, int id, int32_t v) { c.SetProp(id, TPropValue::Int(v)); }
inline void SetReal(TNovaObject& c, int id, long double v) { c.SetProp(id, TPropValue::Real(v)); }
inline void SetFlag(TNovaObject& c, int id, bool v) { c.SetProp(id, TPropValue::Flag(v)); }
inline void SetStr(TNovaObject& c, int id, const std::string& v) {
  c.SetProp(id, TPropValue::Str(v));
}
inline void SetClip(TNovaObject& c, const TFilmClip& clip) {
  SetInt(c, PR_CLIPLEFT, clip.left);
  SetInt(c, PR_CLIPTOP, clip.top);
  SetInt(c, PR_CLIPWIDTH, clip.width);
  SetInt(c, PR_CLIPHEIGHT, clip.height);
}

} // namespace nova
