// SPDX-License-Identifier: MIT
#include "scene/prop_params.h"

#include "expr/param_types.h"
#include "expr/params.h"
#include "scene/nova_object.h"

namespace nova {

uint8_t PropParamType(int id) {
  if (!IsValidPropId(id))
    return PT_INT;
  switch (PropInfo(id).type) {
  case ptInt:
    return PT_INT;
  case ptReal:
    return PT_FLOAT;
  case ptFlag:
    return PT_BOOL;
  case ptStr:
    return PT_STR;
  }
  return PT_INT;
}

void GetPropInto(TNovaObject& obj, int id, TCustomParam& result) {
  const TPropValue v = obj.GetProp(id);
  switch (v.type) {
  case ptInt:
    result.SetInt(v.i);
    break;
  case ptReal:
    result.SetReal(v.r);
    break;
  case ptFlag:
    result.SetFlag(v.f);
    break;
  case ptStr:
    result.SetStr(v.s);
    break;
  }
}

void SetPropFrom(TNovaObject& obj, int id, const TCustomParam& value) {
  TPropValue v;
  if (IsValidPropId(id)) {
    switch (PropInfo(id).type) {
    case ptInt:
      v = TPropValue::Int(value.AsInt());
      break;
    case ptReal:
      v = TPropValue::Real(value.AsReal());
      break;
    case ptFlag:
      v = TPropValue::Flag(value.AsFlag());
      break;
    case ptStr:
      v = TPropValue::Str(value.AsStr());
      break;
    }
  }
  obj.SetProp(id, v);
}

} // namespace nova
