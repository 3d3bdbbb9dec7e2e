// What file and media helpers need of the script variables: setting "ErrorNumber" and "ErrorMessage".
#pragma once

#include "platform/base/cstring.h"
#include "platform/base/win_types.h"

class IErrorVariables {
 public:
  virtual ~IErrorVariables() = default;
  // Sets "ErrorNumber" to number and "ErrorMessage" to message.
  virtual void SetErrorVariables(LONG number, const CString& message) = 0;
};
