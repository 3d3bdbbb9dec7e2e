#include "behaviour/image_environment_of.h"

#include "model/course_doc.h"
#include "model/course_host.h"
#include "model/task.h"
#include "model/task_services.h"

ImageEnvironment ImageEnvironmentOf(CIconObject* obj) {
  ImageEnvironment env;
  ITaskServices* services = obj ? TaskServicesOf(obj) : nullptr;
  if (!services) return env;
  env.variables = &services->Variables();
  if (auto* course = dynamic_cast<CCourseDoc*>(services)) {
    env.findMediaFile = [course](const CString& name) { return course->FindMediaFile(name); };
    env.messages = &course->Host().Messages();
    // Pictures packed with the course are found in the packed data file.
    env.dataFile = &course->Host().DataFile();
    env.programDirectory = course->Host().GetProgramDirectory();
  }
  return env;
}
