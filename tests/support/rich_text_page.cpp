// The rich-text page: heading and body as RTF actions, the link's response and a key to go on.
#include "tests/support/rich_text_page.h"

namespace tvn::testing {

void RichTextPage(CourseBuilder& b, std::int32_t number, std::int32_t linkTarget, std::int32_t keyTarget) {
  auto clear = [](CourseBuilder& c) {
    c.AreaAction("CClearAction", IconFields{4, "Clear", "", 3}, AreaFields{}, DisplayFields{});
  };
  auto heading = [](CourseBuilder& c) {
    RtfFields r;
    r.flags = 0x08 | 0x40;  // a shadow, lines wrapped
    r.text = "{\\rtf1{\\fonttbl{\\f0\\fswiss\\fprq2 Arial;}}{\\colortbl ;\\red0\\green64\\blue128;}"
             "\\f0\\fs48\\b\\cf1 Rich text on the page}";
    r.shadowColour = 0xA0A0A0;
    DisplayFields d;
    d.rect = {40, 30, 600, 100};
    d.layer = 4;
    c.RtfAction(IconFields{4, "Heading", "", 3}, r, d);
  };
  // The link is in the action's own font (Arial 14, underlined), its colour and protected.
  auto body = [](CourseBuilder& c) {
    RtfFields r;
    r.flags = 0x40;
    r.textColour = 0xC00000;  // blue (0xBBGGRR)
    r.font.pointSize = 14;
    r.font.underline = 1;
    r.text = "{\\rtf1{\\fonttbl{\\f0\\fswiss\\fprq2 Arial;}}{\\colortbl ;\\red0\\green0\\blue0;\\red0\\green0\\blue192;}"
             "\\f0\\fs28\\cf1 Formatted text comes from RTF, with hypertext: {\\cf2\\ul\\protect Read more}"
             " takes you to the next page.\\par Press any key to go on.}";
    DisplayFields d;
    d.rect = {kRichTextBodyLeft, kRichTextBodyTop, 600, 300};
    d.layer = 4;
    c.RtfAction(IconFields{4, "Body", "", 3}, r, d);
  };
  ResponseFields follow;
  follow.outcomeFlags = 2;
  follow.targets = {linkTarget};
  ResponseFields key;
  key.outcomeFlags = 2;
  key.targets = {keyTarget};
  auto link = [follow](CourseBuilder& c) { c.HyperTextResponse(IconFields{4, "Link", "", 3}, follow, kRichTextLink); };
  auto anyKey = [key](CourseBuilder& c) { c.KeyboardResponse(IconFields{4, "Any key", "", 3}, key, KeyFields{}); };
  b.Task(IconFields{4, "Reading", "", 3}, number, {}, {clear, heading, body}, {link, anyKey});
}

}  // namespace tvn::testing
