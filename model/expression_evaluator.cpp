// The evaluator: tokens, operands, left-to-right arithmetic, conditions and statements.
#include "model/expression_evaluator.h"

#include <cmath>

#include "model/builtin_table.h"
#include "model/value_conversion.h"
#include "model/variable_context.h"
#include "model/variable_table.h"
#include "platform/base/codepage.h"
#include "platform/base/number_text.h"

using namespace tvn::values;

namespace {

constexpr const char* kComparisons[] = {"<>", ">=", ">", "<=", "<", "="};
constexpr const char* kArithmetic[] = {"+", "-", "*", "/", "^"};
constexpr const char* kLogical[] = {"and", "or", "not"};

enum Comparison { kNotEqual, kGreaterEqual, kGreater, kLessEqual, kLess, kEqual };
enum Arithmetic { kAdd, kSubtract, kMultiply, kDivide, kPower };
enum Logical { kAnd, kOr, kNot, kNoLogical = -1 };

using CharSet = CExpressionEvaluator::CharSet;
constexpr CharSet IsNameDelimiter("()=+-*/,", true);
constexpr CharSet IsOperandDelimiter("()+-=<>*/,^", true);
constexpr CharSet kArithmeticChars("+*/-^", false);
constexpr CharSet kComparisonChars("=+-*/><", false);

// The left operand's value as the kind the right operand chose: numbers and
// integers convert into each other, so an integer counter adds up.
double LeftNumber(const CVariable& left) {
  return left.GetType() == VarType::kInteger ? static_cast<double>(left.GetLong()) : left.GetReal();
}
LONG LeftInteger(const CVariable& left) {
  return left.GetType() == VarType::kNumber ? TruncateToLong(left.GetReal()) : left.GetLong();
}

void ApplyArithmetic(int op, CVariable& left, const CVariable& right) {
  const DWORD type = right.GetType();
  const double leftNumber = LeftNumber(left);
  const LONG leftInteger = LeftInteger(left);
  left.SetType(VarType::kNone);
  switch (type) {
    case VarType::kString:
      if (op != kAdd) return;
      left.AppendString(right.GetString());
      break;
    case VarType::kNumber: {
      double a = leftNumber;
      double b = right.GetReal();
      switch (op) {
        case kAdd: left.SetReal(a + b); break;
        case kSubtract: left.SetReal(a - b); break;
        case kMultiply: left.SetReal(a * b); break;
        case kDivide: left.SetReal(b != 0.0 ? a / b : a); break;  // by 0: the left value
        case kPower: left.SetReal(std::pow(a, b)); break;
      }
      break;
    }
    case VarType::kInteger: {
      LONG a = leftInteger;
      LONG b = right.GetLong();
      switch (op) {
        case kAdd: left.SetLong(WrapAdd(a, b)); break;
        case kSubtract: left.SetLong(WrapSub(a, b)); break;
        case kMultiply: left.SetLong(WrapMul(a, b)); break;
        case kDivide: left.SetLong(b != 0 ? WrapDiv(a, b) : a); break;
        case kPower: left.SetLong(TruncateToLong(std::pow(static_cast<double>(a), static_cast<double>(b)))); break;
      }
      break;
    }
    case VarType::kDateTime:
      // The right side's time-span seconds move the date, whatever its type says.
      if (op == kAdd) left.SetDateTime(WrapAdd(left.GetDateTime(), right.GetTimeSpan()));
      else if (op == kSubtract) left.SetDateTime(WrapSub(left.GetDateTime(), right.GetTimeSpan()));
      else return;
      break;
    case VarType::kTimeSpan:
      if (op == kAdd) left.SetTimeSpan(WrapAdd(left.GetTimeSpan(), right.GetTimeSpan()));
      else if (op == kSubtract) left.SetTimeSpan(WrapSub(left.GetTimeSpan(), right.GetTimeSpan()));
      else return;
      break;
    default:
      return;
  }
  left.SetType(type);
}

template <class T>
BOOL Ordered(int op, T a, T b) {
  switch (op) {
    case kNotEqual: return a != b;
    case kGreaterEqual: return a >= b;
    case kGreater: return a > b;
    case kLessEqual: return a <= b;
    case kLess: return a < b;
    default: return a == b;
  }
}

// A time-span literal: fields joined by colons, each worth 60 of the next
// ("1:02:05" is 3725 seconds, "2:30" 150).
LONG TimeSpanLiteral(std::string_view token) {
  long long total = 0;
  std::size_t start = 0;
  while (true) {
    std::size_t colon = token.find(':', start);
    std::string_view field = token.substr(start, colon == std::string_view::npos ? std::string_view::npos : colon - start);
    auto parsed = tvn::numtext::ParseIntegerPrefix(field);
    total = Saturate(total) * 60LL + Saturate(parsed ? parsed->value : 0);
    if (colon == std::string_view::npos) break;
    start = colon + 1;
  }
  return Saturate(total);
}

bool IsScoreCounter(const CString& name) {
  return name == "QuestionsCorrect" || name == "QuestionsWrong" || name == "QuestionsAnswered" ||
         name == "QuestionsRepeated";
}

}  // namespace

CExpressionEvaluator::Nesting::Nesting(CExpressionEvaluator& ev) : m_ev(ev), m_ok(++ev.m_depth <= kMaxDepth) {
  if (!m_ok) m_ev.SetError(ScriptError::kUnknownOperand);
}

CExpressionEvaluator::CExpressionEvaluator(CVariableContext& context, CVariableTable& table)
    : m_context(context), m_table(table) {}

CExpressionEvaluator::~CExpressionEvaluator() { m_table.RemoveTemporaries(m_temporaries); }

int CExpressionEvaluator::FindKeyword(std::span<const char* const> table, std::string_view word) {
  if (word.empty()) return -1;
  for (std::size_t i = 0; i < table.size(); ++i) {
    if (table[i] && tvn::codepage::EqualsNoCase(table[i], word)) return static_cast<int>(i);
  }
  return -1;
}

int CExpressionEvaluator::ScanToken() {
  SkipSpaces();
  std::size_t end = m_pos;
  while (end < m_text.size() && !IsNameDelimiter(m_text[end])) ++end;
  m_tokenEnd = end;
  return static_cast<int>(end - m_pos);
}

void CExpressionEvaluator::SkipToClosingParenthesis() {
  int level = 0;
  bool quoted = false;
  while (!AtEnd()) {
    char c = m_text[m_pos++];
    if (c == '"') quoted = !quoted;
    else if (quoted) continue;
    else if (c == '(') ++level;
    else if (c == ')' && level-- == 0) return;
  }
}

std::string_view CExpressionEvaluator::NextOperandToken() {
  std::size_t start = m_pos;
  while (m_pos < m_text.size() && !IsOperandDelimiter(m_text[m_pos])) ++m_pos;
  return m_text.substr(start, m_pos - start);
}

DWORD CExpressionEvaluator::ParseOperand(CVariable& operand) {
  SkipSpaces();
  m_tokenEnd = m_pos;
  if (AtEnd()) return 0;
  operand.Reset();
  char c = Peek();
  DWORD type;
  if (c == '"') type = ParseStringLiteral(operand);
  else if (c == '-' || (c >= '0' && c <= '9')) type = ParseNumber(operand);
  else type = ParseName(operand);
  m_pos = m_tokenEnd;
  return type;
}

DWORD CExpressionEvaluator::ParseStringLiteral(CVariable& operand) {
  std::string value;
  std::size_t pos = m_pos + 1;
  while (pos < m_text.size()) {
    char c = m_text[pos];
    if (c != '"') {
      value += c;
      ++pos;
      continue;
    }
    if (pos + 1 < m_text.size() && m_text[pos + 1] == '"') {
      value += '"';
      pos += 2;
      if (pos >= m_text.size()) {
        m_tokenEnd = pos;
        m_error = ScriptError::kQuoteAtEnd;
        return 0;
      }
      continue;
    }
    ++pos;  // the closing quote
    break;
  }
  // A literal still open at the end takes the rest of the text.
  operand.SetString(CString(std::move(value)));
  operand.SetType(VarType::kString);
  m_tokenEnd = pos;
  return VarType::kString;
}

DWORD CExpressionEvaluator::ParseNumber(CVariable& operand) {
  bool negative = Peek() == '-';
  if (negative) Advance();
  std::string_view token = NextOperandToken();
  m_tokenEnd = m_pos;
  if (token.find(':') != std::string_view::npos) {
    LONG seconds = TimeSpanLiteral(token);
    operand.SetTimeSpan(negative ? WrapSub(0, seconds) : seconds);
    operand.SetType(VarType::kTimeSpan);
    return VarType::kTimeSpan;
  }
  // strtod: what it takes of the token; trailing characters are ignored.
  auto parsed = tvn::numtext::ParseDoublePrefix(token);
  double value = parsed ? parsed->value : 0.0;
  operand.SetReal(negative ? -value : value);
  operand.SetType(VarType::kNumber);
  return VarType::kNumber;
}

DWORD CExpressionEvaluator::ParseName(CVariable& operand) {
  std::string_view name = NextOperandToken();
  m_tokenEnd = m_pos;
  if (name.empty()) {
    // A delimiter where an operand belongs names nothing either. An absent
    // optional argument (the ")" of SubString(s, 2)) clears this again.
    m_error = ScriptError::kUnknownOperand;
    return 0;
  }
  if (const CVariable* v = FindVariable(m_context, name)) {
    operand.Copy(*v);
    // An untyped variable stays untyped but lets the evaluation go on.
    return v->GetType() != 0 ? v->GetType() : VarType::kNumber;
  }
  int id = FindBuiltinFunction(name);
  if (id < 0) {
    m_error = ScriptError::kUnknownOperand;
    return 0;
  }
  CallBuiltinFunction(*this, operand, id);
  return operand.GetType();
}

int CExpressionEvaluator::ReadOperatorRun(const CharSet& chars, std::span<const char* const> table) {
  std::size_t start = m_pos;
  while (m_pos < m_text.size() && chars(m_text[m_pos])) ++m_pos;
  if (m_pos == start) return -2;  // no operator characters at all
  return FindKeyword(table, m_text.substr(start, m_pos - start));
}

BOOL CExpressionEvaluator::EvaluateExpression(CVariable& result) {
  Nesting nesting(*this);
  if (!nesting) return FALSE;
  result.Reset();
  int pending = -1;
  while (true) {
    if (AtEnd() || Peek() == ',') return TRUE;
    SkipSpaces();
    CVariable operand;
    if (Peek() == '(') {
      Advance();
      if (!EvaluateExpression(operand) || m_error) return FALSE;
    } else if (Peek() == ')') {
      Advance();
      return TRUE;
    } else {
      DWORD type = ParseOperand(operand);
      if (type == 0 || m_error) return m_error == 0;
    }
    if (pending < 0) result = std::move(operand);
    else ApplyArithmetic(pending, result, operand);

    SkipSpaces();
    if (AtEnd() || Peek() == ',') return TRUE;
    if (Peek() == ')') {
      Advance();
      return TRUE;
    }
    pending = ReadOperatorRun(kArithmeticChars, kArithmetic);
    if (pending < 0) {
      m_error = ScriptError::kNoArithmetic;
      return FALSE;
    }
  }
}

BOOL CExpressionEvaluator::Compare(int op, const CVariable& left, const CVariable& right) const {
  // Integers compare as numbers.
  auto real = [](const CVariable& v) {
    return v.GetType() == VarType::kInteger ? static_cast<double>(v.GetLong()) : v.GetReal();
  };
  const DWORD rightType = right.GetType() == VarType::kInteger ? VarType::kNumber : right.GetType();
  switch (rightType) {
    case VarType::kString: {
      int c = left.GetString().str().compare(right.GetString().str());
      return Ordered(op, c, 0);
    }
    case VarType::kNumber: {
      const double a = real(left);
      const double b = real(right);
      if (op == kGreater || op == kLess) return Ordered(op, a, b);
      // Ten times the precision, not ten to its power; the products are
      // compared as whole numbers, in 64 bits so no product overflows.
      int p = std::max(left.GetPrecision(), right.GetPrecision());
      if (p == 0) p = 4;
      const double scale = 10.0 * p;
      return Ordered(op, TruncateToInt64(a * scale), TruncateToInt64(b * scale));
    }
    case VarType::kDateTime: return Ordered(op, left.GetDateTime(), right.GetDateTime());
    case VarType::kTimeSpan: return Ordered(op, left.GetTimeSpan(), right.GetTimeSpan());
    default: return FALSE;
  }
}

BOOL CExpressionEvaluator::EvaluateCondition() {
  Nesting nesting(*this);
  if (!nesting) return FALSE;
  BOOL truth = FALSE;
  int pending = kNoLogical;
  while (true) {
    if (AtEnd() || Peek() == ',') return truth;
    SkipSpaces();
    BOOL value;
    if (Peek() == '(') {
      Advance();
      if (!EvaluateCondition() || m_error) return FALSE;
      value = TRUE;
    } else if (Peek() == ')') {
      Advance();
      return truth;
    } else {
      CVariable left;
      CVariable right;
      if (ParseOperand(left) == 0 || m_error) return FALSE;
      SkipSpaces();
      int op = ReadOperatorRun(kComparisonChars, kComparisons);
      if (op == -2) return FALSE;
      if (op < 0) {
        m_error = ScriptError::kNoComparison;
        return FALSE;
      }
      SkipSpaces();
      if (ParseOperand(right) == 0 || m_error) return FALSE;
      value = Compare(op, left, right);
    }

    switch (pending) {
      case kAnd:
        if (!truth || !value) return FALSE;  // the rest of this level is not read
        truth = TRUE;
        break;
      case kOr: truth = truth || value; break;
      default: truth = value; break;  // no operator, and "not", which negates nothing
    }

    if (AtEnd() || Peek() == ',') return truth;
    SkipSpaces();
    if (Peek() == ')') {
      Advance();
      return truth;
    }
    int length = ScanToken();
    if (length == 0) return truth;
    pending = FindKeyword(kLogical, m_text.substr(m_pos, static_cast<std::size_t>(length)));
    if (pending < 0) {
      m_error = ScriptError::kNoLogical;
      return FALSE;
    }
    m_pos = m_tokenEnd;
    SkipSpaces();
  }
}

BOOL CExpressionEvaluator::CheckConditionText(std::string_view text) {
  m_text = text;
  m_pos = 0;
  m_error = 0;
  BOOL truth = FALSE;
  if (ScanToken() == 0) {
    m_error = ScriptError::kNoToken;
  } else {
    m_pos = 0;
    truth = EvaluateCondition();
  }
  m_table.SetErrorCode(m_error);
  return m_error == 0 && truth ? TRUE : FALSE;
}

int CExpressionEvaluator::RunStatements(std::string_view script) {
  m_error = 0;
  std::size_t pos = 0;
  while (pos < script.size() && m_error == 0) {
    std::size_t end = pos;
    while (end < script.size() && script[end] != '\r' && script[end] != '\n') ++end;
    std::string_view line = script.substr(pos, end - pos);
    // Up to two line-end characters in a row end one line.
    pos = end;
    for (int i = 0; i < 2 && pos < script.size() && (script[pos] == '\r' || script[pos] == '\n'); ++i) ++pos;
    if (line.empty() || line[0] == ';') continue;
    RunLine(line);
  }
  m_table.RemoveTemporaries(m_temporaries);
  m_temporaries.clear();
  m_table.SetErrorCode(m_error);
  return m_error;
}

void CExpressionEvaluator::RunLine(std::string_view line) {
  m_text = line;
  m_pos = 0;
  int length = ScanToken();
  if (length == 0) {
    m_error = ScriptError::kNoToken;
    return;
  }
  std::string_view name = line.substr(m_pos, static_cast<std::size_t>(length));
  m_pos = m_tokenEnd;
  // Statement lines look up built-ins first: the rest of the line is ignored.
  if (int id = FindBuiltinFunction(name); id >= 0) {
    CVariable ignored;
    CallBuiltinFunction(*this, ignored, id);
    return;
  }
  CVariable* target = FindVariable(m_context, name);
  if (!target) {
    auto temporary = std::make_unique<CVariable>();
    temporary->SetName(CString(name));
    temporary->SetFlags(VarFlag::kTemporary);
    target = m_table.Append(std::move(temporary));
    m_temporaries.push_back(target);
  }
  SkipSpaces();
  if (Peek() != '=') {
    m_error = ScriptError::kNoEquals;
    return;
  }
  Advance();
  CVariable value;
  if (!EvaluateExpression(value) || m_error) return;
  AssignValue(*target, value);
  if (m_context.GetCourseTable() && target->GetReal() == 0.0 && IsScoreCounter(target->GetName()))
    m_context.OnScoreCounterCleared();
}

void CExpressionEvaluator::AssignValue(CVariable& target, const CVariable& value) {
  if (target.GetType() == VarType::kNone) target.SetType(value.GetType());
  const DWORD from = value.GetType();
  switch (target.GetType()) {
    case VarType::kString:
      if (from == VarType::kString) target.SetString(value.GetString());
      else if (from == VarType::kNumber) target.SetString(CVariable::FormatNumber(value.GetReal(), value.GetPrecision()));
      else if (from == VarType::kInteger) target.SetString(CString(tvn::numtext::FormatInteger(value.GetLong())));
      break;
    case VarType::kNumber:
      if (from == VarType::kString) {
        auto parsed = tvn::numtext::ParseDoublePrefix(value.GetString().view());
        target.SetReal(parsed ? parsed->value : 0.0);
      } else if (from == VarType::kInteger) {
        target.SetReal(value.GetLong());
      } else if (from == VarType::kNumber) {
        target.SetReal(value.GetReal());
      }
      break;
    case VarType::kInteger:
      if (from == VarType::kString) {
        auto parsed = tvn::numtext::ParseIntegerPrefix(value.GetString().view());
        target.SetLong(Saturate(parsed ? parsed->value : 0));
      } else if (from == VarType::kNumber) {
        target.SetLong(TruncateToLong(value.GetReal()));
      } else if (from == VarType::kInteger) {
        target.SetLong(value.GetLong());
      }
      break;
    case VarType::kDateTime: target.SetDateTime(value.GetDateTime()); break;
    case VarType::kTimeSpan: target.SetTimeSpan(value.GetTimeSpan()); break;
    default: break;
  }
}
