// The media environment of a course object, from its course and the application that holds it.
#include "behaviour/media_environment_of.h"

#include "model/course_doc.h"
#include "model/course_host.h"
#include "model/task.h"
#include "model/task_services.h"

MediaEnvironment MediaEnvironmentOf(CIconObject* obj) {
  MediaEnvironment env;
  ITaskServices* services = obj ? TaskServicesOf(obj) : nullptr;
  if (!services) return env;
  env.variables = &services->Variables();
  if (auto* course = dynamic_cast<CCourseDoc*>(services)) {
    ICourseHost& host = course->Host();
    env.system = host.GetMediaSystem();
    env.owner = host.GetMediaOwner();
    env.findMediaFile = [course](const CString& name) { return course->FindMediaFile(name); };
    env.messages = &host.Messages();
    env.dataFile = &host.DataFile();
    env.cache = host.GetPreloadCache();
  }
  return env;
}
