#include "playback/app_resources.h"

#include <array>
#include <string_view>

#include "model/string_table.h"

namespace {

struct AppString {
  UINT id;
  std::string_view text;
};

constexpr std::array kAppStrings{
    AppString{AppResource::kMainFrame, "Tavelon"},
    AppString{AppResource::kCourseTemplate,
              "\nPresentation\nTavelon Presentation\nTavelon Files (*.tvn)\n.tvn\nTavelon.Presentation\nTavelon "
              "Presentation"},
    AppString{AppResource::kPresentationTemplate, "Presentation Window\n"},
    // The optional libraries, looked for by name.
    AppString{2001, "RMQSIM.DLL"},
    AppString{2006, "FIFDECO.DLL"},
    AppString{2009, "PCDLIB32.DLL"},
    AppString{2011, "LTKRN80N.DLL"},
    AppString{2012, "DZIP32.DLL"},
    AppString{2013, "ODBCTK.DLL"},
    AppString{2017, "WEBPOST.DLL"},
    AppString{AppResource::kOleInitFailed,
              "OLE 2.0 initialization failed.  Make sure that the OLE libraries are the correct version."},
    AppString{AppResource::kOpenFilter, "Velostra files|*.tvn;*.mcl|All files|*.*|"},
};

}  // namespace

CString LoadAppString(UINT id) {
  for (const AppString& s : kAppStrings)
    if (s.id == id) return CString(s.text);
  return LoadStringText(id);
}
