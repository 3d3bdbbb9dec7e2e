// ODBC data sources through unixODBC's installer library, loaded by name when first needed.
#pragma once

#include <string>
#include <string_view>

namespace tvn::sys {

// The installer library's name: unixODBC's libodbcinst.
inline constexpr const char* kOdbcInstallerLibrary = "libodbcinst.so.2";

// Adds a data source for the driver (its description as odbcinst.ini names
// it) with the attributes, a list of "key=value" texts each ended by a NUL
// and the whole by a second NUL. The installer hands the request to the
// driver's setup library. A driver registered without one (most drivers
// here) gets the source written into the user's odbc.ini as a setup library
// would: its section, "Driver" and the attributes. An unknown driver, a
// list without "DSN=", or a library or entry point that is missing fails.
bool ConfigDataSource(std::string_view driver, std::string_view attributes,
                      const std::string& library = kOdbcInstallerLibrary);

}  // namespace tvn::sys
