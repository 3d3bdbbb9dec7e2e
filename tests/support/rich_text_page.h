// The rich-text page of the demo course and its tests: a shadowed heading and a link a hypertext response follows.
#pragma once

#include "tests/support/course_builder.h"

namespace tvn::testing {

// Where the page puts its text, and the link it holds.
constexpr const char* kRichTextLink = "Read more";
constexpr std::int32_t kRichTextBodyLeft = 40;
constexpr std::int32_t kRichTextBodyTop = 130;

// Writes the page as task `number`: a click on the link goes to task
// `linkTarget`, any key to task `keyTarget`.
void RichTextPage(CourseBuilder& b, std::int32_t number, std::int32_t linkTarget, std::int32_t keyTarget);

}  // namespace tvn::testing
