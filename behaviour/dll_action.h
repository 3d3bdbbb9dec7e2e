// CDLLAction: calls a function of an outside library with arguments written as text, and keeps its result.
#pragma once

#include "behaviour/action.h"

// How the function's return value is taken.
namespace DllResult {
constexpr BYTE kNothing = 0;
constexpr BYTE kText = 1;
constexpr BYTE kByte = 2;
constexpr BYTE kWord = 3;
constexpr BYTE kDword = 4;
constexpr BYTE kFloat = 5;
constexpr BYTE kDouble = 6;
constexpr BYTE kNotCalled = 7;
constexpr BYTE kDwordNotStored = 8;
}  // namespace DllResult

// On disk: reserved value, result variable, library, function, argument
// types, arguments, result type, then the common part.
class CDLLAction : public CAction {
  DECLARE_SERIAL(CDLLAction)

 public:
  // The size of the buffer "@buf" passes.
  static constexpr std::size_t kBufferSize = 1000;

  CDLLAction() : CAction(ActionKind::kDLL) {}
  CDLLAction(const CDLLAction& other) = default;

  void Serialize(CArchive& ar) override;
  void CopyFrom(const CIconObject* source, BOOL keepIdentity) override;
  int GetTypeFlags() override { return 33; }
  // Always TRUE. A library that does not load or a function it lacks is shown with a beep.
  BOOL Execute() override;

  const CString& GetLibrary() const { return m_strLibrary; }
  const CString& GetFunction() const { return m_strFunction; }
  const CString& GetArguments() const { return m_strArguments; }
  BYTE GetResultType() const { return m_resultType; }
  LONG GetResultVariable() const { return m_resultVariable; }

 private:
  LONG m_reserved = 0;
  CString m_strLibrary;
  CString m_strFunction;
  CString m_strArgumentTypes;  // kept for the authoring side
  CString m_strArguments;
  BYTE m_resultType = DllResult::kNothing;
  LONG m_resultVariable = 0;
};
