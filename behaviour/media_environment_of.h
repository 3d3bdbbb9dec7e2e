// The services a medium of a course object plays through: the media layer, the course's files and variables, the view.
#pragma once

#include "media/media_environment.h"

class CIconObject;

// Empty (nothing opens) when the object belongs to no running course.
MediaEnvironment MediaEnvironmentOf(CIconObject* obj);
