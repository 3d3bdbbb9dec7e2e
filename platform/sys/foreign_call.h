// Calls into functions of outside libraries whose signatures are only known at run time (libffi).
#pragma once

#include <cstdint>
#include <vector>

namespace tvn::sys {

// One argument as the callee's stack slot takes it.
struct ForeignArgument {
  enum class Kind { int32, int64, float32, pointer };
  Kind kind = Kind::int32;
  std::uint32_t int32 = 0;
  std::int64_t int64 = 0;
  float float32 = 0;
  const void* pointer = nullptr;
};

// How the return value is taken.
enum class ForeignReturn { none, uint8, uint16, uint32, pointer, float32, float64 };

struct ForeignResult {
  std::uint32_t integer = 0;  // the unsigned integer kinds
  const void* pointer = nullptr;
  double real = 0;            // float32 and float64
};

// Calls the function with the C calling convention of the platform; false
// when the call could not be prepared.
bool CallForeignFunction(void* function, const std::vector<ForeignArgument>& arguments, ForeignReturn returns,
                         ForeignResult& result);

}  // namespace tvn::sys
