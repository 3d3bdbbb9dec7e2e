// InputSource: who offers mouse input to a course object; each object takes only the offers meant for it.
#pragma once

// Passed as the source argument of CIconObject::OnMouseMove and OnMouseButton.
enum InputSource : int {
  // The presentation view, to the armed events of its courses.
  kSourceView = 5,
  // The page, to the owners of its draw objects.
  kSourcePage = 6,
  // The course, to its current task's responses: the one offer responses act
  // on. The release that ends a drag reaches them the same way, so the drop
  // and the course's own offer share this code.
  kInputFromTaskResponses = 7,
};
