// CActiveXSites: the presentation view's hosted controls, reached through the ActiveX actions that own them.
#pragma once

#include "playback/view_services.h"

class COffScreenView;

class CActiveXSites final : public IControlSites {
 public:
  explicit CActiveXSites(COffScreenView& page) : m_page(page) {}
  // Every ActiveX action on the page destroys its control window.
  void DestroyAll() override;
  // The first ActiveX action of the course with that control id refreshes; TRUE when there is one.
  BOOL RefreshControl(CCourseDoc* course, LONG controlId) override;

 private:
  COffScreenView& m_page;
};
