// The RTF writer: font and colour tables, then each paragraph's format and runs.
#include "platform/richedit/rtf_writer.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <tuple>

namespace tvn::rtf {
namespace {

using FontKey = std::tuple<std::string, BYTE, BYTE>;  // face, character set, pitch and family

void Number(std::string& out, long long value) {
  char buffer[24];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  out.append(buffer, result.ptr);
}

void Word(std::string& out, const char* word, long long value) {
  out += word;
  Number(out, value);
}

// Text bytes as RTF: escapes for the three special characters, \'hh above 127
// and below 32; in running text tabs and line breaks as their words (a font
// name keeps them as bytes).
void Escaped(std::string& out, std::string_view text, bool runningText = true) {
  static constexpr char kHex[] = "0123456789abcdef";
  for (char c : text) {
    const auto b = static_cast<unsigned char>(c);
    if (c == '\\' || c == '{' || c == '}') {
      out += '\\';
      out += c;
    } else if (c == '\t' && runningText) {
      out += "\\tab ";
    } else if (c == '\v' && runningText) {
      out += "\\line ";
    } else if (b >= 0x80 || b < 0x20) {
      out += "\\'";
      out += kHex[b >> 4];
      out += kHex[b & 0xF];
    } else {
      out += c;
    }
  }
}

const char* FamilyWord(BYTE pitchAndFamily) {
  switch (pitchAndFamily & 0xF0) {
    case 0x10: return "\\froman";
    case 0x20: return "\\fswiss";
    case 0x30: return "\\fmodern";
    case 0x40: return "\\fscript";
    case 0x50: return "\\fdecor";
    default: return "\\fnil";
  }
}

void WritePicture(std::string& out, const rtf::Picture& p) {
  static constexpr char kHex[] = "0123456789abcdef";
  out += "{\\pict";
  switch (p.kind) {
    case Picture::Kind::wmf: out += "\\wmetafile8"; break;
    case Picture::Kind::dib: out += "\\dibitmap0"; break;
    case Picture::Kind::png: out += "\\pngblip"; break;
    case Picture::Kind::jpeg: out += "\\jpegblip"; break;
  }
  Word(out, "\\picw", p.width);
  Word(out, "\\pich", p.height);
  if (p.goalWidth) Word(out, "\\picwgoal", p.goalWidth);
  if (p.goalHeight) Word(out, "\\pichgoal", p.goalHeight);
  out += '\n';
  for (std::size_t i = 0; i < p.bytes.size(); ++i) {
    const auto b = static_cast<unsigned char>(p.bytes[i]);
    out += kHex[b >> 4];
    out += kHex[b & 0xF];
    if (i % 64 == 63) out += '\n';
  }
  out += '}';
}

}  // namespace

std::string WriteRtf(const Document& document) {
  std::map<FontKey, int> fonts;
  std::map<COLORREF, int> colours;
  std::vector<const FontKey*> fontOrder;
  std::vector<COLORREF> colourOrder;
  std::size_t textBytes = 0;
  for (const Paragraph& para : document.paragraphs) {
    for (const Run& run : para.runs) {
      textBytes += run.text.size() + (run.picture ? run.picture->bytes.size() * 2 : 0);
      const CHARFORMAT& f = run.format;
      FontKey key{std::string(FaceOf(f)), f.bCharSet, f.bPitchAndFamily};
      if (auto [it, added] = fonts.emplace(std::move(key), static_cast<int>(fonts.size())); added)
        fontOrder.push_back(&it->first);
      if (!(f.dwEffects & CFE_AUTOCOLOR) && colours.emplace(f.crTextColor, static_cast<int>(colours.size()) + 1).second)
        colourOrder.push_back(f.crTextColor);
    }
  }

  std::string out;
  out.reserve(textBytes + textBytes / 4 + 256);
  out += "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl";
  for (std::size_t i = 0; i < fontOrder.size(); ++i) {
    const auto& [face, charset, pitchAndFamily] = *fontOrder[i];
    Word(out, "{\\f", static_cast<long long>(i));
    out += FamilyWord(pitchAndFamily);
    if (pitchAndFamily & 0x0F) Word(out, "\\fprq", pitchAndFamily & 0x0F);
    Word(out, "\\fcharset", charset);
    out += ' ';
    Escaped(out, face, false);
    out += ";}";
  }
  out += "}\n{\\colortbl ;";
  for (COLORREF c : colourOrder) {
    Word(out, "\\red", GetRValue(c));
    Word(out, "\\green", GetGValue(c));
    Word(out, "\\blue", GetBValue(c));
    out += ';';
  }
  out += "}\n";

  for (std::size_t p = 0; p < document.paragraphs.size(); ++p) {
    const Paragraph& para = document.paragraphs[p];
    const PARAFORMAT& pf = para.format;
    out += "\\pard";
    if (pf.wNumbering == PFN_BULLET) out += "{\\*\\pn\\pnlvlblt{\\pntxtb\\'b7}}";
    if (pf.wAlignment == PFA_RIGHT) out += "\\qr";
    else if (pf.wAlignment == PFA_CENTER) out += "\\qc";
    else if (pf.wAlignment == PFA_JUSTIFY) out += "\\qj";
    const long long fi = -static_cast<long long>(pf.dxOffset);
    const long long li = static_cast<long long>(pf.dxStartIndent) + pf.dxOffset;
    if (li) Word(out, "\\li", li);
    if (fi) Word(out, "\\fi", fi);
    if (pf.dxRightIndent) Word(out, "\\ri", pf.dxRightIndent);
    for (int t = 0; t < std::clamp<int>(pf.cTabCount, 0, MAX_TAB_STOPS); ++t) Word(out, "\\tx", pf.rgxTabs[t]);
    for (const Run& run : para.runs) {
      const CHARFORMAT& f = run.format;
      out += "\\plain";
      Word(out, "\\f", fonts[FontKey{std::string(FaceOf(f)), f.bCharSet, f.bPitchAndFamily}]);
      Word(out, "\\fs", f.yHeight / 10);
      Word(out, "\\cf", (f.dwEffects & CFE_AUTOCOLOR) ? 0 : colours[f.crTextColor]);
      if (f.dwEffects & CFE_BOLD) out += "\\b";
      if (f.dwEffects & CFE_ITALIC) out += "\\i";
      if (f.dwEffects & CFE_UNDERLINE) out += "\\ul";
      if (f.dwEffects & CFE_STRIKEOUT) out += "\\strike";
      if (f.dwEffects & CFE_PROTECTED) out += "\\protect";
      if (f.yOffset > 0) Word(out, "\\up", f.yOffset / 10);
      else if (f.yOffset < 0) Word(out, "\\dn", -(f.yOffset / 10));
      if (run.picture) {
        WritePicture(out, *run.picture);
      } else {
        out += ' ';
        Escaped(out, run.text);
      }
    }
    if (p + 1 < document.paragraphs.size()) out += "\\par\n";
  }
  out += "}\n";
  return out;
}

std::string WritePlainText(const Document& document) {
  std::string out;
  for (std::size_t p = 0; p < document.paragraphs.size(); ++p) {
    if (p) out += "\r\n";
    for (const Run& run : document.paragraphs[p].runs) {
      for (char c : run.text) out += c == '\v' ? '\n' : c;
    }
  }
  return out;
}

}  // namespace tvn::rtf
