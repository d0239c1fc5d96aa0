// SPDX-License-Identifier: MIT
// Groups of property rows that several kinds share, declared once. A kind that uses a group
// offers the accessors the group names; how it stores and repaints stays its own.
#pragma once
#include <array>
#include <numbers>

#include "scene/prop_rows.h"

namespace nova::props {

// Zoom as a real and in 1/256 steps. T offers FloatZoomX/Y and SetFloatZoomX/Y; ZoomX/Y are
// read as T's own, not a subclass's.
template <class T> constexpr std::array<TPropRow, 4> ZoomRows() {
  return {
      Access<&T::FloatZoomX, &T::SetFloatZoomX>(PR_FLOATZOOMX, peGeometry),
      Access<&T::FloatZoomY, &T::SetFloatZoomY>(PR_FLOATZOOMY, peGeometry),
      Custom<T>(
          PR_ZOOMX, peGeometry, [](const T& o) { return TPropValue::Int(o.T::ZoomX()); },
          [](T& o, const TPropValue& v) { o.SetFloatZoomX(v.i / 256.0L); }),
      Custom<T>(
          PR_ZOOMY, peGeometry, [](const T& o) { return TPropValue::Int(o.T::ZoomY()); },
          [](T& o, const TPropValue& v) { o.SetFloatZoomY(v.i / 256.0L); }),
  };
}

// Zoom, angle (radians and 1/255 turns) and mirroring. T offers what ZoomRows asks for and
// Angle/SetAngle, AngleSteps and SetFlipH/V; FlipH/V are read as T's own.
template <class T> constexpr std::array<TPropRow, 8> TransformRows() {
  constexpr long double kTurn = 2 * std::numbers::pi_v<long double>;
  return JoinRows(
      ZoomRows<T>(),
      std::array{
          Access<&T::Angle, &T::SetAngle>(PR_FLOATANGLE, peGeometry),
          Custom<T>(
              PR_ANGLE, peGeometry, [](const T& o) { return TPropValue::Int(o.AngleSteps()); },
              [](T& o, const TPropValue& v) { o.SetAngle(v.i / 255.0L * kTurn); }),
          Custom<T>(
              PR_FLIPH, peGeometry, [](const T& o) { return TPropValue::Flag(o.T::FlipH()); },
              [](T& o, const TPropValue& v) { o.SetFlipH(v.f); }),
          Custom<T>(
              PR_FLIPV, peGeometry, [](const T& o) { return TPropValue::Flag(o.T::FlipV()); },
              [](T& o, const TPropValue& v) { o.SetFlipV(v.f); }),
      });
}

// What sounds and videos share: the file, fades, volume, balance, repetition, position and
// length, the play-end handler and the flags for loading saved data. T offers the fields
// source_, fade_ms_, volume_, balance_, repeat_, play_end_handler_, auto_scrap_,
// rewind_on_load_, mute_on_load_ and item_, and SetSource, SetVolume, SetBalance, SetRepeat,
// SetIndex and Length; it names this group a friend.
template <class T> struct MediaGroup {
  static constexpr std::array<TPropRow, 12> Rows() {
    return {
        Stored<&T::source_, &T::SetSource>(PR_SOURCE, peGeometry),
        Field<&T::fade_ms_>(PR_DELAY),
        Stored<&T::volume_, &T::SetVolume>(PR_VOLUME, peNone),
        Stored<&T::balance_, &T::SetBalance>(PR_BALANCE, peNone),
        Stored<&T::repeat_, &T::SetRepeat>(PR_REPEAT, peNone),
        Field<&T::play_end_handler_>(PR_ONPLAYEND),
        Custom<T>(
            PR_INDEX, peNone,
            [](const T& o) { return TPropValue::Int(o.item_ ? o.item_->GetPosition() : 0); },
            [](T& o, const TPropValue& v) { o.SetIndex(v.i); }),
        Custom<T>(
            PR_COUNT, peNone, [](const T& o) { return TPropValue::Int(o.Length()); }, nullptr),
        Custom<T>(
            PR_PLAYING, peNone,
            [](const T& o) { return TPropValue::Flag(o.item_ && o.item_->IsPlaying()); }, nullptr),
        Flag<&T::auto_scrap_>(PR_AUTOSCRAP),
        Flag<&T::rewind_on_load_>(PR_REWINDONLOAD),
        Flag<&T::mute_on_load_>(PR_MUTEONLOAD),
    };
  }
};

} // namespace nova::props
