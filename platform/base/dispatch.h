// IDispatch: the automation call interface of a hosted control, with its call flags and argument block.
#pragma once

#include <vector>

#include "platform/base/variant.h"

constexpr WORD DISPATCH_METHOD = 1;
constexpr WORD DISPATCH_PROPERTYGET = 2;
constexpr WORD DISPATCH_PROPERTYPUT = 4;
constexpr WORD DISPATCH_PROPERTYPUTREF = 8;
// The named argument that marks a property put's value.
constexpr DISPID DISPID_PROPERTYPUT = -3;
// The ambient property a container changes when it goes into user mode.
constexpr DISPID DISPID_AMBIENT_USERMODE = -709;

// The arguments of one call in COM order: the last declared argument first.
struct DISPPARAMS {
  std::vector<COleVariant> rgvarg;
  std::vector<DISPID> rgdispidNamedArgs;
};

class IDispatch {
 public:
  virtual ~IDispatch() = default;
  // Calls the member; result may be null. S_OK or a failure code.
  virtual HRESULT Invoke(DISPID dispid, WORD flags, const DISPPARAMS& args, COleVariant* result) = 0;
};
