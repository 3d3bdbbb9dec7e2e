// Script evaluation throughput: a 1,000-line script of assignments, arithmetic and built-in calls.
#include <benchmark/benchmark.h>

#include <string>

#include "model/script.h"
#include "model/variable_context.h"
#include "model/variable_table.h"

namespace {

class BenchContext : public CVariableContext {
 public:
  BenchContext() : m_course(1), m_global(0) {
    for (const char* name : {"Total", "Count", "Label", "List"}) {
      auto v = std::make_unique<CVariable>();
      v->SetName(name);
      v->SetType(name[0] == 'L' ? VarType::kString : VarType::kNumber);
      m_course.Append(std::move(v));
    }
  }
  CVariableTable* GetCourseTable() override { return &m_course; }
  CVariableTable* GetGlobalTable() override { return &m_global; }
  std::int64_t Now() override { return 946684799; }

 private:
  CVariableTable m_course;
  CVariableTable m_global;
};

std::string MakeScript(int lines) {
  static const char* kLines[] = {
      "Total = Total + Count * 2 - 1",
      "Count = Count + 1",
      "Label = UpperCase(\"item\") + \" \" + Count",
      "List = InsertElement(List, 1, \"x\", \",\")",
      "tmp = Sqrt(Count) + Int(-2.7) + Mod(Total, 7)",
      "Label = SubString(Label, 1, 4) + GetElement(List, 2, 0, \",\")",
      "Total = IfThenElse(Count > 100, Total / 2, Total + 3)",
      "Count = Count + Abs(-1) - 1 + StringLength(Label) * 0",
  };
  std::string script;
  for (int i = 0; i < lines; ++i) {
    script += kLines[i % std::size(kLines)];
    script += "\r\n";
  }
  return script;
}

void BM_RunScript(benchmark::State& state) {
  BenchContext context;
  const CString script(MakeScript(1000));
  for (auto _ : state) {
    context.GetCourseTable()->FindByName("List")->SetString("");
    benchmark::DoNotOptimize(ExecuteScript(context, script));
  }
  state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_RunScript)->Unit(benchmark::kMillisecond);

void BM_CheckCondition(benchmark::State& state) {
  BenchContext context;
  const CString condition("Count >= 0 and Total < 1e9 or Label = \"item\"");
  for (auto _ : state) benchmark::DoNotOptimize(CheckCondition(context, condition));
}
BENCHMARK(BM_CheckCondition);

}  // namespace

BENCHMARK_MAIN();
