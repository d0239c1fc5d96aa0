// SPDX-License-Identifier: MIT
// Groups of property rows that several kinds share, declared once. A kind that uses a group
// offers the accessors the group names; how it stores and repaints stays its own.
#pragma once
#include <array>
#include <numbers>

#include "scene/prop_rows.h"

namespace nova::props {

// Zoom (as a real and in 1/256 steps), angle (radians and 1/255 turns) and mirroring.
// T offers FloatZoomX/Y and SetFloatZoomX/Y, Angle/SetAngle, AngleSteps, FlipH/V and
// SetFlipH/V; ZoomX/Y and FlipH/V are read as T's own, not a subclass's.
template <class T> constexpr std::array<TPropRow, 8> TransformRows() {
  constexpr long double kTurn = 2 * std::numbers::pi_v<long double>;
  return {
      Access<&T::FloatZoomX, &T::SetFloatZoomX>(PR_FLOATZOOMX, peGeometry),
      Access<&T::FloatZoomY, &T::SetFloatZoomY>(PR_FLOATZOOMY, peGeometry),
      Custom<T>(
          PR_ZOOMX, peGeometry, [](const T& o) { return TPropValue::Int(o.T::ZoomX()); },
          [](T& o, const TPropValue& v) { o.SetFloatZoomX(v.i / 256.0L); }),
      Custom<T>(
          PR_ZOOMY, peGeometry, [](const T& o) { return TPropValue::Int(o.T::ZoomY()); },
          [](T& o, const TPropValue& v) { o.SetFloatZoomY(v.i / 256.0L); }),
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
  };
}

} // namespace nova::props
