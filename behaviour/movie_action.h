// CMovieAction: a movie (any medium the media-file object plays) started in a rectangle of the page, or commanded by name.
#pragma once

#include "behaviour/display_action.h"
#include "media/media_file_object.h"

// Movie flag bits: the mode; the command bits are those of the media flags
// word (0x100 levels, 0x200 play a range, 0x400 speed, 0x1000 play, 0x2000
// stop, 0x10000 pause, 0x20000/0x40000/0x80000 seek).
namespace MovieFlag {
constexpr DWORD kStart = 0x1;    // open the medium here and show it
constexpr DWORD kControl = 0x2;  // command the movie on the page named by the media file name
}  // namespace MovieFlag

// On disk (schema 2): the flags, the crop margins as four raw 32-bit values,
// the media-file object, the display part, the common part. The action
// itself is the draw object of its movie; frame players (FLIC, AVI) advance
// from the page's animation step through Animate.
class CMovieAction : public CDisplayAction {
  DECLARE_SERIAL(CMovieAction)

 public:
  static constexpr BYTE kDefaultLayer = 1;

  CMovieAction() : CDisplayAction(ActionKind::kMovie, kDefaultLayer) {}
  CMovieAction(const CMovieAction& other);

  void Serialize(CArchive& ar) override;
  void CopyFrom(const CIconObject* source, BOOL keepIdentity) override;
  int GetTypeFlags() override { return 296; }
  void Draw(CDC* dc, int code, const CRect* rect) override;
  void Unload() override { m_media.Free(); }
  void SizeObject(const CRect& rect) override;
  // Applies the commands of the given movie action (this one's own when it is
  // not a movie action) to this action's medium.
  void GetMediaState(CIconObject* action) override;
  int FreeResources(CDC*, int flag) override { return m_media.RealizePalette(flag); }
  // Start: always TRUE. Control: FALSE (the list stops) when no movie of that name is on the page.
  BOOL Execute() override;
  // One tick of a frame player; 1 when its picture changed (the area is repainted).
  int Animate(const CRect& rect, BOOL callerClocked) override;
  // A frame player wants the animation step while it plays; a stopped or
  // finished one sitting on the page leaves the program idle.
  int GetAnimState() override { return m_media.IsDrawn() && m_media.IsPlaying(); }
  double GetMediaPosition() override { return m_media.GetPosition(); }
  double GetMediaLength() override { return m_media.GetLength(); }
  // The medium's answer; on 4 (another pass, a built clip) the medium is placed and commanded again.
  BOOL OnNotify(WPARAM code, LPARAM id) override;
  BOOL CollectFiles(CStringArray* files, int flags) override;

  DWORD GetFlags() const { return m_dwFlags; }
  void SetFlags(DWORD flags) { m_dwFlags = flags; }
  const CRect& GetSourceRect() const { return m_source; }
  void SetSourceRect(const CRect& crop) { m_source = crop; }
  CMediaFileObject& Media() { return m_media; }

  // The rectangle drawing and placing use when they are given an empty one.
  static CRect DefaultRect() { return CRect(0, 0, 640, 480); }

 private:
  BOOL StartMovie();
  BOOL ControlMovie();

  DWORD m_dwFlags = MovieFlag::kStart;
  CRect m_source;  // crop margins: left and top added to the medium's source frame, right and bottom taken off
  CMediaFileObject m_media;
};
