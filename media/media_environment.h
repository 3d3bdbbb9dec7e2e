// What media players need of the running program: the media layer, files, variables, messages and the owner window.
#pragma once

#include <functional>

#include "platform/base/cstring.h"
#include "platform/msg/window_messages.h"

class CDataFile;
class CMediaSystem;
class CMmioMemFileList;
class CMessageService;
class CVariableContext;
class IPreloadCache;

// Filled by the application (or a test) and handed to a media object when it
// opens. Nothing here is owned; a missing member takes the path the program
// takes without that service (no media layer: nothing opens).
struct MediaEnvironment {
  CMediaSystem* system = nullptr;
  CVariableContext* variables = nullptr;  // values bound to variables; literals only when missing
  // The course document's media-file search; without it names are taken as they are.
  std::function<CString(const CString&)> findMediaFile;
  CDataFile* dataFile = nullptr;
  IPreloadCache* cache = nullptr;
  CMmioMemFileList* memFiles = nullptr;  // the AVI players' media read from memory by their ".TVN+" key
  CMessageService* messages = nullptr;  // the clip player's messages 8271 and 8272
  HWND owner = nullptr;                 // receives the media notices (953): the presentation view
  // Starts the page's animation step, which frame players (FLIC, AVI) advance from; null: none.
  std::function<void()> startAnimation;
};
