// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "expr/build_parser.h"
#include "expr/nova_parser.h"
#include "expr/param_collection.h"

namespace nova {
namespace {

TEST(ExprSmoke, AssignsAndReads) {
  TParamCollection vars;
  vars.Declare("x", PT_INT, TVarScope::Global, nullptr);
  TNovaParser p;
  CompileExpression("x = 3 + 4 * 2", p);
  p.Execute(vars);
  EXPECT_EQ(p.LastError(), "");
  EXPECT_EQ(vars.Find("x")->AsInt(), 11);
}

}  // namespace
}  // namespace nova
