// SPDX-License-Identifier: MIT
#include "script/var_dump.h"

#include <cstdio>

#include "base/sjis.h"
#include "expr/param_collection.h"

namespace nova {
namespace {

const char* TypeName(uint8_t type) {
  switch (type) {
  case PT_INT:
    return "int";
  case PT_FLOAT:
    return "float";
  case PT_BOOL:
    return "flag";
  case PT_STR:
    return "str";
  default:
    return "none";
  }
}

const char* ScopeName(const TParamCollectionItem& item) {
  if (item.status)
    return "status";
  if (item.local)
    return "local";
  return item.frame >= 0 ? "auto" : "global";
}

std::string Element(const TCustomParam& v, int32_t i) {
  switch (v.DataType()) {
  case PT_FLOAT: {
    char text[64];
    std::snprintf(text, sizeof text, "%.18Lg", v.RealAt(i));
    return text;
  }
  case PT_BOOL:
    return v.FlagAt(i) ? "TRUE" : "FALSE";
  case PT_STR: {
    std::string out = "\"";
    for (char c : SjisToUtf8(v.StrAt(i))) {
      if (c == '"' || c == '\\')
        out += '\\';
      out += c;
    }
    return out + "\"";
  }
  default:
    return std::to_string(v.IntAt(i));
  }
}

} // namespace

std::string DumpVariables(const TParamCollection& vars) {
  std::string out;
  vars.ForEach([&out](const TParamCollectionItem& item) {
    const std::string& name = item.Name();
    if (item.IsSystem() || name.empty() || name.starts_with("____") || !item.Value())
      return;
    const TCustomParam& v = *item.Value();
    if (v.IsReference()) {
      const auto& ref = static_cast<const TParamVar&>(v);
      out += SjisToUtf8(name) + " ref " + ScopeName(item) + " " + std::to_string(item.frame) +
             " = " + SjisToUtf8(ref.RefName()) + "[" + std::to_string(ref.Index()) + "]\n";
      return;
    }
    out += SjisToUtf8(name) + " " + TypeName(v.DataType()) + " " + ScopeName(item) + " " +
           std::to_string(item.frame);
    if (!v.Dims().empty()) {
      out += " [";
      for (size_t d = 0; d < v.Dims().size(); ++d)
        out += (d ? "," : "") + std::to_string(v.Dims()[d]);
      out += "]";
    }
    out += " =";
    for (int32_t i = 0; i < v.Count(); ++i)
      out += (i ? ", " : " ") + Element(v, i);
    out += "\n";
  });
  return out;
}

} // namespace nova
