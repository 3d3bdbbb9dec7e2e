// CEffectMedia and CEffectResources: the medium a category-9 transition plays, over a media-file object.
#pragma once

#include <functional>

#include "media/media_file_object.h"
#include "page/effect_host.h"

class CEffectMedia final : public IEffectMedia {
 public:
  explicit CEffectMedia(MediaEnvironment env) : m_env(std::move(env)) {}

  bool Open(const CRect& area, const CString& file, CWnd* parent) override;
  void Show() override { m_media.Show(1); }
  void Play() override { m_media.Play(nullptr, nullptr, m_media.m_dwFlags); }
  // The player is read, not its notices: the default flags ask for none.
  bool IsFinished() const override { return !const_cast<CMediaFileObject&>(m_media).IsPlaying(); }
  void Stop() override { m_media.Stop(); }

 private:
  MediaEnvironment m_env;
  CMediaFileObject m_media;
};

// Media players for transitions; masks are not loaded (those effects are skipped).
class CEffectResources final : public IEffectResources {
 public:
  using EnvironmentSource = std::function<MediaEnvironment()>;
  explicit CEffectResources(EnvironmentSource source) : m_source(std::move(source)) {}

  std::unique_ptr<IEffectMedia> CreateMedia() override;
  bool LoadMask(const CString&, CBitmap&) override { return false; }

 private:
  EnvironmentSource m_source;
};
