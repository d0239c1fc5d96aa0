// SPDX-License-Identifier: MIT
#include "text/expr_text_host.h"

#include "base/binary_reader.h"
#include "base/nova_error.h"
#include "expr/build_parser.h"
#include "expr/nova_parser.h"
#include "expr/params.h"

namespace nova {
namespace {

bool RunForValue(TNovaParser& parser, TParamCollection& vars, std::string& value) {
  parser.Execute(vars);
  if (!parser.LastError().empty() || !parser.Result())
    return false;
  value = parser.Result()->AsStr();
  return true;
}

} // namespace

bool ExprTextHost::EvaluateText(const std::string& source, std::string& value) {
  try {
    TNovaParser parser;
    CompileExpression(source, parser);
    return RunForValue(parser, vars_, value);
  } catch (const ENovaError&) {
    return false;
  }
}

bool ExprTextHost::ExecuteCompiled(std::span<const uint8_t> operations, std::string& value) {
  try {
    BinaryReader reader(operations, "embedded expression");
    TNovaParser parser;
    parser.LoadOps(reader);
    return RunForValue(parser, vars_, value);
  } catch (const ENovaError&) {
    return false;
  }
}

} // namespace nova
