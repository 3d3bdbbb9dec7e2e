#include "platform/user/dialogs.h"

#include "platform/base/program_text.h"

MessageBoxButtons ButtonsOfStyle(UINT type) {
  MessageBoxButtons b;
  auto set = [&b](std::initializer_list<int> ids, int escape) {
    for (int id : ids) b.buttons[b.count++] = id;
    b.escapeResult = escape;
  };
  switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL: set({IDOK, IDCANCEL}, IDCANCEL); break;
    // Without a cancel button the box cannot be closed by Escape; closing it
    // anyway (the window manager) answers with the last button.
    case MB_ABORTRETRYIGNORE: set({IDABORT, IDRETRY, IDIGNORE}, IDIGNORE); break;
    case MB_YESNOCANCEL: set({IDYES, IDNO, IDCANCEL}, IDCANCEL); break;
    case MB_YESNO: set({IDYES, IDNO}, IDNO); break;
    case MB_RETRYCANCEL: set({IDRETRY, IDCANCEL}, IDCANCEL); break;
    default: set({IDOK}, IDOK); break;
  }
  return b;
}

std::vector<std::string> QtNameFilters(const CString& windowsFilter) {
  std::vector<std::string> parts;
  std::string_view rest = windowsFilter.view();
  while (!rest.empty()) {
    std::size_t bar = rest.find('|');
    parts.emplace_back(rest.substr(0, bar));
    if (bar == std::string_view::npos) break;
    rest.remove_prefix(bar + 1);
  }
  std::vector<std::string> filters;
  for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
    if (parts[i].empty() && parts[i + 1].empty()) break;
    std::string patterns = parts[i + 1];
    for (char& c : patterns)
      if (c == ';') c = ' ';
    filters.push_back(tvn::text::ProgramToUtf8(parts[i]) + " (" + tvn::text::ProgramToUtf8(patterns) + ")");
  }
  return filters;
}
