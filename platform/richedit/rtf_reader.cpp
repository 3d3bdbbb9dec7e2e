// The RTF reader: tokens, groups and destinations into the run model, bounded against hostile input.
#include "platform/richedit/rtf_reader.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <optional>

#include "platform/base/codepage.h"

namespace tvn::rtf {
namespace {

constexpr std::size_t kMaxFonts = 4096;
constexpr std::size_t kMaxColours = 4096;
constexpr int kMaxWordLetters = 32;
constexpr int kMaxDigits = 10;
constexpr LONG kMaxTwips = 1 << 22;  // about 73 metres: anything larger is a forged number

enum class Dest { text, skip, fontTable, colourTable, picture, bullet };

// The control words the reader acts on.
enum class Word {
  unknown, ansi, b, bin, blue, bullet, cb, cell, cf, dibitmap, deff, dn, emdash, emspace, endash, enspace,
  f, fbidi, fcharset, fdecor, fi, field, fldinst, fldrslt, fmodern, fnil, fonttbl, fprq, froman, fs, fscript,
  fswiss, ftech, green, i, intbl, jpegblip, ldblquote, li, line, lquote, nestcell, nestrow, nonshppict, nosupersub,
  object, objdata, page, par, pard, picscalex, picscaley, pich, pichgoal, pict, picw, picwgoal, plain, pn,
  pnlvlblt, pngblip, pntext, protect, qc, qj, ql, qr, rdblquote, red, result, ri, row, rquote, rtf, sect,
  shppict, strike, tab, tx, u, uc, ul, uld, uldash, uldb, ulnone, ulth, ulw, ulwave, up, wmetafile, colortbl,
  skipDest,  // destinations whose content is never shown
};

struct WordName {
  std::string_view name;
  Word word;
};

// Sorted by name for the binary search.
constexpr WordName kWords[] = {
      {"ansi", Word::ansi}, {"author", Word::skipDest}, {"b", Word::b}, {"bin", Word::bin},
      {"bkmkend", Word::skipDest}, {"bkmkstart", Word::skipDest}, {"blue", Word::blue},
      {"bullet", Word::bullet}, {"buptim", Word::skipDest}, {"cb", Word::cb}, {"cell", Word::cell},
      {"cf", Word::cf}, {"colortbl", Word::colortbl}, {"comment", Word::skipDest},
      {"creatim", Word::skipDest}, {"datastore", Word::skipDest}, {"deff", Word::deff},
      {"dibitmap", Word::dibitmap}, {"dn", Word::dn}, {"doccomm", Word::skipDest}, {"docvar", Word::skipDest},
      {"emdash", Word::emdash}, {"emfblip", Word::skipDest}, {"emspace", Word::emspace},
      {"endash", Word::endash}, {"enspace", Word::enspace}, {"f", Word::f}, {"falt", Word::skipDest},
      {"fbidi", Word::fbidi}, {"fcharset", Word::fcharset}, {"fdecor", Word::fdecor}, {"fi", Word::fi},
      {"field", Word::field}, {"filetbl", Word::skipDest}, {"fldinst", Word::fldinst},
      {"fldrslt", Word::fldrslt}, {"fmodern", Word::fmodern}, {"fnil", Word::fnil},
      {"fonttbl", Word::fonttbl}, {"footer", Word::skipDest}, {"footerf", Word::skipDest},
      {"footerl", Word::skipDest}, {"footerr", Word::skipDest}, {"footnote", Word::skipDest},
      {"fprq", Word::fprq}, {"froman", Word::froman}, {"fs", Word::fs}, {"fscript", Word::fscript},
      {"fswiss", Word::fswiss}, {"ftech", Word::ftech}, {"generator", Word::skipDest}, {"green", Word::green},
      {"header", Word::skipDest}, {"headerf", Word::skipDest}, {"headerl", Word::skipDest},
      {"headerr", Word::skipDest}, {"i", Word::i}, {"info", Word::skipDest}, {"intbl", Word::intbl},
      {"jpegblip", Word::jpegblip}, {"keywords", Word::skipDest}, {"latentstyles", Word::skipDest},
      {"ldblquote", Word::ldblquote}, {"li", Word::li}, {"line", Word::line},
      {"listoverridetable", Word::skipDest}, {"listtable", Word::skipDest}, {"lquote", Word::lquote},
      {"macpict", Word::skipDest}, {"nestcell", Word::nestcell}, {"nestrow", Word::nestrow},
      {"nonshppict", Word::nonshppict}, {"nosupersub", Word::nosupersub}, {"objclass", Word::skipDest},
      {"objdata", Word::objdata}, {"object", Word::object}, {"objname", Word::skipDest},
      {"operator", Word::skipDest}, {"page", Word::page}, {"par", Word::par}, {"pard", Word::pard},
      {"pich", Word::pich}, {"pichgoal", Word::pichgoal}, {"picscalex", Word::picscalex},
      {"picscaley", Word::picscaley}, {"pict", Word::pict}, {"picw", Word::picw},
      {"picwgoal", Word::picwgoal}, {"plain", Word::plain}, {"pn", Word::pn}, {"pngblip", Word::pngblip},
      {"pnlvlblt", Word::pnlvlblt}, {"pnseclvl", Word::skipDest}, {"pntext", Word::pntext},
      {"printim", Word::skipDest}, {"private", Word::skipDest}, {"protect", Word::protect}, {"qc", Word::qc},
      {"qj", Word::qj}, {"ql", Word::ql}, {"qr", Word::qr}, {"rdblquote", Word::rdblquote},
      {"red", Word::red}, {"result", Word::result}, {"revtbl", Word::skipDest}, {"revtim", Word::skipDest},
      {"ri", Word::ri}, {"row", Word::row}, {"rquote", Word::rquote}, {"rsidtbl", Word::skipDest},
      {"rtf", Word::rtf}, {"sect", Word::sect}, {"shppict", Word::shppict}, {"strike", Word::strike},
      {"stylesheet", Word::skipDest}, {"subject", Word::skipDest}, {"tab", Word::tab}, {"tc", Word::skipDest},
      {"template", Word::skipDest}, {"themedata", Word::skipDest}, {"title", Word::skipDest},
      {"tx", Word::tx}, {"u", Word::u}, {"uc", Word::uc}, {"ul", Word::ul}, {"uld", Word::uld},
      {"uldash", Word::uldash}, {"uldb", Word::uldb}, {"ulnone", Word::ulnone}, {"ulth", Word::ulth},
      {"ulw", Word::ulw}, {"ulwave", Word::ulwave}, {"up", Word::up}, {"userprops", Word::skipDest},
      {"wmetafile", Word::wmetafile}, {"xe", Word::skipDest}, {"xmlnstbl", Word::skipDest},
};
static_assert(std::is_sorted(std::begin(kWords), std::end(kWords),
                             [](const WordName& a, const WordName& b) { return a.name < b.name; }));

Word Lookup(std::string_view name) {
  const auto* it = std::lower_bound(std::begin(kWords), std::end(kWords), name,
                                    [](const WordName& w, std::string_view n) { return w.name < n; });
  return it != std::end(kWords) && it->name == name ? it->word : Word::unknown;
}

struct Font {
  std::string name;
  bool named = false;  // the ';' that ends the name was seen
  BYTE charset = 0;
  BYTE family = 0;
  BYTE pitch = 0;
};

// Everything a group inherits and restores.
struct State {
  Dest dest = Dest::text;
  int font = -1;  // -1: the default font (\deff)
  int size = 24;  // half points
  int colour = 0;
  DWORD effects = 0;
  LONG offset = 0;  // twips
  int uc = 1;
  LONG li = 0, ri = 0, fi = 0;
  PARAFORMAT para = DefaultParaFormat();
};

constexpr bool IsHex(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
constexpr int HexValue(char c) { return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10; }

LONG ClampTwips(long long v) { return static_cast<LONG>(std::clamp<long long>(v, -kMaxTwips, kMaxTwips)); }

class Reader {
 public:
  explicit Reader(std::string_view in) : m_in(in) {}

  ReadResult Parse();

 private:
  bool AtEnd() const { return m_pos >= m_in.size(); }
  void OpenGroup();
  bool CloseGroup();  // false when the document's group closed
  void ControlWord();
  void ControlSymbol(char c);
  void Apply(Word word, std::string_view name, bool hasParam, long long param);
  void SetDest(Dest dest) { m_state.dest = dest; }
  void Text(std::string_view bytes);
  void TextByte(unsigned char byte) { Text(std::string_view(reinterpret_cast<const char*>(&byte), 1)); }
  void BodyText(std::string_view bytes);
  void EndParagraph(bool row);
  void FinishPicture();
  const CHARFORMAT& Format();
  bool Skipping() const { return m_state.dest == Dest::skip; }

  std::string_view m_in;
  std::size_t m_pos = 0;
  ReadResult m_result;
  State m_state;
  std::vector<State> m_stack;
  int m_overflow = 0;       // groups opened beyond kMaxDepth, skipped whole
  bool m_ignorable = false; // "\*" seen: an unknown destination that follows is skipped
  int m_pendingSkip = 0;    // characters still to drop after \u
  int m_deff = 0;
  std::map<int, Font> m_fonts;
  int m_currentFont = -1;   // the font-table entry being read
  std::vector<std::optional<COLORREF>> m_colours;
  std::array<int, 3> m_rgb{};
  bool m_rgbSet = false;
  std::optional<Picture> m_picture;
  std::size_t m_pictureDepth = 0;
  std::size_t m_bulletDepth = 0;
  int m_nibble = -1;
  std::optional<CHARFORMAT> m_format;  // made from the state on first use, dropped when it changes
};

ReadResult Reader::Parse() {
  // Leading white space is allowed; anything else must open the document's group.
  while (!AtEnd() && (m_in[m_pos] == ' ' || m_in[m_pos] == '\r' || m_in[m_pos] == '\n' || m_in[m_pos] == '\t'))
    ++m_pos;
  if (m_in.substr(m_pos, 5) != "{\\rtf") {
    m_result.status = ReadStatus::notRtf;
    return std::move(m_result);
  }
  bool closed = false;
  while (!AtEnd() && !closed) {
    const char c = m_in[m_pos];
    if (c == '{') {
      ++m_pos;
      OpenGroup();
    } else if (c == '}') {
      ++m_pos;
      closed = !CloseGroup();
    } else if (c == '\\') {
      ++m_pos;
      if (AtEnd()) break;
      const char next = m_in[m_pos];
      if ((next >= 'a' && next <= 'z') || (next >= 'A' && next <= 'Z')) ControlWord();
      else {
        ++m_pos;
        ControlSymbol(next);
      }
      if (m_result.status == ReadStatus::truncated) break;
    } else if (c == '\r' || c == '\n') {
      ++m_pos;
    } else {
      const std::size_t start = m_pos;
      while (!AtEnd() && m_in[m_pos] != '\\' && m_in[m_pos] != '{' && m_in[m_pos] != '}' && m_in[m_pos] != '\r' &&
             m_in[m_pos] != '\n')
        ++m_pos;
      Text(m_in.substr(start, m_pos - start));
    }
  }
  if (!closed && m_result.status == ReadStatus::ok) m_result.status = ReadStatus::unbalanced;
  if (m_picture) FinishPicture();
  // The last paragraph has no mark: it takes the format in force at the end.
  if (!closed) m_result.document.paragraphs.back().format = m_state.para;
  return std::move(m_result);
}

void Reader::OpenGroup() {
  if (m_overflow > 0 || m_stack.size() >= static_cast<std::size_t>(kMaxDepth)) {
    ++m_overflow;
    if (m_result.status == ReadStatus::ok) m_result.status = ReadStatus::tooDeep;
    return;
  }
  m_stack.push_back(m_state);
  m_ignorable = false;
  m_pendingSkip = 0;
}

bool Reader::CloseGroup() {
  if (m_overflow > 0) {
    --m_overflow;
    return true;
  }
  if (m_picture && m_stack.size() == m_pictureDepth) FinishPicture();
  if (m_stack.empty()) {
    if (m_result.status == ReadStatus::ok) m_result.status = ReadStatus::unbalanced;
    return false;
  }
  // A font-table entry or a colour left open ends with its group.
  if (m_state.dest == Dest::colourTable && m_rgbSet && m_colours.size() < kMaxColours) {
    m_colours.push_back(RGB(m_rgb[0], m_rgb[1], m_rgb[2]));
    m_rgbSet = false;
  }
  if (m_stack.size() == 1) m_result.document.paragraphs.back().format = m_state.para;
  const Dest before = m_state.dest;
  m_state = m_stack.back();
  m_stack.pop_back();
  if (before == Dest::fontTable && m_state.dest != Dest::fontTable) m_currentFont = -1;
  m_format.reset();
  m_ignorable = false;
  m_pendingSkip = 0;
  return !m_stack.empty();
}

void Reader::ControlWord() {
  const std::size_t start = m_pos;
  while (!AtEnd() && ((m_in[m_pos] >= 'a' && m_in[m_pos] <= 'z') || (m_in[m_pos] >= 'A' && m_in[m_pos] <= 'Z')))
    ++m_pos;
  const std::string_view name = m_in.substr(start, std::min<std::size_t>(m_pos - start, kMaxWordLetters + 1));
  bool negative = false;
  if (!AtEnd() && m_in[m_pos] == '-' && m_pos + 1 < m_in.size() && m_in[m_pos + 1] >= '0' && m_in[m_pos + 1] <= '9') {
    negative = true;
    ++m_pos;
  }
  bool hasParam = false;
  long long value = 0;
  int digits = 0;
  while (!AtEnd() && m_in[m_pos] >= '0' && m_in[m_pos] <= '9') {
    if (digits++ < kMaxDigits) value = value * 10 + (m_in[m_pos] - '0');
    hasParam = true;
    ++m_pos;
  }
  value = std::min<long long>(value, 0x7FFFFFFF);
  if (negative) value = -value;
  if (!AtEnd() && m_in[m_pos] == ' ') ++m_pos;

  const Word word = Lookup(name);
  if (m_overflow > 0) {
    if (word == Word::bin && hasParam && value > 0) {
      if (static_cast<unsigned long long>(value) > m_in.size() - m_pos) m_result.status = ReadStatus::truncated;
      else m_pos += static_cast<std::size_t>(value);
    }
    return;
  }
  if (m_pendingSkip > 0 && word != Word::bin) {
    --m_pendingSkip;
    return;
  }
  Apply(word, name, hasParam, value);
}

void Reader::ControlSymbol(char c) {
  if (m_overflow > 0) {
    if (c == '\'') {
      for (int n = 0; n < 2 && !AtEnd() && IsHex(m_in[m_pos]); ++n) ++m_pos;
    }
    return;
  }
  switch (c) {
    case '\\': case '{': case '}':
      Text(std::string_view(&m_in[m_pos - 1], 1));
      return;
    case '\'': {
      if (m_pos + 1 < m_in.size() && IsHex(m_in[m_pos]) && IsHex(m_in[m_pos + 1])) {
        const auto byte = static_cast<unsigned char>(HexValue(m_in[m_pos]) * 16 + HexValue(m_in[m_pos + 1]));
        m_pos += 2;
        TextByte(byte);
      } else if (!AtEnd() && IsHex(m_in[m_pos])) {
        ++m_pos;  // half an escape shows nothing
      }
      return;
    }
    case '*':
      m_ignorable = true;
      return;
    case '~':
      TextByte(0xA0);
      return;
    case '_':
      TextByte('-');
      return;
    case '\r': case '\n':
      if (m_pendingSkip > 0) --m_pendingSkip;
      else Apply(Word::par, "par", false, 0);
      return;
    default:
      if (m_pendingSkip > 0) --m_pendingSkip;
      return;  // optional hyphen, index marks and the like show nothing
  }
}

void Reader::Apply(Word word, std::string_view name, bool hasParam, long long param) {
  const bool ignorable = m_ignorable;
  m_ignorable = false;
  const int n = static_cast<int>(param);
  const bool on = !hasParam || param != 0;

  if (word == Word::bin) {
    // Binary data: bytes as they are, in a picture its data, elsewhere skipped.
    const long long count = std::max<long long>(param, 0);
    if (static_cast<unsigned long long>(count) > m_in.size() - m_pos) {
      m_result.status = ReadStatus::truncated;
      return;
    }
    if (m_state.dest == Dest::picture && m_picture)
      m_picture->bytes.append(m_in.substr(m_pos, static_cast<std::size_t>(count)));
    m_pos += static_cast<std::size_t>(count);
    return;
  }
  if (Skipping()) return;

  // Destinations.
  switch (word) {
    case Word::skipDest: case Word::fldinst: case Word::objdata: case Word::nonshppict: case Word::pntext:
      SetDest(Dest::skip);
      return;
    case Word::fonttbl:
      SetDest(Dest::fontTable);
      return;
    case Word::colortbl:
      SetDest(Dest::colourTable);
      m_rgbSet = false;
      return;
    case Word::pict:
      if (m_state.dest != Dest::text || m_picture) {
        SetDest(Dest::skip);
        return;
      }
      SetDest(Dest::picture);
      m_picture.emplace();
      m_pictureDepth = m_stack.size();
      m_nibble = -1;
      return;
    case Word::pn:
      SetDest(Dest::bullet);
      m_bulletDepth = m_stack.size();
      return;
    case Word::fldrslt: case Word::result: case Word::field: case Word::object: case Word::shppict:
      return;  // their text shows as it is
    case Word::unknown:
      if (ignorable) SetDest(Dest::skip);
      return;
    default:
      break;
  }

  if (m_state.dest == Dest::bullet) {
    // The bullet belongs to the paragraph the numbering group stands in.
    if (word == Word::pnlvlblt && m_bulletDepth > 0 && m_bulletDepth <= m_stack.size())
      m_stack[m_bulletDepth - 1].para.wNumbering = PFN_BULLET;
    return;
  }
  if (m_state.dest == Dest::fontTable) {
    Font* font = m_currentFont >= 0 ? &m_fonts[m_currentFont] : nullptr;
    switch (word) {
      case Word::f:
        if (m_fonts.size() < kMaxFonts || m_fonts.count(n)) {
          m_currentFont = n;
          m_fonts[n] = Font{};
        } else {
          m_currentFont = -1;
        }
        return;
      case Word::fnil: case Word::fbidi: case Word::ftech: if (font) font->family = 0; return;
      case Word::froman: if (font) font->family = 0x10; return;
      case Word::fswiss: if (font) font->family = 0x20; return;
      case Word::fmodern: if (font) font->family = 0x30; return;
      case Word::fscript: if (font) font->family = 0x40; return;
      case Word::fdecor: if (font) font->family = 0x50; return;
      case Word::fprq: if (font) font->pitch = static_cast<BYTE>(std::clamp(n, 0, 15)); return;
      case Word::fcharset: if (font) font->charset = static_cast<BYTE>(std::clamp(n, 0, 255)); return;
      default: return;
    }
  }
  if (m_state.dest == Dest::colourTable) {
    const int v = std::clamp(n, 0, 255);
    switch (word) {
      case Word::red: m_rgb[0] = v; m_rgbSet = true; return;
      case Word::green: m_rgb[1] = v; m_rgbSet = true; return;
      case Word::blue: m_rgb[2] = v; m_rgbSet = true; return;
      default: return;
    }
  }
  if (m_state.dest == Dest::picture) {
    Picture& p = *m_picture;
    const int size = std::clamp(n, 0, 32767);
    switch (word) {
      case Word::wmetafile: p.kind = Picture::Kind::wmf; return;
      case Word::dibitmap: p.kind = Picture::Kind::dib; return;
      case Word::pngblip: p.kind = Picture::Kind::png; return;
      case Word::jpegblip: p.kind = Picture::Kind::jpeg; return;
      case Word::picw: p.width = size; return;
      case Word::pich: p.height = size; return;
      case Word::picwgoal: p.goalWidth = ClampTwips(std::max(n, 0)); return;
      case Word::pichgoal: p.goalHeight = ClampTwips(std::max(n, 0)); return;
      default: return;
    }
  }

  // Body text: characters, character formats and paragraph formats.
  m_format.reset();
  State& s = m_state;
  switch (word) {
    case Word::rtf: case Word::ansi: return;
    case Word::deff: m_deff = n; return;
    case Word::par: case Word::page: case Word::sect: EndParagraph(false); return;
    case Word::row: case Word::nestrow: EndParagraph(true); return;
    case Word::cell: case Word::nestcell: case Word::tab: TextByte('\t'); return;
    case Word::line: TextByte('\v'); return;
    case Word::emdash: TextByte(0x97); return;
    case Word::endash: TextByte(0x96); return;
    case Word::lquote: TextByte(0x91); return;
    case Word::rquote: TextByte(0x92); return;
    case Word::ldblquote: TextByte(0x93); return;
    case Word::rdblquote: TextByte(0x94); return;
    case Word::bullet: TextByte(0x95); return;
    case Word::emspace: case Word::enspace: TextByte(' '); return;
    case Word::u: {
      const long ch = n < 0 ? n + 65536 : n;
      TextByte(ch >= 0 && ch <= 0x10FFFF ? codepage::FromUnicode(static_cast<char32_t>(ch)) : '?');
      m_pendingSkip = s.uc;
      return;
    }
    case Word::uc: s.uc = std::clamp(n, 0, 10); return;
    case Word::plain:
      s.font = -1;
      s.size = 24;
      s.colour = 0;
      s.effects = 0;
      s.offset = 0;
      return;
    case Word::f: s.font = n; return;
    case Word::fs: s.size = std::clamp(hasParam ? n : 24, 0, 3276); return;
    case Word::cf: s.colour = std::max(n, 0); return;
    case Word::b: s.effects = on ? s.effects | CFE_BOLD : s.effects & ~CFE_BOLD; return;
    case Word::i: s.effects = on ? s.effects | CFE_ITALIC : s.effects & ~CFE_ITALIC; return;
    case Word::strike: s.effects = on ? s.effects | CFE_STRIKEOUT : s.effects & ~CFE_STRIKEOUT; return;
    case Word::protect: s.effects = on ? s.effects | CFE_PROTECTED : s.effects & ~CFE_PROTECTED; return;
    case Word::ul: case Word::uld: case Word::uldash: case Word::uldb: case Word::ulth: case Word::ulw:
    case Word::ulwave:
      s.effects = on ? s.effects | CFE_UNDERLINE : s.effects & ~CFE_UNDERLINE;
      return;
    case Word::ulnone: s.effects &= ~CFE_UNDERLINE; return;
    case Word::up: s.offset = std::clamp(hasParam ? n : 6, 0, 3276) * 10; return;
    case Word::dn: s.offset = -std::clamp(hasParam ? n : 6, 0, 3276) * 10; return;
    case Word::nosupersub: s.offset = 0; return;
    case Word::pard:
      s.para = DefaultParaFormat();
      s.li = s.ri = s.fi = 0;
      return;
    case Word::ql: s.para.wAlignment = PFA_LEFT; return;
    case Word::qr: s.para.wAlignment = PFA_RIGHT; return;
    case Word::qc: s.para.wAlignment = PFA_CENTER; return;
    case Word::qj: s.para.wAlignment = PFA_JUSTIFY; return;
    case Word::li: s.li = ClampTwips(n); break;
    case Word::ri: s.ri = ClampTwips(n); break;
    case Word::fi: s.fi = ClampTwips(n); break;
    case Word::tx:
      if (s.para.cTabCount < MAX_TAB_STOPS) s.para.rgxTabs[s.para.cTabCount++] = ClampTwips(std::max(n, 0));
      return;
    default: return;
  }
  // The control keeps the first line's indent and the others' offset from it.
  s.para.dxStartIndent = s.li + s.fi;  // each is clamped, so the sum fits
  s.para.dxOffset = ClampTwips(-static_cast<long long>(s.fi));
  s.para.dxRightIndent = s.ri;
  (void)name;
}

void Reader::Text(std::string_view bytes) {
  if (m_overflow > 0 || bytes.empty()) return;
  if (m_pendingSkip > 0) {
    const std::size_t dropped = std::min<std::size_t>(static_cast<std::size_t>(m_pendingSkip), bytes.size());
    m_pendingSkip -= static_cast<int>(dropped);
    bytes.remove_prefix(dropped);
    if (bytes.empty()) return;
  }
  switch (m_state.dest) {
    case Dest::text:
      BodyText(bytes);
      return;
    case Dest::fontTable: {
      if (m_currentFont < 0) return;
      Font& font = m_fonts[m_currentFont];
      if (font.named) return;
      const std::size_t semi = bytes.find(';');
      const std::string_view part = bytes.substr(0, semi);
      if (font.name.size() < LF_FACESIZE) font.name.append(part.substr(0, LF_FACESIZE - font.name.size()));
      if (semi != std::string_view::npos) font.named = true;
      return;
    }
    case Dest::colourTable:
      for (char c : bytes) {
        if (c != ';' || m_colours.size() >= kMaxColours) continue;
        if (m_rgbSet) m_colours.push_back(RGB(m_rgb[0], m_rgb[1], m_rgb[2]));
        else m_colours.push_back(std::nullopt);
        m_rgb = {};
        m_rgbSet = false;
      }
      return;
    case Dest::picture:
      for (char c : bytes) {
        if (!IsHex(c)) continue;
        if (m_nibble < 0) m_nibble = HexValue(c);
        else {
          m_picture->bytes.push_back(static_cast<char>(m_nibble * 16 + HexValue(c)));
          m_nibble = -1;
        }
      }
      return;
    default:
      return;
  }
}

const CHARFORMAT& Reader::Format() {
  if (m_format) return *m_format;
  CHARFORMAT f = DefaultCharFormat();
  f.dwEffects = m_state.effects;
  f.yHeight = m_state.size * 10;
  f.yOffset = m_state.offset;
  const int fontNumber = m_state.font < 0 ? m_deff : m_state.font;
  if (auto it = m_fonts.find(fontNumber); it != m_fonts.end()) {
    SetFace(f, it->second.name);
    f.bCharSet = it->second.charset;
    f.bPitchAndFamily = static_cast<BYTE>(it->second.family | it->second.pitch);
  }
  const auto index = static_cast<std::size_t>(m_state.colour);
  if (index < m_colours.size() && m_colours[index]) f.crTextColor = *m_colours[index];
  else f.dwEffects |= CFE_AUTOCOLOR;
  m_format = f;
  return *m_format;
}

void Reader::BodyText(std::string_view bytes) {
  std::vector<Run>& runs = m_result.document.paragraphs.back().runs;
  const CHARFORMAT& format = Format();
  if (runs.empty() || runs.back().picture || !SameCharFormat(runs.back().format, format))
    runs.push_back(Run{std::string(), format, nullptr});
  std::string& text = runs.back().text;
  for (char c : bytes) {
    // Control characters other than tab and line break are not text.
    if (static_cast<unsigned char>(c) >= 0x20 || c == '\t' || c == '\v') text.push_back(c);
  }
  if (text.empty()) runs.pop_back();
}

void Reader::EndParagraph(bool row) {
  Paragraph& done = m_result.document.paragraphs.back();
  // A table row is one paragraph of its cells, separated by tabs.
  if (row && !done.runs.empty() && !done.runs.back().picture && !done.runs.back().text.empty() &&
      done.runs.back().text.back() == '\t') {
    done.runs.back().text.pop_back();
    if (done.runs.back().text.empty()) done.runs.pop_back();
  }
  done.format = m_state.para;
  m_result.document.paragraphs.emplace_back();
}

void Reader::FinishPicture() {
  Picture picture = std::move(*m_picture);
  m_picture.reset();
  if (picture.bytes.empty()) return;
  // The picture takes the format of the text around it.
  m_format.reset();
  const State& outer = m_pictureDepth > 0 && m_pictureDepth <= m_stack.size() ? m_stack[m_pictureDepth - 1] : m_state;
  const State saved = m_state;
  m_state = outer;
  m_state.dest = Dest::text;
  Run run{std::string(), Format(), std::make_shared<const Picture>(std::move(picture))};
  m_state = saved;
  m_format.reset();
  m_result.document.paragraphs.back().runs.push_back(std::move(run));
}

}  // namespace

ReadResult ReadRtf(std::string_view rtf) { return Reader(rtf).Parse(); }

Document ReadPlainText(std::string_view text) {
  Document doc;
  const CHARFORMAT format = DefaultCharFormat();
  std::size_t start = 0;
  auto addLine = [&](std::string_view line, bool last) {
    std::string kept;
    kept.reserve(line.size());
    for (char c : line)
      if (static_cast<unsigned char>(c) >= 0x20 || c == '\t') kept.push_back(c);
    if (!kept.empty()) doc.paragraphs.back().runs.push_back(Run{std::move(kept), format, nullptr});
    if (!last) doc.paragraphs.emplace_back();
  };
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    addLine(text.substr(start, i - start), false);
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  addLine(text.substr(start), true);
  return doc;
}

}  // namespace tvn::rtf
