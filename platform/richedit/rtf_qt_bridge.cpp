// Filling a QTextDocument from the run model and reading it back, with the exact formats as properties.
#include "platform/richedit/rtf_qt_bridge.h"

#include <QAbstractTextDocumentLayout>
#include <QByteArray>
#include <QImage>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QUrl>

#include <algorithm>
#include <cstring>

#include "platform/base/codepage.h"
#include "platform/user/qt_char_format.h"

namespace tvn::rtf {
namespace {

constexpr int kCharFormatProperty = QTextFormat::UserProperty + 0x100;
constexpr int kParaFormatProperty = QTextFormat::UserProperty + 0x101;
constexpr int kPictureProperty = QTextFormat::UserProperty + 0x102;
constexpr double kTwipsPerPixel = 15.0;  // at the layout's 96 dots an inch

template <class T>
QByteArray Bytes(const T& value) {
  return QByteArray(reinterpret_cast<const char*>(&value), sizeof(T));
}

template <class T>
bool FromBytes(const QVariant& property, T& out) {
  const QByteArray bytes = property.toByteArray();
  if (bytes.size() != static_cast<qsizetype>(sizeof(T))) return false;
  std::memcpy(&out, bytes.constData(), sizeof(T));
  return true;
}

QString ToQt(std::string_view text) {
  std::u16string wide = codepage::ToUtf16(text);
  for (char16_t& c : wide)
    if (c == u'\v') c = 0x2028;
  return QString::fromStdU16String(wide);
}

std::string FromQt(const QString& text) {
  std::u16string wide = text.toStdU16String();
  for (char16_t& c : wide)
    if (c == 0x2028) c = u'\v';
  return codepage::FromUtf16(wide);
}

QTextCharFormat ToQtFormat(const CHARFORMAT& f) {
  QTextCharFormat q;
  // Windows faces are shown in the fonts that stand in for them. The font's
  // properties one by one: Qt's setFont would add an underline property of
  // its own beside the underline style.
  const QFont font = CharFormatToQFont(f);
  q.setFontFamilies(font.families());
  q.setFontPointSize(font.pointSizeF());
  q.setFontWeight(font.weight());
  q.setFontItalic(font.italic());
  q.setFontUnderline(font.underline());
  q.setFontStrikeOut(font.strikeOut());
  if (!(f.dwEffects & CFE_AUTOCOLOR))
    q.setForeground(QColor(GetRValue(f.crTextColor), GetGValue(f.crTextColor), GetBValue(f.crTextColor)));
  if (f.yOffset > 0) q.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
  else if (f.yOffset < 0) q.setVerticalAlignment(QTextCharFormat::AlignSubScript);
  q.setProperty(kCharFormatProperty, Bytes(f));
  return q;
}

// A format for text that came into the document without ours (typed later).
CHARFORMAT FromQtFormat(const QTextCharFormat& q) {
  CHARFORMAT f;
  if (FromBytes(q.property(kCharFormatProperty), f)) return f;
  f = DefaultCharFormat();
  const QStringList families = q.fontFamilies().toStringList();
  if (!families.isEmpty()) SetFace(f, FromQt(families.front()));
  if (q.fontPointSize() > 0) f.yHeight = static_cast<LONG>(q.fontPointSize() * 20 + 0.5);
  if (q.fontWeight() >= QFont::DemiBold) f.dwEffects |= CFE_BOLD;
  if (q.fontItalic()) f.dwEffects |= CFE_ITALIC;
  if (q.fontUnderline()) f.dwEffects |= CFE_UNDERLINE;
  if (q.fontStrikeOut()) f.dwEffects |= CFE_STRIKEOUT;
  if (q.hasProperty(QTextFormat::ForegroundBrush)) {
    const QColor c = q.foreground().color();
    f.crTextColor = RGB(static_cast<BYTE>(c.red()), static_cast<BYTE>(c.green()), static_cast<BYTE>(c.blue()));
    f.dwEffects &= ~CFE_AUTOCOLOR;
  }
  return f;
}

QTextBlockFormat ToQtBlock(const PARAFORMAT& p) {
  QTextBlockFormat b;
  // Qt leaves a paragraph's last line and a line ended by a forced break
  // unstretched, as justified text should be.
  b.setAlignment(p.wAlignment == PFA_RIGHT     ? Qt::AlignRight
                 : p.wAlignment == PFA_CENTER  ? Qt::AlignHCenter
                 : p.wAlignment == PFA_JUSTIFY ? Qt::AlignJustify
                                               : Qt::AlignLeft);
  // The first line starts at the start indent, the others at start + offset.
  const double first = p.dxStartIndent / kTwipsPerPixel;
  const double others = (static_cast<double>(p.dxStartIndent) + p.dxOffset) / kTwipsPerPixel;
  b.setLeftMargin(std::max(0.0, others));
  b.setTextIndent(first - std::max(0.0, others));
  b.setRightMargin(std::max(0.0, p.dxRightIndent / kTwipsPerPixel));
  QList<QTextOption::Tab> tabs;
  for (int i = 0; i < std::clamp<int>(p.cTabCount, 0, MAX_TAB_STOPS); ++i)
    tabs.append(QTextOption::Tab(p.rgxTabs[i] / kTwipsPerPixel, QTextOption::LeftTab));
  if (!tabs.isEmpty()) b.setTabPositions(tabs);
  b.setProperty(kParaFormatProperty, Bytes(p));
  return b;
}

QImage ToQImage(const platform::DecodedImage& decoded) {
  QImage image(decoded.width, decoded.height, QImage::Format_ARGB32);
  if (image.isNull()) return image;
  for (int y = 0; y < decoded.height; ++y)
    std::memcpy(image.scanLine(y), decoded.pixels.data() + static_cast<std::size_t>(y) * decoded.width,
                static_cast<std::size_t>(decoded.width) * 4);
  return image;
}

void InsertPicture(QTextDocument& document, QTextCursor& cursor, const Run& run,
                   std::vector<std::shared_ptr<const Picture>>& pictures, const PictureDecoder& decoder) {
  const int index = static_cast<int>(pictures.size());
  pictures.push_back(run.picture);
  const QString name = QStringLiteral("rtfpicture:%1").arg(index);
  std::optional<platform::DecodedImage> decoded = decoder ? decoder(*run.picture) : DecodePicture(*run.picture);
  QImage image = decoded ? ToQImage(*decoded) : QImage();
  double w = run.picture->goalWidth ? run.picture->goalWidth / kTwipsPerPixel : image.width();
  double h = run.picture->goalHeight ? run.picture->goalHeight / kTwipsPerPixel : image.height();
  if (w <= 0) w = std::clamp(run.picture->width, 1, 4096);
  if (h <= 0) h = std::clamp(run.picture->height, 1, 4096);
  if (image.isNull()) {
    image = QImage(1, 1, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
  }
  document.addResource(QTextDocument::ImageResource, QUrl(name), image);
  QTextImageFormat format;
  format.merge(ToQtFormat(run.format));
  format.setName(name);
  format.setWidth(w);
  format.setHeight(h);
  format.setProperty(kPictureProperty, index);
  cursor.insertImage(format);
}

}  // namespace

PARAFORMAT FromQtBlock(const QTextBlock& block) {
  PARAFORMAT p;
  if (FromBytes(block.blockFormat().property(kParaFormatProperty), p)) return p;
  p = DefaultParaFormat();
  const Qt::Alignment a = block.blockFormat().alignment();
  p.wAlignment = (a & Qt::AlignRight)     ? PFA_RIGHT
                 : (a & Qt::AlignHCenter) ? PFA_CENTER
                 : (a & Qt::AlignJustify) ? PFA_JUSTIFY
                                          : PFA_LEFT;
  if (block.textList()) p.wNumbering = PFN_BULLET;
  return p;
}

std::optional<platform::DecodedImage> DecodePicture(const Picture& picture) {
  const auto* data = reinterpret_cast<const std::uint8_t*>(picture.bytes.data());
  switch (picture.kind) {
    case Picture::Kind::png: case Picture::Kind::jpeg:
      return platform::DecodeImage(data, picture.bytes.size());
    case Picture::Kind::dib: {
      // The file header a packed DIB lacks: where its pixels start follows
      // from the header size and the colour table, both checked against the bytes.
      const std::size_t size = picture.bytes.size();
      if (size < 40) return std::nullopt;
      auto u32 = [&](std::size_t at) {
        return static_cast<std::uint32_t>(data[at] | data[at + 1] << 8 | data[at + 2] << 16 |
                                          static_cast<std::uint32_t>(data[at + 3]) << 24);
      };
      const std::uint32_t headerSize = u32(0);
      if (headerSize < 40 || headerSize > size) return std::nullopt;
      const unsigned bits = data[14] | data[15] << 8;
      std::uint64_t colours = u32(32);
      if (colours == 0 && bits <= 8) colours = 1ull << bits;
      if (colours > 256) return std::nullopt;
      const std::uint64_t masks = u32(16) == 3 && headerSize == 40 ? 12 : 0;  // BI_BITFIELDS
      const std::uint64_t offset = 14 + headerSize + masks + colours * 4;
      if (offset > 14 + size) return std::nullopt;
      std::vector<std::uint8_t> file(14 + size);
      const std::uint64_t total = file.size();
      const std::uint8_t header[14] = {'B', 'M',
                                       static_cast<std::uint8_t>(total), static_cast<std::uint8_t>(total >> 8),
                                       static_cast<std::uint8_t>(total >> 16), static_cast<std::uint8_t>(total >> 24),
                                       0, 0, 0, 0,
                                       static_cast<std::uint8_t>(offset), static_cast<std::uint8_t>(offset >> 8),
                                       static_cast<std::uint8_t>(offset >> 16), static_cast<std::uint8_t>(offset >> 24)};
      std::memcpy(file.data(), header, 14);
      std::memcpy(file.data() + 14, data, size);
      return platform::DecodeImage(file.data(), file.size());
    }
    case Picture::Kind::wmf:
      return std::nullopt;
  }
  return std::nullopt;
}

void FillQtDocument(QTextDocument& document, const Document& model,
                    std::vector<std::shared_ptr<const Picture>>& pictures, const PictureDecoder& decoder) {
  document.clear();
  pictures.clear();
  QTextCursor cursor(&document);
  cursor.beginEditBlock();
  QTextList* list = nullptr;
  for (std::size_t p = 0; p < model.paragraphs.size(); ++p) {
    const Paragraph& para = model.paragraphs[p];
    const QTextBlockFormat block = ToQtBlock(para.format);
    const QTextCharFormat first = para.runs.empty() ? ToQtFormat(DefaultCharFormat()) : ToQtFormat(para.runs[0].format);
    if (p == 0) {
      cursor.setBlockFormat(block);
      cursor.setBlockCharFormat(first);
    } else {
      cursor.insertBlock(block, first);
    }
    if (para.format.wNumbering == PFN_BULLET) {
      if (list) list->add(cursor.block());
      else list = cursor.createList(QTextListFormat::ListDisc);
    } else {
      list = nullptr;
    }
    for (const Run& run : para.runs) {
      if (run.picture) {
        InsertPicture(document, cursor, run, pictures, decoder);
      } else {
        cursor.insertText(ToQt(run.text), ToQtFormat(run.format));
      }
    }
  }
  cursor.endEditBlock();
}

Document ReadQtDocument(const QTextDocument& document, const std::vector<std::shared_ptr<const Picture>>& pictures) {
  Document model;
  model.paragraphs.clear();
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    Paragraph para;
    para.format = FromQtBlock(block);
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment fragment = it.fragment();
      if (!fragment.isValid()) continue;
      const QTextCharFormat q = fragment.charFormat();
      const CHARFORMAT format = FromQtFormat(q);
      const QString text = fragment.text();
      if (q.isImageFormat()) {
        const int index = q.property(kPictureProperty).isValid() ? q.property(kPictureProperty).toInt() : -1;
        for (qsizetype i = 0; i < text.size(); ++i) {
          if (index >= 0 && static_cast<std::size_t>(index) < pictures.size())
            para.runs.push_back(Run{std::string(), format, pictures[static_cast<std::size_t>(index)]});
        }
        continue;
      }
      std::string bytes = FromQt(text);
      if (bytes.empty()) continue;
      if (!para.runs.empty() && !para.runs.back().picture && SameCharFormat(para.runs.back().format, format))
        para.runs.back().text += bytes;
      else
        para.runs.push_back(Run{std::move(bytes), format, nullptr});
    }
    model.paragraphs.push_back(std::move(para));
  }
  if (model.paragraphs.empty()) model.paragraphs.emplace_back();
  return model;
}

CHARFORMAT CharFormatAt(const QTextDocument& document, int position) {
  const int length = std::max(0, document.characterCount() - 1);
  QTextCursor cursor(const_cast<QTextDocument*>(&document));  // a cursor that only reads
  // The format of a character is the one the cursor reports just after it.
  cursor.setPosition(std::clamp(position + 1, 0, length));
  if (position >= length) cursor.setPosition(length);
  return FromQtFormat(cursor.charFormat());
}

CHARFORMAT CharFormatOfRange(const QTextDocument& document, int start, int end) {
  if (end <= start) return CharFormatAt(document, start - 1);
  std::optional<CHARFORMAT> merged;
  for (QTextBlock block = document.findBlock(start); block.isValid() && block.position() < end;
       block = block.next()) {
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment fragment = it.fragment();
      if (!fragment.isValid()) continue;
      const int from = fragment.position();
      const int to = from + fragment.length();
      if (to <= start) continue;
      if (from >= end) break;
      const CHARFORMAT format = FromQtFormat(fragment.charFormat());
      if (!merged) merged = format;
      else MergeCharFormat(*merged, format);
    }
  }
  return merged ? *merged : CharFormatAt(document, start);
}

PARAFORMAT ParaFormatOfRange(const QTextDocument& document, int start, int end) {
  QTextBlock block = document.findBlock(start);
  PARAFORMAT merged = block.isValid() ? FromQtBlock(block) : DefaultParaFormat();
  for (block = block.isValid() ? block.next() : block; block.isValid() && block.position() < end;
       block = block.next())
    MergeParaFormat(merged, FromQtBlock(block));
  return merged;
}

QTextCharFormat ToQtCharFormat(const CHARFORMAT& format) { return ToQtFormat(format); }
CHARFORMAT FromQtCharFormat(const QTextCharFormat& format) { return FromQtFormat(format); }
QTextBlockFormat ToQtBlockFormat(const PARAFORMAT& format) { return ToQtBlock(format); }

void MergeMaskedCharFormat(CHARFORMAT& format, const CHARFORMAT& changes) {
  struct EffectBit {
    DWORD mask;
    DWORD effect;
  };
  constexpr EffectBit kEffects[] = {{CFM_BOLD, CFE_BOLD},           {CFM_ITALIC, CFE_ITALIC},
                                    {CFM_UNDERLINE, CFE_UNDERLINE}, {CFM_STRIKEOUT, CFE_STRIKEOUT},
                                    {CFM_PROTECTED, CFE_PROTECTED}, {CFM_LINK, CFM_LINK},
                                    {CFM_COLOR, CFE_AUTOCOLOR}};
  for (const EffectBit& bit : kEffects)
    if (changes.dwMask & bit.mask) format.dwEffects = (format.dwEffects & ~bit.effect) | (changes.dwEffects & bit.effect);
  if (changes.dwMask & CFM_SIZE) format.yHeight = changes.yHeight;
  if (changes.dwMask & CFM_OFFSET) format.yOffset = changes.yOffset;
  if (changes.dwMask & CFM_COLOR) format.crTextColor = changes.crTextColor;
  if (changes.dwMask & CFM_CHARSET) format.bCharSet = changes.bCharSet;
  if (changes.dwMask & CFM_FACE) {
    std::memcpy(format.szFaceName, changes.szFaceName, LF_FACESIZE);
    format.szFaceName[LF_FACESIZE - 1] = '\0';
    format.bPitchAndFamily = changes.bPitchAndFamily;
  }
  format.dwMask |= changes.dwMask;
}

void MergeMaskedParaFormat(PARAFORMAT& format, const PARAFORMAT& changes) {
  if (changes.dwMask & PFM_STARTINDENT) format.dxStartIndent = changes.dxStartIndent;
  if (changes.dwMask & PFM_RIGHTINDENT) format.dxRightIndent = changes.dxRightIndent;
  if (changes.dwMask & PFM_OFFSET) format.dxOffset = changes.dxOffset;
  if (changes.dwMask & PFM_ALIGNMENT) format.wAlignment = changes.wAlignment;
  if (changes.dwMask & PFM_NUMBERING) format.wNumbering = changes.wNumbering;
  if (changes.dwMask & PFM_TABSTOPS) {
    format.cTabCount = static_cast<short>(std::clamp<int>(changes.cTabCount, 0, MAX_TAB_STOPS));
    std::memcpy(format.rgxTabs, changes.rgxTabs, sizeof format.rgxTabs);
  }
  format.dwMask |= changes.dwMask;
}

void ApplyCharFormat(QTextDocument& document, int start, int end, const CHARFORMAT& changes) {
  struct Piece {
    int from;
    int to;
    QTextCharFormat format;
  };
  std::vector<Piece> pieces;
  for (QTextBlock block = document.findBlock(start); block.isValid() && block.position() < end; block = block.next()) {
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment fragment = it.fragment();
      if (!fragment.isValid()) continue;
      const int from = std::max(start, fragment.position());
      const int to = std::min(end, fragment.position() + fragment.length());
      if (from < to) pieces.push_back(Piece{from, to, fragment.charFormat()});
    }
  }
  QTextCursor cursor(&document);
  cursor.beginEditBlock();
  for (const Piece& piece : pieces) {
    CHARFORMAT format = FromQtFormat(piece.format);
    MergeMaskedCharFormat(format, changes);
    QTextCharFormat q = ToQtFormat(format);
    if (piece.format.isImageFormat()) {
      QTextCharFormat image = piece.format;
      image.merge(q);
      q = image;
    }
    cursor.setPosition(piece.from);
    cursor.setPosition(piece.to, QTextCursor::KeepAnchor);
    cursor.setCharFormat(q);
  }
  cursor.endEditBlock();
}

void ApplyParaFormat(QTextDocument& document, int start, int end, const PARAFORMAT& changes) {
  QTextCursor cursor(&document);
  cursor.beginEditBlock();
  for (QTextBlock block = document.findBlock(start); block.isValid() && (block.position() < end || block.position() <= start);
       block = block.next()) {
    PARAFORMAT format = FromQtBlock(block);
    MergeMaskedParaFormat(format, changes);
    cursor.setPosition(block.position());
    cursor.setBlockFormat(ToQtBlock(format));
    if (changes.dwMask & PFM_NUMBERING) {
      QTextList* list = block.textList();
      if (format.wNumbering == PFN_BULLET && !list) {
        if (QTextList* before = block.previous().isValid() ? block.previous().textList() : nullptr) before->add(block);
        else cursor.createList(QTextListFormat::ListDisc);
      } else if (format.wNumbering != PFN_BULLET && list) {
        list->remove(block);
        cursor.setBlockFormat(ToQtBlock(format));
      }
    }
  }
  cursor.endEditBlock();
}

void InsertModel(QTextDocument& document, QTextCursor& cursor, const Document& model,
                 std::vector<std::shared_ptr<const Picture>>& pictures, const PictureDecoder& decoder) {
  cursor.beginEditBlock();
  if (cursor.hasSelection()) cursor.removeSelectedText();
  for (std::size_t p = 0; p < model.paragraphs.size(); ++p) {
    const Paragraph& para = model.paragraphs[p];
    if (p > 0) {
      const QTextCharFormat first = para.runs.empty() ? cursor.charFormat() : ToQtFormat(para.runs[0].format);
      cursor.insertBlock(ToQtBlock(para.format), first);
    }
    for (const Run& run : para.runs) {
      if (run.picture) InsertPicture(document, cursor, run, pictures, decoder);
      else cursor.insertText(ToQt(run.text), ToQtFormat(run.format));
    }
  }
  cursor.endEditBlock();
}

Document SliceModel(const Document& model, long start, long end) {
  Document slice;
  slice.paragraphs.clear();
  long position = 0;
  for (const Paragraph& para : model.paragraphs) {
    long length = 0;
    for (const Run& run : para.runs) length += run.picture ? 1 : static_cast<long>(run.text.size());
    const long paraEnd = position + length;  // the paragraph mark sits here
    if (paraEnd >= start && position < end) {
      Paragraph part;
      part.format = para.format;
      long at = position;
      for (const Run& run : para.runs) {
        const long runLength = run.picture ? 1 : static_cast<long>(run.text.size());
        const long from = std::max(start, at);
        const long to = std::min(end, at + runLength);
        if (from < to) {
          Run piece = run;
          if (!run.picture) piece.text = run.text.substr(static_cast<std::size_t>(from - at), static_cast<std::size_t>(to - from));
          part.runs.push_back(std::move(piece));
        }
        at += runLength;
      }
      slice.paragraphs.push_back(std::move(part));
    }
    position = paraEnd + 1;
    if (position > end) break;
  }
  if (slice.paragraphs.empty()) slice.paragraphs.emplace_back();
  return slice;
}

long DocumentTextLength(const QTextDocument& document) { return std::max(0, document.characterCount() - 1); }

CString DocumentTextRange(const QTextDocument& document, long start, long end) {
  const long length = DocumentTextLength(document);
  start = std::clamp(start, 0L, length);
  end = end < 0 ? length : std::clamp(end, 0L, length);
  if (end <= start) return CString();
  QTextCursor cursor(const_cast<QTextDocument*>(&document));  // a cursor that only reads
  cursor.setPosition(static_cast<int>(start));
  cursor.setPosition(static_cast<int>(end), QTextCursor::KeepAnchor);
  std::u16string text = cursor.selectedText().toStdU16String();
  for (char16_t& c : text) {
    if (c == 0x2029) c = u'\r';
    else if (c == 0x2028) c = u'\v';
    else if (c == 0xFFFC) c = u' ';
  }
  return CString(tvn::codepage::FromUtf16(text));
}

}  // namespace tvn::rtf
