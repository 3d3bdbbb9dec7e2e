// CExpressionEvaluator: the script, expression and condition language, read straight from the text.
#pragma once

#include <span>
#include <string_view>
#include <vector>

#include "model/variable.h"

class CVariableContext;
class CVariableTable;

// Error codes of scripts and conditions. Nothing shows them: scripts return
// them and conditions with an error read as false.
namespace ScriptError {
constexpr int kNone = 0;
constexpr int kNoToken = 1;           // a line or condition holds no token
constexpr int kNoComparison = 2;      // no comparison operator after a left operand
constexpr int kNoLogical = 3;         // the word after a comparison is not and/or/not
constexpr int kNoArithmetic = 9;      // no arithmetic operator after an operand
constexpr int kQuoteAtEnd = 12;       // a literal ends right after a doubled quote
constexpr int kUnknownOperand = 13;   // neither literal, variable nor built-in; also nesting too deep
constexpr int kNoEquals = 14;         // a script line's name is not followed by "="
constexpr int kNoParenthesis = 16;    // a built-in name without "("
constexpr int kArgumentList = 17;     // the argument list ends early or lacks its ")"
constexpr int kArgument = 18;         // an argument, a "," or a conditional part is missing
}  // namespace ScriptError

// One evaluation: its own position, token end, error code and temporaries,
// so a script started from inside another (a built-in that runs page
// objects) leaves the outer one alone. There is no parse tree and no
// precedence: operators apply strictly left to right.
class CExpressionEvaluator {
 public:
  // Deeper nesting of parentheses and calls is a syntax error.
  static constexpr int kMaxDepth = 256;

  CExpressionEvaluator(CVariableContext& context, CVariableTable& table);
  ~CExpressionEvaluator();
  CExpressionEvaluator(const CExpressionEvaluator&) = delete;
  CExpressionEvaluator& operator=(const CExpressionEvaluator&) = delete;

  // Runs a script line by line; assignments to unknown names make
  // temporaries that are gone when it returns. Gives the error code.
  int RunStatements(std::string_view script);
  // 1 or 0; 0 also on an error.
  BOOL CheckConditionText(std::string_view text);

  // The parts the built-in functions read their arguments with.
  BOOL EvaluateExpression(CVariable& result);
  BOOL EvaluateCondition();
  // Reads one literal, variable or built-in call; gives its type code, 0
  // when nothing was read.
  DWORD ParseOperand(CVariable& operand);
  // Skips spaces and gives the length of the name token that starts there.
  int ScanToken();
  // The index of word in table (any case, exact length), or -1.
  static int FindKeyword(std::span<const char* const> table, std::string_view word);
  // The C library's space test on single-byte text.
  static constexpr bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
  // A set of bytes tested with one load; with spaces, the spaces join it.
  struct CharSet {
    constexpr CharSet(std::string_view chars, bool spaces) : in() {
      for (int c = 0; c < 256; ++c) in[c] = spaces && IsSpace(static_cast<char>(c));
      for (char c : chars) in[static_cast<unsigned char>(c)] = true;
    }
    constexpr bool operator()(char c) const { return in[static_cast<unsigned char>(c)]; }
    bool in[256];
  };

  void SkipSpaces() {
    while (m_pos < m_text.size() && IsSpace(m_text[m_pos])) ++m_pos;
  }
  BOOL AtEnd() const { return m_pos >= m_text.size(); }
  char Peek() const { return AtEnd() ? '\0' : m_text[m_pos]; }
  void Advance() {
    if (!AtEnd()) ++m_pos;
  }
  // Moves past the ")" that closes the current argument list, honouring
  // quotes and nested parentheses; to the end of the text when none does.
  void SkipToClosingParenthesis();
  std::size_t Position() const { return m_pos; }
  std::size_t TokenEnd() const { return m_tokenEnd; }
  void SetTokenEnd(std::size_t end) { m_tokenEnd = end; }

  int Error() const { return m_error; }
  void SetError(int code) { m_error = code; }
  CVariableContext& Context() { return m_context; }

  // Counts one level of nesting for as long as it lives; FALSE (and the
  // error set) when the limit is passed.
  class Nesting {
   public:
    explicit Nesting(CExpressionEvaluator& ev);
    ~Nesting() { --m_ev.m_depth; }
    Nesting(const Nesting&) = delete;
    Nesting& operator=(const Nesting&) = delete;
    explicit operator bool() const { return m_ok; }

   private:
    CExpressionEvaluator& m_ev;
    bool m_ok;
  };

 private:
  void RunLine(std::string_view line);
  void AssignValue(CVariable& target, const CVariable& value);
  // Numbers and names run up to a space or one of "()+-=<>*/,^".
  std::string_view NextOperandToken();
  DWORD ParseStringLiteral(CVariable& operand);
  DWORD ParseNumber(CVariable& operand);
  DWORD ParseName(CVariable& operand);
  int ReadOperatorRun(const CharSet& chars, std::span<const char* const> table);
  BOOL Compare(int op, const CVariable& left, const CVariable& right) const;

  CVariableContext& m_context;
  CVariableTable& m_table;
  std::string_view m_text;
  std::size_t m_pos = 0;
  std::size_t m_tokenEnd = 0;
  int m_error = 0;
  int m_depth = 0;
  std::vector<CVariable*> m_temporaries;  // made by this run, deleted when it ends
};
