// CMciWnd: the MCI window of a kind-0 medium: a child of the view holding its MCI device, picture and play bar.
#pragma once

#include <optional>

#include "media/media_environment.h"
#include "platform/base/cstring.h"
#include "platform/base/win_types.h"
#include "platform/user/wnd.h"

// Window style bits the media object passes.
namespace MciWndStyle {
constexpr DWORD kNoAutoSizeWindow = 0x0001;
constexpr DWORD kNoPlaybar = 0x0002;
constexpr DWORD kNoMenu = 0x0008;
constexpr DWORD kNoErrorDialog = 0x4000;
constexpr DWORD kDefault = 0x4000400B;  // child, no error dialog, no menu, no play bar, no auto size
}  // namespace MciWndStyle

// Command ids the play bar sends its window (the MCI command numbers).
namespace MciWndCommand {
constexpr UINT kPlay = 0x0806;
constexpr UINT kStop = 0x0808;
constexpr UINT kPause = 0x0809;
}  // namespace MciWndCommand

// The window is made as child 3 of the owner window, hidden and empty until
// the media object places and shows it. Its device's notices go straight to
// the owner. Mouse messages on the picture and keys are posted on to the
// owner, so the page's responses see them; a click arrives in the owner's
// own coordinates. Without an owner window (or without a message loop) the
// device is opened alone, which is all a sound needs.
//
// A medium in pre-load memory or the packed data file is opened under its
// ".TVN+" key, and the device reads its own stream of that medium.
class CMciWnd : public CWnd {
  DECLARE_DYNAMIC(CMciWnd)

 public:
  static constexpr UINT kChildId = 3;
  static constexpr const char* kClassName = "MCIWndClass";
  static constexpr int kPlaybarHeight = 26;

  CMciWnd() = default;
  ~CMciWnd() override;

  // The name with its extension replaced by ".TVN+": an extension counts when
  // its dot stands fewer than 6 characters from the end.
  static CString KeyName(const CString& name);

  // Makes the window and opens a device on the file; FALSE (no window left,
  // the error kept) when it cannot.
  BOOL Create(const MediaEnvironment& env, DWORD style, const CString& name);
  // The same with a new device of the type without a file (MCIWNDM_NEW).
  BOOL CreateNew(const MediaEnvironment& env, DWORD style, const CString& type);
  // Hides the window, stops and closes the device, destroys the window; 0.
  int CloseDevice();

  BOOL IsDeviceOpen() const { return m_deviceId != 0; }
  DWORD GetDeviceID() const { return m_deviceId; }
  DWORD GetWindowStyle() const { return m_windowStyle; }
  // The error of the last request (MCIWNDM_GETERROR).
  DWORD GetError() const { return m_error; }

  // MCIWNDM_SENDSTRING: a command for the device, without its name; the
  // reply is kept for ReturnString.
  DWORD SendString(const CString& command);
  // MCIWNDM_RETURNSTRING: the last reply, cut to the size.
  CString ReturnString(int size) const;
  LONG GetLength();
  LONG GetPosition();
  // MCIWNDM_SETVOLUME: 1000 per the device's unity, here 2000 is unity and louder is held there.
  void SetVolume(LONG volume);
  // MCIWNDM_SETSPEED: 1000 is normal; 0 or below is ignored.
  void SetSpeed(LONG speed);
  // The device type ("waveaudio") and the file it opened.
  CString GetDevice() const;
  CString GetFileName() const { return m_fileName; }
  void Stop();
  void Pause();
  BOOL IsPlaying();
  // MCIWNDM_CAN_SAVE: the device says it can save (a recording device).
  BOOL CanSave();
  // MCI_SAVE with -1: the save dialog (save mode, overwriting asked, wave
  // files) chooses the file the device saves to; cancelled, nothing is saved
  // and the error stays 0. The answer holds for the recording: saving it
  // again (a stop, then its freeing) asks no more until it records anew.
  void SaveWithDialog();

  // MCIWNDM_GET_SOURCE and MCIWNDM_PUT_SOURCE: the part of the picture shown
  // (the whole frame at first, so its size is the natural size). FALSE for a
  // device without a picture.
  BOOL GetSource(CRect& rect);
  BOOL PutSource(const CRect& rect);
  // Palettes belong to palette displays, which never occur: MCIWNDM_REALIZE,
  // MCIWNDM_SETPALETTE and the device's palette ask nothing of the device.
  LONG Realize(BOOL /*background*/) { return 0; }
  void SetPalette(void* /*palette*/) {}
  void* GetStatus() const { return nullptr; }

  BOOL HasPlaybar() const { return (m_windowStyle & MciWndStyle::kNoPlaybar) == 0; }
  BOOL HasPicture() const { return m_hasPicture; }
  // Shows the window and paints it at once, or hides it. A sound without a
  // play bar has nothing to show: its window stays hidden rather than cover
  // the page.
  void ShowPicture(BOOL show);
  // Where the picture goes: the client area less the play bar.
  CRect PictureArea() const;

 protected:
  void OnDestroy() override;
  void OnPaint() override;
  BOOL OnEraseBkgnd() override { return TRUE; }  // the picture covers its area; erasing would flicker
  BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message) override;
  void OnSize(UINT type, int cx, int cy) override;
  void OnTimer(UINT id) override;
  void OnKeyDown(UINT vk, UINT repeat, UINT flags) override;
  void OnMouseMove(UINT flags, CPoint point) override;
  void OnLButtonDown(UINT flags, CPoint point) override;
  void OnLButtonUp(UINT flags, CPoint point) override;
  void OnLButtonDblClk(UINT flags, CPoint point) override;
  void OnRButtonDown(UINT flags, CPoint point) override;
  void OnRButtonUp(UINT flags, CPoint point) override;
  void OnRButtonDblClk(UINT flags, CPoint point) override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  BOOL Begin(const MediaEnvironment& env, DWORD style);
  BOOL OpenWith(const CString& command);
  DWORD Send(const CString& command, CString& reply);
  DWORD PlayAndShow(const CString& command, CString& reply);
  // The window's own questions to its device: they leave the error alone.
  CString Ask(const CString& command);
  // Posts a mouse message on to the owner in the owner's coordinates; FALSE
  // for a point on the play bar, which the bar handles itself.
  BOOL ForwardMouse(UINT message, UINT flags, CPoint point);
  // The play timer runs while the device plays: it moves the picture and the
  // play bar on and lets the device notice its end.
  void KeepTime();
  void PaintPlaybar(CDC& dc, const CRect& bar);
  CRect PlaybarRect() const;

  CMediaSystem* m_system = nullptr;
  HWND m_owner = nullptr;
  DWORD m_windowStyle = 0;
  DWORD m_deviceId = 0;
  DWORD m_error = 0;
  CString m_alias;
  CString m_fileName;
  CString m_reply;
  LONG m_shownPosition = -1;  // the position last painted
  std::optional<CString> m_saveChoice;  // the save dialog's answer for this recording; empty: cancelled
  bool m_hasPicture = false;
};
