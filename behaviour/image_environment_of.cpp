#include "behaviour/image_environment_of.h"

#include "model/course_host.h"
#include "model/task.h"
#include "model/task_services.h"

ImageEnvironment ImageEnvironmentOf(CIconObject* obj) {
  ImageEnvironment env;
  ITaskServices* services = obj ? TaskServicesOf(obj) : nullptr;
  if (!services) return env;
  env.variables = &services->Variables();
  env.findMediaFile = [services](const CString& name) { return services->FindMediaFile(name); };
  if (ICourseHost* host = services->Host()) {
    env.messages = &host->Messages();
    // Pictures packed with the course are found in the packed data file.
    env.dataFile = &host->DataFile();
    env.programDirectory = host->GetProgramDirectory();
    // The picture readers are always there; the outside decoders as start-up found them.
    env.featureBits |= host->GetOptionalLibraries() & (FeatureBit::kFractal | FeatureBit::kPhotoCd);
    env.fractal = host->GetFractalDecoder();
    env.photoCd = host->GetPhotoCdToolkit();
  }
  return env;
}
