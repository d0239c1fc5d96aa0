// SPDX-License-Identifier: MIT
// Component properties to and from script values: what the property commands and the
// GetProp/SetProp functions call.
#pragma once
#include <cstdint>

namespace nova {

class TCustomParam;
class TNovaObject;

// The value type byte (PT_INT, PT_FLOAT, PT_BOOL, PT_STR) of property `id` (0-169).
uint8_t PropParamType(int id);
// Reads the property into `result` through its setter of the property's type. Throws
// "GetPropエラー" for ids outside 0-169.
void GetPropInto(TNovaObject& obj, int id, TCustomParam& result);
// Reads `value` in the property's type (the value converts itself) and writes the property.
// Throws "SetPropエラー" for ids outside 0-169 and for PR_APPEARX/PR_APPEARY.
void SetPropFrom(TNovaObject& obj, int id, const TCustomParam& value);

} // namespace nova
