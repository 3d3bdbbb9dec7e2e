// The services a picture of a course object loads through: the course's variables, media search and messages.
#pragma once

#include "media/image_environment.h"

class CIconObject;

// Empty (every service missing) when the object belongs to no running course.
ImageEnvironment ImageEnvironmentOf(CIconObject* obj);
