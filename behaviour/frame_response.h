// CFrameResponse: waits for a playing movie or sound to pass a position, polling it on the view's timer 37.
#pragma once

#include "behaviour/response.h"
#include "model/var_or_value.h"

// Timer 37 is one timer of the view for every frame response of a task:
// each activation restarts it with its own interval. The response accepts
// once per pass of the medium: only after the position has gone back below
// where it last accepted can it accept again. On disk (schema 2): the media
// name, the frame flags, the interval, the threshold, then the response base.
class CFrameResponse : public CResponse {
  DECLARE_SERIAL(CFrameResponse)

 public:
  static constexpr UINT kTimerId = 37;

  CFrameResponse() : CResponse(ResponseKind::kFrame) {}
  CFrameResponse(const CFrameResponse& other);

  void Serialize(CArchive& ar) override;
  void CopyFrom(const CIconObject* source, BOOL keepIdentity) override;
  int GetTypeFlags() override { return 0x40; }
  CIconManager* GetSubManager() override { return OwnActionList(); }
  // Restarts timer 37 when the medium is there; the task waits.
  BOOL Activate() override;
  // Timer 37 only: TRUE the first time the medium's position passes the threshold.
  BOOL OnTimer(int id) override;

  // The position to pass, in the medium's unit: a literal counts hundredths.
  double Threshold();
  CVarOrValue& GetThreshold() { return m_threshold; }
  const CString& GetMediaName() const { return m_strMediaName; }
  void SetMediaName(const CString& name) { m_strMediaName = name; }
  DWORD GetFrameFlags() const { return m_dwFrameFlags; }
  DWORD GetInterval() const { return m_dwInterval; }
  void SetInterval(DWORD ms) { m_dwInterval = ms; }

 private:
  // The page object that plays the medium, else the playing sound of that object name; null when neither.
  CIconObject* FindMedia();

  CVarOrValue m_threshold;
  DWORD m_dwFrameFlags = 0;  // stored and copied; nothing reads it
  CString m_strMediaName;
  DWORD m_dwInterval = 500;  // polling period, milliseconds
  // Run time: where it last accepted, and whether it has accepted in this pass.
  double m_lastPosition = 0.0;
  bool m_bFired = false;
};
