// Course builder writers for the control records and the kinds that hold them.
#include "tests/support/activex_builder.h"

namespace tvn::testing {

void WriteParameterFields(CourseBuilder& b, const ParameterFields& p) {
  b.out().String(p.name).Word(p.vt).Int(p.kind).Int(p.userDefined);
  b.out().Count(static_cast<std::uint32_t>(p.enumValues.size()));
  for (const EnumFields& e : p.enumValues) {
    b.out().NewObject("CEnumProperty", 1);
    b.out().String(e.name).Int(e.value);
  }
}

void WriteParameter(CourseBuilder& b, const ParameterFields& p) {
  b.out().NewObject("CParameter", 1);
  WriteParameterFields(b, p);
}

void WriteCtrlEventFields(CourseBuilder& b, const CtrlEventFields& e) {
  b.out().String(e.name).Int(e.dispid).Count(static_cast<std::uint32_t>(e.parameters.size()));
  for (const ParameterFields& p : e.parameters) WriteParameter(b, p);
}

void WriteCtrlEvent(CourseBuilder& b, const CtrlEventFields& e) {
  b.out().NewObject("CCtrlEvent", 1);
  WriteCtrlEventFields(b, e);
}

void WritePropMethod(CourseBuilder& b, const PropMethodFields& m) {
  b.out().NewObject("CCtrlPropMethod", 1);
  b.out().String(m.name).Int(m.dispid).Int(m.hasResult).Count(static_cast<std::uint32_t>(m.parameters.size()));
  for (const ParameterFields& p : m.parameters) WriteParameter(b, p);
  b.out().Dword(m.invokeCode).Dword(static_cast<std::uint32_t>(m.variableIds.size()));
  for (std::int32_t id : m.variableIds) b.out().Int(id);
  b.out().Dword(static_cast<std::uint32_t>(m.constants.size()));
  for (const std::string& text : m.constants) b.out().String(text);
  if (m.hasResult) WriteParameterFields(b, m.result);
}

void WriteActiveXAction(CourseBuilder& b, const IconFields& icon, const ActiveXFields& a, const DisplayFields& display) {
  // This kind's own fields follow the display and common parts.
  b.out().NewObject("CActiveXAction", a.schema);
  b.DisplayPart(display);
  b.IconPart(icon);
  b.out().String(a.sourceName).String(a.classId).String(a.third).Int(a.controlId).Int(a.useAnother);
  b.out().Count(static_cast<std::uint32_t>(a.settings.size()));
  for (const PropMethodFields& m : a.settings) WritePropMethod(b, m);
  b.out().Count(static_cast<std::uint32_t>(a.state.size()));
  if (!a.state.empty()) b.out().Raw(a.state.data(), a.state.size());
  if (a.schema >= 3) {
    b.out().Count(static_cast<std::uint32_t>(a.bag.size()));
    for (const auto& [key, value] : a.bag) b.out().String(key).String(value);
  }
}

void WriteActiveXResponse(CourseBuilder& b, const IconFields& icon, const ResponseFields& response,
                          const ActiveXResponseFields& r) {
  b.Response("CActiveXResponse", 2, icon, response, [&](CourseBuilder& w) {
    w.out().String(r.controlName).Dword(r.eventRef).String(r.eventName);
    w.out().Dword(static_cast<std::uint32_t>(r.variableIds.size()));
    for (std::uint32_t id : r.variableIds) w.out().Dword(id);
    w.out().Dword(r.controlWnd);
    WriteCtrlEventFields(w, r.event);
  });
}

void WriteFtpAction(CourseBuilder& b, const IconFields& icon, const FtpFields& f) {
  b.Action("CFtpAction", 2, icon, [&](CourseBuilder& w) {
    w.out().Dword(f.flagsB).String(f.text1).String(f.text3).String(f.text2).Int(f.valueA).String(f.text4).String(f.text5);
  });
}

void WriteHtmlAction(CourseBuilder& b, const IconFields& icon, const HtmlFields& h, const DisplayFields& display) {
  b.Action("CHtmlAction", h.schema, icon, [&](CourseBuilder& w) {
    w.out().String(h.page).Dword(h.flags).String(h.frame);
    if (h.schema >= 3) w.out().String(h.third);
    w.DisplayPart(display);
  });
}

void WriteHtmlFrameAction(CourseBuilder& b, const IconFields& icon, const HtmlFrameFields& f,
                          const DisplayFields& display) {
  b.Action("CHtmlFrameAction", 2, icon, [&](CourseBuilder& w) {
    w.out().Int(f.valueA).Int(f.first).Int(f.second).Int(f.valueC).Byte(f.valueD);
    for (const std::string& page : f.pages) w.out().String(page);
    w.DisplayPart(display);
  });
}

void WriteOleAction(CourseBuilder& b, const IconFields& icon, std::uint32_t oleFlags, std::uint16_t itemWord,
                    const DisplayFields& display) {
  b.Action("COleAction", 2, icon, [&](CourseBuilder& w) {
    w.out().Dword(oleFlags).Word(itemWord);
    w.DisplayPart(display);
  });
}

}  // namespace tvn::testing
