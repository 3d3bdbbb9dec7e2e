// CMciVideoWindows: where a video device shows its picture: its default top-level window, or a child of a window
// of the program named by "window ... handle".
#pragma once

#include <memory>
#include <mutex>
#include <string>

#include "platform/base/cstring.h"
#include "platform/base/geometry.h"
#include "platform/msg/window_messages.h"

class CDC;

// What the windows ask of their device, on the user-interface thread.
class IMciPicture {
 public:
  virtual ~IMciPicture() = default;
  // Draws the part of the frame shown, stretched to dest and cut to clip;
  // false while no frame is decoded.
  virtual bool DrawPictureInto(CDC& dc, const CRect& dest, const CRect& clip) = 0;
  // The frame the clock stands at: a shown window repaints when it changes.
  virtual DWORD CurrentFrame() = 0;
};

// Without a window given, the picture goes into the default window: top
// level, the picture's size, captioned with the file's name, made when it is
// first shown (at play or "state show") and destroyed at close; the
// destination is the picture's place in it. With a window given, a child of
// it is placed at the destination and shows the picture there. A number
// naming a window is looked up in the program's window table, never used as a
// pointer. When the given window is destroyed, the device goes back to its
// default window.
//
// Settings may change on any thread; windows are made, placed and destroyed
// only on the user-interface thread (Update). Never call Update, Close or
// WindowInUse while holding a lock the picture's drawing takes.
class CMciVideoWindows {
 public:
  CMciVideoWindows(IMciPicture& picture, CSize size);
  ~CMciVideoWindows();
  CMciVideoWindows(const CMciVideoWindows&) = delete;
  CMciVideoWindows& operator=(const CMciVideoWindows&) = delete;

  // "handle NUMBER" or "handle default": 0, or the MCI error (346 for a
  // number that names no live window, which changes nothing).
  DWORD UseHandle(const std::string& value);
  // The device's opener draws the picture in a window of its own (or nowhere
  // when host is null): the device then makes no window.
  void SetHost(HWND host);
  void SetCaption(const CString& caption);
  void SetShown(bool shown);
  // The picture's place in the window; empty: its own size at the top left.
  void SetDestination(const CRect& destination);
  // The window the picture is in: the one given, the host, or the default
  // window (made hidden when there is none yet); null elsewhere than on the
  // user-interface thread when no window exists.
  HWND WindowInUse();
  // Makes, places, shows and repaints the windows as the settings say.
  void Update();
  // Destroys the windows; the picture is asked nothing afterwards.
  void Close();

 private:
  class CPictureWnd;
  struct Link;

  bool OnLoopThread() const;
  void MakeDefaultWindow();
  // A window went without the device destroying it (its parent went, or the user closed it).
  void WindowGone(const CPictureWnd& wnd);
  CRect ChildPlace() const;

  std::shared_ptr<Link> m_link;  // what the windows reach back through, severed at Close
  CSize m_size;

  mutable std::mutex m_mutex;  // the settings, between threads
  HWND m_target = nullptr;     // the window given; null: the default window
  bool m_hosted = false;
  HWND m_host = nullptr;
  bool m_shown = false;
  CRect m_destination;
  CString m_caption;
  HWND m_ownDefault = nullptr;  // the handles of the windows below
  HWND m_ownChild = nullptr;

  // User-interface thread only.
  std::unique_ptr<CPictureWnd> m_default;
  std::unique_ptr<CPictureWnd> m_child;
};
