// SPDX-License-Identifier: MIT
// Interpreter throughput: a While loop of 1,000,000 iterations with one Calc each, run to the
// end in one frame. The same three expressions executed alone are the reference, so the ratio
// of the two is the share of the time spent evaluating expressions.
#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

#include "base/binary_writer.h"
#include "base/run_state.h"
#include "expr/build_parser.h"
#include "expr/param_collection.h"
#include "scene/timer_list.h"
#include "script/call_man.h"
#include "script/text_form/page_text.h"

namespace {

using namespace nova;

constexpr int kIterations = 1000000;
// While, Calc and WhileLoop each iteration.
constexpr int kCommandsPerIteration = 3;

const char kLoopPage[] = "VarNew \"i\" type=1 value={0}\n"
                         "VarNew \"x\" type=1 value={0}\n"
                         "WhileInit {i = 0}\n"
                         "While {i < 1000000} end=@after\n"
                         "  Calc {x = x + 2}\n"
                         "WhileLoop {i = i + 1} head=3\n"
                         "Label \"after\"\n";

class TBenchTitle final : public IScriptFiles, public IScriptDialogs, public ICallManHost {
public:
  TBenchTitle() {
    TPage page;
    page.set_name("main.nsb");
    TPageSource(kLoopPage, "main.nsb").Build(page);
    BinaryWriter w;
    page.Write(w);
    bytes_ = w.Take();
  }
  bool Exists(const std::string& name) override { return name == "main.nsb"; }
  std::vector<uint8_t> Load(const std::string&) override { return bytes_; }
  bool PromptForDisk(int32_t, const TDiskTexts&) override { return false; }
  TMsgResult MessageBox(const std::string&, const std::string&, TMsgButtons, TMsgIcon) override {
    return TMsgResult::Ok;
  }
  void CloseMainWindow() override {}
  TTimerList& Events() override { return events_; }
  std::string SenderName(const TNovaObject*) override { return {}; }
  bool PageExists(const std::string& name) override { return Exists(name); }
  void ResetWorld() override {}

private:
  std::vector<uint8_t> bytes_;
  TTimerList events_;
};

void BM_WhileLoopCalc(benchmark::State& state) {
  TBenchTitle title;
  for (auto _ : state) {
    ResetRunState();
    TParamCollection vars;
    TCallMan calls({vars, title, title, title});
    calls.Start("main.nsb");
    calls.Run();
    if (vars.Find("x")->AsInt() != 2 * kIterations)
      state.SkipWithError("the loop did not run to the end");
  }
  state.counters["commands/s"] =
      benchmark::Counter(double(kIterations) * kCommandsPerIteration * double(state.iterations()),
                         benchmark::Counter::kIsRate);
}
BENCHMARK(BM_WhileLoopCalc)->Unit(benchmark::kMillisecond);

// The three expressions of one iteration, executed alone as often as the loop runs them.
void BM_WhileLoopCalc_ExpressionsOnly(benchmark::State& state) {
  for (auto _ : state) {
    TParamCollection vars;
    vars.Declare("i", PT_INT, TVarScope::Global, nullptr);
    vars.Declare("x", PT_INT, TVarScope::Global, nullptr);
    TNovaParser cond, calc, step;
    CompileExpression("i < 1000000", cond);
    CompileExpression("x = x + 2", calc);
    CompileExpression("i = i + 1", step);
    for (int i = 0; i < kIterations; ++i) {
      cond.Execute(vars);
      calc.Execute(vars);
      step.Execute(vars);
    }
    benchmark::DoNotOptimize(vars.Find("x")->AsInt());
  }
}
BENCHMARK(BM_WhileLoopCalc_ExpressionsOnly)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
