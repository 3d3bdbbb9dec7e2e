// A native effect library for the tests: it records how each entry point was called.
#include <cstdint>

namespace {

struct Call {
  void* window = nullptr;
  void* target = nullptr;
  void* source = nullptr;
  void* area = nullptr;
  void* effect = nullptr;
  long reserved = -1;
  int count = 0;
};

Call g_do3d;
Call g_course;
int g_resets = 0;

}  // namespace

extern "C" {

__attribute__((visibility("default"))) int Do3dEffect(void* window, void* target, void* source, void* area,
                                                      void* effect, long reserved) {
  g_do3d = Call{window, target, source, area, effect, reserved, g_do3d.count + 1};
  return 1;
}

__attribute__((visibility("default"))) int Reset3dEffect(long, long, long, long, long, long) { return ++g_resets; }
__attribute__((visibility("default"))) int GetFirstSection(void*) { return 0; }
__attribute__((visibility("default"))) int GetNextSection(void*) { return 0; }

__attribute__((visibility("default"))) int CourseWipe(void* window, void* target, void* source, void* area) {
  g_course = Call{window, target, source, area, nullptr, 0, g_course.count + 1};
  return 1;
}

// For the tests: the last call of each kind, as (window, target, source, area, effect) and its count.
__attribute__((visibility("default"))) int LastDo3dEffect(void** out) {
  out[0] = g_do3d.window, out[1] = g_do3d.target, out[2] = g_do3d.source, out[3] = g_do3d.area,
  out[4] = g_do3d.effect;
  return g_do3d.count;
}
__attribute__((visibility("default"))) int LastCourseEffect(void** out) {
  out[0] = g_course.window, out[1] = g_course.target, out[2] = g_course.source, out[3] = g_course.area;
  return g_course.count;
}
__attribute__((visibility("default"))) int ResetCount() { return g_resets; }
}
