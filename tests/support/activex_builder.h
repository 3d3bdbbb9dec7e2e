// Course builder writers for the control records, the ActiveX, internet and OLE actions and the ActiveX response.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/course_builder.h"

namespace tvn::testing {

struct EnumFields {
  std::string name;
  std::int32_t value = 0;
};

// A parameter's fields; written tagged inside lists, in place as a method's result.
struct ParameterFields {
  std::string name;
  std::uint16_t vt = 0;
  std::int32_t kind = 0;
  std::int32_t userDefined = 0;
  std::vector<EnumFields> enumValues;
};

struct CtrlEventFields {
  std::string name;
  std::int32_t dispid = 0;
  std::vector<ParameterFields> parameters;
};

// A property or method record; invokeCode 1 method, 2 get, 3 put, 4 put by reference.
struct PropMethodFields {
  std::string name;
  std::int32_t dispid = 0;
  std::int32_t hasResult = 0;
  std::vector<ParameterFields> parameters;
  std::uint32_t invokeCode = 1;
  std::vector<std::int32_t> variableIds;
  std::vector<std::string> constants;
  ParameterFields result;  // written when hasResult is not 0
};

struct ActiveXFields {
  std::uint16_t schema = 3;  // schema 2 stores no property bag
  std::string sourceName;
  std::string classId;
  std::string third;
  std::int32_t controlId = 0;
  std::int32_t useAnother = 0;
  std::vector<PropMethodFields> settings;
  std::vector<std::uint8_t> state;
  std::vector<std::pair<std::string, std::string>> bag;
};

struct ActiveXResponseFields {
  std::string controlName;
  std::uint32_t eventRef = 0;
  std::string eventName;
  std::vector<std::uint32_t> variableIds;
  std::uint32_t controlWnd = 0;
  CtrlEventFields event;
};

struct FtpFields {
  std::uint32_t flagsB = 0x800;
  std::string text1, text2, text3, text4, text5;
  std::int32_t valueA = 0;
};

struct HtmlFields {
  std::uint16_t schema = 3;  // schema 2 stores no third text
  std::string page;
  std::uint32_t flags = 0x410;
  std::string frame;
  std::string third;
};

struct HtmlFrameFields {
  std::int32_t valueA = 0;
  std::int32_t first = 30, second = 30;
  std::int32_t valueC = 0;
  std::uint8_t valueD = 2;
  std::string pages[4];
};

// The fields of records inline, and records as tagged objects.
void WriteParameterFields(CourseBuilder& b, const ParameterFields& p);
void WriteParameter(CourseBuilder& b, const ParameterFields& p);
void WriteCtrlEventFields(CourseBuilder& b, const CtrlEventFields& e);
void WriteCtrlEvent(CourseBuilder& b, const CtrlEventFields& e);
void WritePropMethod(CourseBuilder& b, const PropMethodFields& m);

// Actions and responses as object references.
void WriteActiveXAction(CourseBuilder& b, const IconFields& icon, const ActiveXFields& a, const DisplayFields& display);
void WriteActiveXResponse(CourseBuilder& b, const IconFields& icon, const ResponseFields& response,
                          const ActiveXResponseFields& r);
void WriteFtpAction(CourseBuilder& b, const IconFields& icon, const FtpFields& f);
void WriteHtmlAction(CourseBuilder& b, const IconFields& icon, const HtmlFields& h, const DisplayFields& display);
void WriteHtmlFrameAction(CourseBuilder& b, const IconFields& icon, const HtmlFrameFields& f,
                          const DisplayFields& display);
// The item word is written as given; 1 would announce an item that is not written.
void WriteOleAction(CourseBuilder& b, const IconFields& icon, std::uint32_t oleFlags, std::uint16_t itemWord,
                    const DisplayFields& display);

}  // namespace tvn::testing
