// CPageSettings: what the page keeps of a window action: background, window flags, scroll margins, protected layers.
#pragma once

#include <array>

#include "platform/geometry.h"
#include "platform/win_types.h"

class CDC;

namespace PageFlag {
constexpr DWORD kNoScroll = 0x200;
constexpr DWORD kAutoScrollX = 0x1000;
constexpr DWORD kAutoScrollY = 0x2000;
}  // namespace PageFlag

// A running window action copies its settings here; the page draws its
// background through it and asks it which layers survive clearing.
class CPageSettings {
 public:
  void CopyFrom(const CPageSettings& other) { *this = other; }

  // Fills the rectangle with the page colour, or the window colour when the page has none.
  void DrawBackground(CDC* dc, const CRect& rect) const;
  void SetBackground(COLORREF colour) {
    m_background = colour;
    m_hasBackground = true;
  }
  void ClearBackground() { m_hasBackground = false; }
  bool HasBackground() const { return m_hasBackground; }
  COLORREF GetBackground() const { return m_background; }

  DWORD GetWindowFlags() const { return m_windowFlags; }
  void SetWindowFlags(DWORD flags) { m_windowFlags = flags; }
  CSize GetScrollMargins() const { return m_scrollMargins; }
  void SetScrollMargins(CSize margins) { m_scrollMargins = margins; }

  bool IsLayerProtected(BYTE layer) const { return m_protected[layer] != 0; }
  void SetLayerProtected(BYTE layer, bool on) { m_protected[layer] = on ? 1 : 0; }

 private:
  bool m_hasBackground = false;
  COLORREF m_background = RGB(255, 255, 255);
  DWORD m_windowFlags = 0;
  CSize m_scrollMargins{0, 0};
  std::array<BYTE, 256> m_protected{};
};
