// Fuzzes the script language: any text is run as a script and evaluated as a
// condition against a course and a global table, with placeholders expanded.
#include <cstdint>
#include <string>

#include "model/script.h"
#include "model/variable_context.h"
#include "model/variable_table.h"

namespace {

class FuzzContext : public CVariableContext {
 public:
  FuzzContext() : m_course(1), m_global(0) {
    for (const char* name : {"S", "N", "I"}) {
      auto v = std::make_unique<CVariable>();
      v->SetName(name);
      m_course.Append(std::move(v));
    }
    m_course.FindByName("N")->SetType(VarType::kNumber);
    m_course.FindByName("I")->SetType(VarType::kInteger);
    m_global.FindByName("StudentName")->SetString("a\"b{S}");
  }
  CVariableTable* GetCourseTable() override { return &m_course; }
  CVariableTable* GetGlobalTable() override { return &m_global; }
  std::int64_t Now() override { return 946684799; }

 private:
  CVariableTable m_course;
  CVariableTable m_global;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  FuzzContext context;
  ExecuteScript(context, CString(text));
  CheckCondition(context, CString(text));
  ExpandVariables(context, CString(text), TRUE);
  return 0;
}
