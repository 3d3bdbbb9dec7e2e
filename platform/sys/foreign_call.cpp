// Foreign calls built with libffi.
#include "platform/sys/foreign_call.h"

#include <ffi.h>

namespace tvn::sys {

bool CallForeignFunction(void* function, const std::vector<ForeignArgument>& arguments, ForeignReturn returns,
                         ForeignResult& result) {
  if (!function) return false;
  std::vector<ffi_type*> types;
  std::vector<void*> values;
  types.reserve(arguments.size());
  values.reserve(arguments.size());
  for (const ForeignArgument& a : arguments) {
    switch (a.kind) {
      case ForeignArgument::Kind::int32:
        types.push_back(&ffi_type_uint32);
        values.push_back(const_cast<std::uint32_t*>(&a.int32));
        break;
      case ForeignArgument::Kind::int64:
        types.push_back(&ffi_type_sint64);
        values.push_back(const_cast<std::int64_t*>(&a.int64));
        break;
      case ForeignArgument::Kind::float32:
        types.push_back(&ffi_type_float);
        values.push_back(const_cast<float*>(&a.float32));
        break;
      case ForeignArgument::Kind::pointer:
        types.push_back(&ffi_type_pointer);
        values.push_back(const_cast<const void**>(&a.pointer));
        break;
    }
  }
  ffi_type* returnType = &ffi_type_void;
  switch (returns) {
    case ForeignReturn::none: returnType = &ffi_type_void; break;
    case ForeignReturn::uint8: returnType = &ffi_type_uint8; break;
    case ForeignReturn::uint16: returnType = &ffi_type_uint16; break;
    case ForeignReturn::uint32: returnType = &ffi_type_uint32; break;
    case ForeignReturn::pointer: returnType = &ffi_type_pointer; break;
    case ForeignReturn::float32: returnType = &ffi_type_float; break;
    case ForeignReturn::float64: returnType = &ffi_type_double; break;
  }
  ffi_cif cif;
  if (ffi_prep_cif(&cif, FFI_DEFAULT_ABI, static_cast<unsigned>(types.size()), returnType, types.data()) != FFI_OK)
    return false;
  // Integer returns narrower than a register come back widened to ffi_arg.
  union {
    ffi_arg integer;
    void* pointer;
    float f;
    double d;
  } answer{};
  ffi_call(&cif, reinterpret_cast<void (*)()>(function), &answer, values.data());
  switch (returns) {
    case ForeignReturn::none: break;
    case ForeignReturn::uint8: result.integer = static_cast<std::uint8_t>(answer.integer); break;
    case ForeignReturn::uint16: result.integer = static_cast<std::uint16_t>(answer.integer); break;
    case ForeignReturn::uint32: result.integer = static_cast<std::uint32_t>(answer.integer); break;
    case ForeignReturn::pointer: result.pointer = answer.pointer; break;
    case ForeignReturn::float32: result.real = answer.f; break;
    case ForeignReturn::float64: result.real = answer.d; break;
  }
  return true;
}

}  // namespace tvn::sys
