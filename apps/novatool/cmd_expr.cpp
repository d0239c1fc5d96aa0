// SPDX-License-Identifier: MIT
// `novatool expr compile|dump|eval|batch`: compiles and runs expressions of the title language.
#include <cstdio>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>

#include "base/binary_writer.h"
#include "base/nova_error.h"
#include "base/regular_file.h"
#include "base/sjis.h"
#include "expr/build_parser.h"
#include "expr/func_table.h"
#include "expr/nova_parser.h"
#include "expr/param_collection.h"
#include "tool_args.h"

namespace {

using namespace nova;

std::string Hex(const std::vector<uint8_t>& bytes) {
  static const char* kDigits = "0123456789abcdef";
  std::string out;
  for (uint8_t b : bytes) {
    out.push_back(kDigits[b >> 4]);
    out.push_back(kDigits[b & 15]);
  }
  return out;
}

const char* TypeName(uint8_t type) {
  static const char* kNames[] = {"ref", "int", "real", "flag", "str"};
  return type <= PT_STR ? kNames[type] : "?";
}

std::string Value(const TCustomParam& p) {
  std::string out = std::string(TypeName(p.DataType())) + ":";
  for (int32_t i = 0; i < p.Count(); ++i)
    out += (i ? "," : "") + SjisToUtf8(p.StrAt(i));
  return out;
}

std::string Arg(const TCustomParam& a) {
  if (a.IsReference())
    return "var:" + SjisToUtf8(static_cast<const TParamVar&>(a).Name());
  return Value(a);
}

int Compile(const std::string& text) {
  std::puts(Hex(CompileToBytes(Utf8ToSjis(text))).c_str());
  return 0;
}

int Dump(const std::string& text) {
  TNovaParser p;
  CompileExpression(Utf8ToSjis(text), p);
  for (const TOpeData& op : p.Ops()) {
    std::string line = std::string(OpeCodeName(op.opcode)) + " " + SjisToUtf8(op.dest);
    if (op.opcode == ocFunc)
      line += std::string(" ") + FuncInfo(op.func_id)->name;
    for (const auto& a : op.args)
      line += " " + Arg(*a);
    std::puts(line.c_str());
  }
  return 0;
}

std::map<std::string, std::string> Snapshot(const TParamCollection& vars) {
  std::map<std::string, std::string> out;
  vars.ForEach([&](const TParamCollectionItem& it) {
    if (!it.IsSystem())
      out[it.Name()] = Value(*it.Value());
  });
  return out;
}

int Eval(const std::string& text, const ToolArgs& args) {
  TParamCollection vars;
  for (size_t i = 2; i < args.size(); ++i) {
    size_t eq = args[i].find('='), colon = args[i].find(':', eq);
    if (eq == std::string::npos || colon == std::string::npos) {
      std::fprintf(stderr, "expr eval: variable \"%s\" is not NAME=TYPE:VALUE\n", args[i].c_str());
      return 2;
    }
    std::string type = args[i].substr(eq + 1, colon - eq - 1);
    uint8_t t = type == "int"    ? PT_INT
                : type == "real" ? PT_FLOAT
                : type == "flag" ? PT_BOOL
                : type == "str"  ? PT_STR
                                 : PT_NONE;
    if (t == PT_NONE) {
      std::fprintf(stderr, "expr eval: type \"%s\" is not int, real, flag or str\n", type.c_str());
      return 2;
    }
    std::string name = Utf8ToSjis(args[i].substr(0, eq));
    vars.Declare(name, t, TVarScope::Global, nullptr);
    vars.Find(name)->Value()->SetStr(Utf8ToSjis(args[i].substr(colon + 1)));
  }
  auto before = Snapshot(vars);
  TNovaParser p;
  CompileExpression(Utf8ToSjis(text), p);
  p.Execute(vars);
  std::printf("result: %s\n", p.Result() ? Value(*p.Result()).c_str() : "none");
  if (!p.LastError().empty())
    std::printf("error: %s\n", SjisToUtf8(p.LastError()).c_str());
  for (const auto& [name, value] : Snapshot(vars)) {
    auto it = before.find(name);
    if (it == before.end() || it->second != value) {
      std::printf("%s = %s\n", SjisToUtf8(name).c_str(), value.c_str());
    }
  }
  return 0;
}

int Batch(const std::string& path) {
  std::string error;
  const std::optional<std::string> text = ReadRegularFile(path, size_t{1} << 30, &error);
  if (!text) {
    std::fprintf(stderr, "expr batch: cannot read \"%s\" (%s)\n", path.c_str(), error.c_str());
    return 1;
  }
  std::istringstream in(*text);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r')
      line.pop_back();
    try {
      std::puts(Hex(CompileToBytes(Utf8ToSjis(line))).c_str());
    } catch (const ENovaError& e) {
      std::printf("ERROR: %s\n", SjisToUtf8(e.what()).c_str());
    }
  }
  return 0;
}

int Usage() {
  std::fputs("usage: novatool expr compile TEXT\n"
             "       novatool expr dump TEXT\n"
             "       novatool expr eval TEXT [NAME=TYPE:VALUE ...]\n"
             "       novatool expr batch FILE\n",
             stderr);
  return 2;
}

} // namespace

int Tool_expr(const ToolArgs& args) {
  if (args.size() < 2)
    return Usage();
  const std::string& cmd = args[0];
  try {
    if (cmd == "compile" && args.size() == 2)
      return Compile(args[1]);
    if (cmd == "dump" && args.size() == 2)
      return Dump(args[1]);
    if (cmd == "eval")
      return Eval(args[1], args);
    if (cmd == "batch" && args.size() == 2)
      return Batch(args[1]);
  } catch (const ENovaError& e) {
    std::fprintf(stderr, "ERROR: %s\n", SjisToUtf8(e.what()).c_str());
    return 1;
  }
  return Usage();
}
